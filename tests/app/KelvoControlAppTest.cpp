// The application object on the real desktop, registry and sockets: start-up, the
// server's state in the tooltip and balloons, and the menu commands as the icon's
// window receives them. Only the notification area is a recorder, to read what the
// icon was told.
#include "app/KelvoControlApp.hpp"

#include "UiDriver.hpp"
#include "app/SingleInstanceGuard.hpp"
#include "app/SystemTray.hpp"
#include "common/Product.hpp"
#include "framework/Module.hpp"
#include "framework/RegistryProfile.hpp"
#include "res/Resource.h"
#include "settings/StartupShortcut.hpp"
#include "tests/app/PortProbe.hpp"
#include "tests/app/UiTesting.hpp"
#include "tests/support/Loopback.hpp"

#include <filesystem>
#include <fstream>
#include <optional>
#include <sstream>
#include <string>

#include <gtest/gtest.h>

#include <windows.h>

#include <commctrl.h>

namespace {

using namespace ui_testing;
namespace fs = std::filesystem;

const std::wstring name(productName);
const std::wstring sheetCaption = name + L" - Настройки";
const std::wstring aboutCaption = L"О программе " + name;
const std::wstring notConfiguredTip = name + L"\nСервер не настроен.";
const std::wstring stoppedTip = name + L"\nСтатус: Остановлен";
const std::wstring runningTipStart = name + L"\nСтатус: Работает\n";
const std::wstring portInUseMessage =
    L"Ошибка запуска сервера: выбранный порт уже используется. Сервер остановлен.";
const std::wstring serverStartedMessage = L"Сервер запущен";
constexpr std::wstring_view general = L"General";
constexpr int absent = -12345;
// Long enough for the UI thread to answer a command, short enough not to hang a test
// in which a command wrongly opened a second modal window.
constexpr UINT commandTimeoutMs = 5000;

std::string contentOf(const fs::path& file)
{
    std::ostringstream content;
    content << std::ifstream(file).rdbuf();
    return content.str();
}

// The settings sheet as a script on another thread sees it.
class OpenSheet {
public:
    explicit OpenSheet(DWORD uiThread)
        : window(ui::waitForDialog(uiThread, sheetCaption))
    {}

    HWND control(int id) const
    {
        const auto page =
            reinterpret_cast<HWND>(SendMessageW(window, PSM_GETCURRENTPAGEHWND, 0, 0));
        return GetDlgItem(page, id);
    }
    bool isChecked(int id) const
    {
        return SendMessageW(control(id), BM_GETCHECK, 0, 0) == BST_CHECKED;
    }
    void click(int id) const { SendMessageW(control(id), BM_CLICK, 0, 0); }
    // Posted: accepting may take a while on the sheet's thread.
    void press(int button) const { PostMessageW(window, PSM_PRESSBUTTON, button, 0); }

    HWND window;
};

void acceptSheet(DWORD uiThread)
{
    OpenSheet(uiThread).press(PSBTN_OK);
}

void toggleAutostart(DWORD uiThread)
{
    const OpenSheet sheet(uiThread);
    sheet.click(IDC_AUTOSTART);
    sheet.press(PSBTN_OK);
}

class KelvoControlAppTest : public testing::Test {
protected:
    KelvoControlAppTest()
        : guard(guardName())
        , profile(name, framework::applicationName())
    {}

    void SetUp() override
    {
        clearSettings();
        port = testing_support::pickFreePort();
        profile.writeProfileInt(general, L"Port", port);
    }

    void TearDown() override
    {
        shutDown();
        clearSettings();
    }

    static std::wstring guardName()
    {
        return L"Kelvo application test " + std::to_wstring(GetCurrentProcessId());
    }

    std::wstring keyPath() const
    {
        return L"Software\\" + name + L"\\" + framework::applicationName();
    }

    void clearSettings() const { RegDeleteTreeW(HKEY_CURRENT_USER, keyPath().c_str()); }

    bool keyExists() const
    {
        platform::UniqueHkey key;
        return RegOpenKeyExW(HKEY_CURRENT_USER, keyPath().c_str(), 0, KEY_READ, key.put()) ==
               ERROR_SUCCESS;
    }

    void storeConfigured()
    {
        profile.writeProfileInt(general, L"PlaylistSource", 0);
        profile.writeProfileString(general, L"PlayerLocation", L"C:\\Players\\KelvoPlayer.exe");
    }

    // Start-up as the program runs it, with a script for the window it opens, if any.
    bool start(const SingleInstanceGuard& instanceGuard,
               const ui::ModalScript::Script& script = nullptr)
    {
        app.emplace(instanceGuard, area);
        if (!script) {
            return app->InitInstance();
        }
        return ui::ModalScript::run([&] { return static_cast<INT_PTR>(app->InitInstance()); },
                                    script) != 0;
    }
    bool start(const ui::ModalScript::Script& script = nullptr) { return start(guard, script); }

    // A menu command as the icon's window receives it, with a script for the modal
    // window it opens.
    void command(UINT id, const ui::ModalScript::Script& script)
    {
        ui::ModalScript::run(
            [&] { return static_cast<INT_PTR>(SendMessageW(trayWindow(), WM_COMMAND, id, 0)); },
            script);
    }

    // From a script's thread: whether the UI thread handled the command in time.
    bool commandAnswered(HWND window, UINT id) const
    {
        DWORD_PTR result = 0;
        return SendMessageTimeoutW(window, WM_COMMAND, id, 0, SMTO_NORMAL, commandTimeoutMs,
                                   &result) != 0;
    }

    HWND trayWindow() const { return app->tray->handle(); }

    // The end of the program as the framework runs it after start-up.
    void shutDown()
    {
        if (!app) {
            return;
        }
        if (app->mainWindow != nullptr) {
            SendMessageW(app->mainWindow->handle(), WM_COMMAND, ID_APP_EXIT, 0);
        }
        takeQuitMessage();
        app->ExitInstance();
        app.reset();
    }

    // Whether the message loop was asked to end, as the main window's destruction does;
    // takes that request off the queue, where it would end the next modal loop.
    static bool takeQuitMessage()
    {
        MSG quit;
        return PeekMessageW(&quit, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE) != FALSE;
    }

    std::vector<std::wstring> tooltips() const
    {
        std::vector<std::wstring> texts;
        for (const auto& call : area.calls) {
            if (call.data.uFlags & NIF_TIP) {
                texts.emplace_back(call.data.szTip);
            }
        }
        return texts;
    }

    std::vector<std::pair<DWORD, std::wstring>> balloons() const
    {
        std::vector<std::pair<DWORD, std::wstring>> shown;
        for (const auto& call : area.calls) {
            if (call.data.uFlags & NIF_INFO) {
                shown.emplace_back(call.data.dwInfoFlags, call.data.szInfo);
            }
        }
        return shown;
    }

    RecordingNotificationArea area;
    SingleInstanceGuard guard;
    framework::RegistryProfile profile;
    std::optional<CKelvoControlApp> app;
    std::uint16_t port = 0;
};

TEST_F(KelvoControlAppTest, FirstStartOpensTheSettingsBeforeAnyServer)
{
    bool sheetOpened = false;
    bool portFreeMeanwhile = false;
    EXPECT_TRUE(start([&](DWORD uiThread) {
        const OpenSheet sheet(uiThread);
        sheetOpened = sheet.window != nullptr;
        portFreeMeanwhile = !port_probe::udpPortTaken(port);
        sheet.press(PSBTN_CANCEL);
    }));

    EXPECT_TRUE(sheetOpened);
    EXPECT_TRUE(portFreeMeanwhile);
    EXPECT_EQ(app->mainWindow, app->tray);
    EXPECT_EQ(app->server, nullptr);
    // Cancelled: the tooltip stays as the icon was added with it.
    ASSERT_EQ(area.calls.size(), 1u);
    EXPECT_EQ(area.calls[0].message, static_cast<DWORD>(NIM_ADD));
    EXPECT_EQ(tooltips(), std::vector<std::wstring>{notConfiguredTip});
    EXPECT_EQ(profile.getProfileInt(general, L"PlaylistSource", absent), absent);
    EXPECT_TRUE(app->preferences.notConfigured);
}

TEST_F(KelvoControlAppTest, FirstAcceptedSheetStoresAllFiveStartsAndAnnouncesTheServer)
{
    EXPECT_TRUE(start(acceptSheet));

    ASSERT_NE(app->server, nullptr);
    EXPECT_TRUE(port_probe::udpPortTaken(port));
    EXPECT_FALSE(app->preferences.notConfigured);
    EXPECT_EQ(balloons(),
              (std::vector<std::pair<DWORD, std::wstring>>{{NIIF_INFO, serverStartedMessage}}));
    EXPECT_TRUE(tooltips().back().starts_with(runningTipStart));

    platform::UniqueHkey key;
    ASSERT_EQ(RegOpenKeyExW(HKEY_CURRENT_USER, profile.sectionPath(general).c_str(), 0, KEY_READ,
                            key.put()),
              ERROR_SUCCESS);
    const struct {
        const wchar_t* value;
        DWORD type;
    } stored[] = {{L"PlayerLocation", REG_SZ},
                  {L"Port", REG_DWORD},
                  {L"PlaylistSource", REG_DWORD},
                  {L"Playlist", REG_SZ},
                  {L"TvGuide", REG_SZ}};
    for (const auto& [value, type] : stored) {
        DWORD storedType = 0;
        EXPECT_EQ(RegQueryValueExW(key.get(), value, nullptr, &storedType, nullptr, nullptr),
                  ERROR_SUCCESS);
        EXPECT_EQ(storedType, type);
    }
    EXPECT_EQ(profile.getProfileInt(general, L"PlaylistSource", absent), 0);
    EXPECT_EQ(profile.getProfileInt(general, L"Port", absent), port);
}

TEST_F(KelvoControlAppTest, FirstAcceptedSheetWithThePortInUseWarnsAndStaysUnconfigured)
{
    boost::asio::io_context ioContext;
    const testing_support::UdpSocket holder(ioContext.get_executor(),
                                            {boost::asio::ip::udp::v4(), port});

    EXPECT_TRUE(start(acceptSheet));

    EXPECT_EQ(app->server, nullptr);
    EXPECT_EQ(balloons(),
              (std::vector<std::pair<DWORD, std::wstring>>{{NIIF_WARNING, portInUseMessage}}));
    EXPECT_EQ(tooltips().back(), stoppedTip);
    // Stored all the same; the next accepted sheet stores and starts again.
    EXPECT_EQ(profile.getProfileInt(general, L"PlaylistSource", absent), 0);
    EXPECT_TRUE(app->preferences.notConfigured);
}

TEST_F(KelvoControlAppTest, ConfiguredStartServesAndAnUnchangedSheetStoresNothing)
{
    storeConfigured();
    EXPECT_TRUE(start());
    ASSERT_NE(app->server, nullptr);
    EXPECT_TRUE(port_probe::udpPortTaken(port));
    EXPECT_TRUE(balloons().empty());
    EXPECT_TRUE(tooltips().back().starts_with(runningTipStart));

    // A save would put the program's own value back.
    profile.writeProfileString(general, L"Playlist", L"changed behind the program's back");
    const auto callsBefore = area.calls.size();
    command(ID_SETTINGS, acceptSheet);

    EXPECT_EQ(area.calls.size(), callsBefore) << "restarted or announced";
    EXPECT_EQ(profile.getProfileString(general, L"Playlist", L""),
              L"changed behind the program's back");
    EXPECT_TRUE(port_probe::udpPortTaken(port));
}

TEST_F(KelvoControlAppTest, ChangingOnlyTheLetterCaseOfThePlayerPathRestarts)
{
    storeConfigured();
    EXPECT_TRUE(start());
    const auto tooltipsBefore = tooltips().size();

    command(ID_SETTINGS, [](DWORD uiThread) {
        const OpenSheet sheet(uiThread);
        ui::setText(sheet.control(IDC_PLAYER_LOCATION), L"c:\\players\\kelvoplayer.exe");
        sheet.press(PSBTN_OK);
    });

    EXPECT_EQ(profile.getProfileString(general, L"PlayerLocation", L""),
              L"c:\\players\\kelvoplayer.exe");
    // Stopped and started again: the start refreshed the tooltip once.
    ASSERT_EQ(tooltips().size(), tooltipsBefore + 1);
    EXPECT_TRUE(tooltips().back().starts_with(runningTipStart));
    EXPECT_NE(app->server, nullptr);
    EXPECT_TRUE(port_probe::udpPortTaken(port));
    EXPECT_TRUE(balloons().empty());
}

// With a modal window open, every command only brings that window to the front: no
// second modal window opens and the program does not end.
TEST_F(KelvoControlAppTest, CommandsUnderAnOpenModalWindowOnlyBringItForward)
{
    storeConfigured();
    EXPECT_TRUE(start());
    const auto tray = trayWindow();

    const struct {
        UINT command;
        const std::wstring& caption;
    } modals[] = {{ID_SETTINGS, sheetCaption}, {ID_APP_ABOUT, aboutCaption}};
    for (const auto& [modalCommand, caption] : modals) {
        SCOPED_TRACE(modalCommand);
        bool opened = false;
        bool answered = true;
        bool stillAlone = false;
        command(modalCommand, [&](DWORD uiThread) {
            const auto modal = ui::waitForDialog(uiThread, caption);
            opened = modal != nullptr;
            for (const UINT id : {ID_APP_EXIT, ID_APP_ABOUT, ID_SETTINGS}) {
                answered = commandAnswered(tray, id) && answered;
            }
            stillAlone = ui::topLevelWindows(uiThread) == std::vector<HWND>{modal};
            PostMessageW(modal, WM_CLOSE, 0, 0);
        });
        EXPECT_TRUE(opened);
        EXPECT_TRUE(answered);
        EXPECT_TRUE(stillAlone);
        EXPECT_TRUE(IsWindow(tray));
        EXPECT_EQ(app->openDialog, nullptr);
    }
    EXPECT_NE(app->server, nullptr);
}

TEST_F(KelvoControlAppTest, ExitRemovesTheIconStopsTheServerAndFreesThePort)
{
    storeConfigured();
    EXPECT_TRUE(start());
    const auto tray = trayWindow();
    ASSERT_TRUE(port_probe::udpPortTaken(port));

    SendMessageW(tray, WM_COMMAND, ID_APP_EXIT, 0);
    EXPECT_FALSE(IsWindow(tray));
    EXPECT_EQ(app->mainWindow, nullptr);
    EXPECT_EQ(area.calls.back().message, static_cast<DWORD>(NIM_DELETE));
    EXPECT_TRUE(takeQuitMessage());

    app->ExitInstance();
    EXPECT_EQ(app->server, nullptr);
    EXPECT_FALSE(port_probe::udpPortTaken(port));
    app.reset();
}

TEST_F(KelvoControlAppTest, SecondCopyOnlySaysSoAndTouchesNothing)
{
    clearSettings();
    const SingleInstanceGuard secondGuard(guardName());
    ASSERT_TRUE(secondGuard.anotherInstanceRuns());
    std::wstring message;

    EXPECT_FALSE(start(secondGuard, [&](DWORD uiThread) {
        HWND box = nullptr;
        ui::waitUntil([&] {
            const auto windows = ui::topLevelWindows(uiThread);
            box = windows.empty() ? nullptr : windows.front();
            return box != nullptr;
        });
        message = ui::messageBoxText(box);
        EXPECT_EQ(ui::textOf(box), framework::applicationName());
        PostMessageW(box, WM_COMMAND, IDOK, 0);
    }));

    EXPECT_EQ(message, L"Сервер уже запущен.");
    EXPECT_TRUE(area.calls.empty());
    EXPECT_EQ(app->tray, nullptr);
    EXPECT_EQ(app->server, nullptr);
    EXPECT_FALSE(keyExists());
    EXPECT_FALSE(port_probe::udpPortTaken(port));
}

// The real Startup folders of this Wine prefix, cleaned up afterwards.
TEST_F(KelvoControlAppTest, AutostartFollowsOnlyAChangedCheckBox)
{
    storeConfigured();
    EXPECT_TRUE(start());
    const auto shortcuts = getAutostartShortcuts(framework::executablePath());
    const fs::path allUsers = shortcuts.allUsers.linkPath;
    const fs::path perUser = shortcuts.perUser.linkPath;
    const auto cleanUp = [&] {
        std::error_code ignored;
        fs::remove(allUsers, ignored);
        fs::remove(perUser, ignored);
    };
    cleanUp();

    // Anything under the shortcut's name counts; a box left alone touches no file.
    std::ofstream(perUser) << "not a shell link";
    bool shownChecked = false;
    command(ID_SETTINGS, [&](DWORD uiThread) {
        const OpenSheet sheet(uiThread);
        shownChecked = sheet.isChecked(IDC_AUTOSTART);
        sheet.press(PSBTN_OK);
    });
    EXPECT_TRUE(shownChecked);
    EXPECT_EQ(contentOf(perUser), "not a shell link");
    EXPECT_FALSE(fs::exists(allUsers));

    // Unchecked: both go.
    std::ofstream(allUsers) << "another";
    command(ID_SETTINGS, toggleAutostart);
    EXPECT_FALSE(fs::exists(allUsers));
    EXPECT_FALSE(fs::exists(perUser));

    // Checked: the all-users shortcut, which this prefix allows.
    command(ID_SETTINGS, toggleAutostart);
    EXPECT_TRUE(fs::is_regular_file(allUsers));
    EXPECT_FALSE(fs::exists(perUser));
    EXPECT_NE(app->server, nullptr) << "the check box alone never restarts";
    cleanUp();
}

} // namespace
