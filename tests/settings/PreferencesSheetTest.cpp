#include "settings/PreferencesSheet.hpp"

#include "UiDriver.hpp"
#include "framework/Module.hpp"
#include "res/Resource.h"
#include "settings/Preferences.hpp"

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <optional>
#include <variant>
#include <vector>

#include <gtest/gtest.h>

#include <windows.h>

#include <commctrl.h>

namespace {

const std::wstring caption = L"Kelvo Player Remote Server - Настройки";
constexpr int generalPage = 0;
constexpr int advancedPage = 1;
constexpr int addressControls[] = {IDC_PLAYLIST_LABEL, IDC_PLAYLIST, IDC_TV_GUIDE_LABEL,
                                   IDC_TV_GUIDE};
const std::wstring integerMessage = L"Enter an integer.";
const std::wstring rangeMessage = L"Enter an integer between 1 and 65535.";

Preferences storedPreferences()
{
    Preferences preferences;
    preferences.playerLocation = L"C:\\Program Files\\Kelvo Player\\KelvoPlayer.exe";
    preferences.port = 1331;
    preferences.sourceMode = 0;
    preferences.playlist = L"http://example.org/list.m3u";
    preferences.tvGuide = L"http://example.org/guide.xml";
    return preferences;
}

// The open sheet as the script sees it from its own thread.
class SheetDriver {
public:
    // Waits for the sheet of the modal thread; check found() before use.
    explicit SheetDriver(DWORD uiThread)
        : uiThread(uiThread)
        , sheet(ui::waitForDialog(uiThread, caption))
    {}

    bool found() const { return sheet != nullptr; }
    bool isOpen() const { return IsWindow(sheet) != FALSE; }
    bool isOnPage(int index) const { return isOpen() && pageIndex() == index; }
    HWND window() const { return sheet; }

    HWND page() const
    {
        return reinterpret_cast<HWND>(SendMessageW(sheet, PSM_GETCURRENTPAGEHWND, 0, 0));
    }
    int pageIndex() const
    {
        return static_cast<int>(
            SendMessageW(sheet, PSM_HWNDTOINDEX, reinterpret_cast<WPARAM>(page()), 0));
    }
    HWND control(int id) const { return GetDlgItem(page(), id); }
    std::wstring text(int id) const { return ui::textOf(control(id)); }
    void setText(int id, std::wstring_view text) const { ui::setText(control(id), text); }
    void click(int id) const { SendMessageW(control(id), BM_CLICK, 0, 0); }
    bool isChecked(int id) const
    {
        return SendMessageW(control(id), BM_GETCHECK, 0, 0) == BST_CHECKED;
    }

    // Posted, not sent: validation may open a message box inside the sheet's thread.
    void press(int button) const { PostMessageW(sheet, PSM_PRESSBUTTON, button, 0); }
    void selectPage(int index) const { PostMessageW(sheet, PSM_SETCURSEL, index, 0); }
    bool waitForPage(int index) const
    {
        return ui::waitUntil([&] { return isOnPage(index); });
    }

    // After a press or a page change: the text of the validation message box that
    // came up, which is then closed, or nothing when the sheet went on without one.
    // A box that is not modal to the sheet does not count.
    std::optional<std::wstring> takeMessage(int expectedPage) const
    {
        HWND box = nullptr;
        ui::waitUntil([&] {
            box = messageBox();
            return box != nullptr || !isOpen() || pageIndex() == expectedPage;
        });
        if (box == nullptr) {
            return std::nullopt;
        }
        auto text = GetWindow(box, GW_OWNER) == sheet ? ui::messageBoxText(box) : L"<not modal>";
        PostMessageW(box, WM_COMMAND, IDOK, 0);
        ui::waitUntil([&] { return IsWindow(box) == FALSE; });
        return text;
    }

    HWND waitForMessageBox() const
    {
        HWND box = nullptr;
        ui::waitUntil([&] { return (box = messageBox()) != nullptr; });
        return box;
    }

    DWORD thread() const { return uiThread; }

private:
    HWND messageBox() const
    {
        for (const auto window : ui::topLevelWindows(uiThread)) {
            if (window != sheet && ui::textOf(window) == framework::applicationName()) {
                return window;
            }
        }
        return nullptr;
    }

    DWORD uiThread;
    HWND sheet;
};

INT_PTR runSheet(CPreferencesSheet& sheet, const std::function<void(SheetDriver&)>& script)
{
    return ui::ModalScript::run([&] { return sheet.DoModal(); },
                                [&](DWORD uiThread) {
                                    SheetDriver driver(uiThread);
                                    if (driver.found()) {
                                        script(driver);
                                    }
                                });
}

struct PortCase {
    std::wstring text;
    // The value read back, or the message that rejects the text.
    std::variant<int, std::wstring> outcome;
};

TEST(PreferencesSheet, ValidatesThePortWhenAccepted)
{
    const PortCase cases[] = {
        {L" 8080 ", 8080},        {L"\t8080\t", 8080},        {L"1", 1},
        {L"65535", 65535},        {L"80a", integerMessage},   {L"", integerMessage},
        {L"-", integerMessage},   {L"8 080", integerMessage}, {L"0", rangeMessage},
        {L"65536", rangeMessage}, {L"-1", rangeMessage},      {L"99999999999", rangeMessage},
    };
    for (const auto& portCase : cases) {
        SCOPED_TRACE(testing::Message()
                     << "port text \"" << std::string(portCase.text.begin(), portCase.text.end())
                     << "\"");
        const auto preferences = storedPreferences();
        CPreferencesSheet sheet(caption, preferences, false);
        std::optional<std::wstring> message;
        bool stayedOnGeneralPage = false;
        bool portFocusedAndSelected = false;

        const auto result = runSheet(sheet, [&](SheetDriver& driver) {
            driver.setText(IDC_PORT, portCase.text);
            driver.press(PSBTN_OK);
            message = driver.takeMessage(-1);
            if (!message) {
                return;
            }
            const auto port = driver.control(IDC_PORT);
            portFocusedAndSelected = ui::waitUntil([&] {
                DWORD start = 1;
                DWORD end = 0;
                SendMessageW(port, EM_GETSEL, reinterpret_cast<WPARAM>(&start),
                             reinterpret_cast<LPARAM>(&end));
                return ui::focusOf(driver.thread()) == port && start == 0 &&
                       end == portCase.text.size();
            });
            stayedOnGeneralPage = driver.isOnPage(generalPage);
            driver.press(PSBTN_CANCEL);
        });

        if (const auto* port = std::get_if<int>(&portCase.outcome)) {
            EXPECT_FALSE(message.has_value()) << "unexpected message";
            EXPECT_EQ(result, IDOK);
            EXPECT_EQ(sheet.generalPage.port, *port);
        } else {
            EXPECT_EQ(message, std::get<std::wstring>(portCase.outcome));
            EXPECT_TRUE(stayedOnGeneralPage);
            EXPECT_TRUE(portFocusedAndSelected);
            EXPECT_EQ(result, IDCANCEL);
        }
    }
}

TEST(PreferencesSheet, KeepsTheUserOnTheGeneralPageUntilThePortIsValid)
{
    const auto preferences = storedPreferences();
    CPreferencesSheet sheet(caption, preferences, false);
    std::optional<std::wstring> message;
    bool stayed = false;
    bool leftAfterFix = false;

    const auto result = runSheet(sheet, [&](SheetDriver& driver) {
        driver.setText(IDC_PORT, L"80a");
        driver.selectPage(advancedPage);
        if (const auto box = driver.waitForMessageBox()) {
            ui::saveScreenshot(box, "screenshots/settings-port-message.bmp");
        }
        message = driver.takeMessage(advancedPage);
        stayed = driver.isOnPage(generalPage);
        driver.setText(IDC_PORT, L"2000");
        driver.selectPage(advancedPage);
        leftAfterFix = driver.waitForPage(advancedPage);
        driver.press(PSBTN_OK);
    });

    EXPECT_EQ(message, integerMessage);
    EXPECT_TRUE(stayed);
    EXPECT_TRUE(leftAfterFix);
    EXPECT_EQ(result, IDOK);
    EXPECT_EQ(sheet.generalPage.port, 2000);
}

TEST(PreferencesSheet, OpensWithTheValuesAndTheFocusOnOk)
{
    auto preferences = storedPreferences();
    preferences.sourceMode = 1;
    CPreferencesSheet sheet(caption, preferences, true);
    std::wstring location, port, playlist, tvGuide;
    bool autostartChecked = false, customChecked = false, playerChecked = true;
    bool okFocused = false;
    bool addressesEnabled = false;

    runSheet(sheet, [&](SheetDriver& driver) {
        okFocused = ui::waitUntil(
            [&] { return ui::focusOf(driver.thread()) == GetDlgItem(driver.window(), IDOK); });
        location = driver.text(IDC_PLAYER_LOCATION);
        port = driver.text(IDC_PORT);
        autostartChecked = driver.isChecked(IDC_AUTOSTART);
        ui::saveScreenshot(driver.window(), "screenshots/settings-general.bmp");

        driver.selectPage(advancedPage);
        if (!driver.waitForPage(advancedPage)) {
            return;
        }
        playerChecked = driver.isChecked(IDC_USE_PLAYER_SETTINGS);
        customChecked = driver.isChecked(IDC_USE_CUSTOM_SETTINGS);
        playlist = driver.text(IDC_PLAYLIST);
        tvGuide = driver.text(IDC_TV_GUIDE);
        addressesEnabled = std::ranges::all_of(
            addressControls, [&](int id) { return IsWindowEnabled(driver.control(id)); });
        ui::saveScreenshot(driver.window(), "screenshots/settings-advanced.bmp");
        driver.press(PSBTN_CANCEL);
    });

    EXPECT_TRUE(okFocused);
    EXPECT_EQ(location, preferences.playerLocation);
    EXPECT_EQ(port, L"1331");
    EXPECT_TRUE(autostartChecked);
    EXPECT_FALSE(playerChecked);
    EXPECT_TRUE(customChecked);
    EXPECT_EQ(playlist, preferences.playlist);
    EXPECT_EQ(tvGuide, preferences.tvGuide);
    EXPECT_TRUE(addressesEnabled);
}

TEST(PreferencesSheet, UnknownSourceShowsNoChoiceAndReadsBackAsNone)
{
    auto preferences = storedPreferences();
    preferences.sourceMode = 2;
    CPreferencesSheet sheet(caption, preferences, false);
    bool anyChecked = true;
    bool anyEnabled = true;

    const auto result = runSheet(sheet, [&](SheetDriver& driver) {
        driver.selectPage(advancedPage);
        if (!driver.waitForPage(advancedPage)) {
            return;
        }
        anyChecked =
            driver.isChecked(IDC_USE_PLAYER_SETTINGS) || driver.isChecked(IDC_USE_CUSTOM_SETTINGS);
        anyEnabled = std::ranges::any_of(
            addressControls, [&](int id) { return IsWindowEnabled(driver.control(id)); });
        driver.press(PSBTN_OK);
    });

    EXPECT_FALSE(anyChecked);
    EXPECT_FALSE(anyEnabled);
    ASSERT_EQ(result, IDOK);
    Preferences edited = preferences;
    sheet.applyTo(edited);
    EXPECT_EQ(edited.sourceMode, -1);
}

TEST(PreferencesSheet, SourceChoiceEnablesTheAddresses)
{
    auto preferences = storedPreferences();
    preferences.playlist.clear();
    preferences.tvGuide.clear();
    CPreferencesSheet sheet(caption, preferences, false);
    std::vector<bool> enabledAfterClicks;

    const auto result = runSheet(sheet, [&](SheetDriver& driver) {
        driver.selectPage(advancedPage);
        if (!driver.waitForPage(advancedPage)) {
            return;
        }
        const auto addressesEnabled = [&] {
            return std::ranges::all_of(addressControls,
                                       [&](int id) { return IsWindowEnabled(driver.control(id)); });
        };
        enabledAfterClicks.push_back(addressesEnabled());
        driver.click(IDC_USE_CUSTOM_SETTINGS);
        enabledAfterClicks.push_back(addressesEnabled());
        driver.click(IDC_USE_PLAYER_SETTINGS);
        enabledAfterClicks.push_back(addressesEnabled());
        // Chosen with both addresses empty: accepted as they are.
        driver.click(IDC_USE_CUSTOM_SETTINGS);
        enabledAfterClicks.push_back(addressesEnabled());
        driver.press(PSBTN_OK);
    });

    EXPECT_EQ(enabledAfterClicks, (std::vector<bool>{false, true, false, true}));
    ASSERT_EQ(result, IDOK);
    Preferences edited;
    sheet.applyTo(edited);
    EXPECT_EQ(edited.sourceMode, 1);
    EXPECT_EQ(edited.playlist, L"");
    EXPECT_EQ(edited.tvGuide, L"");
}

TEST(PreferencesSheet, AcceptedSheetAppliesThePagesMembers)
{
    auto preferences = storedPreferences();
    preferences.sourceMode = 2;
    CPreferencesSheet sheet(caption, preferences, false);

    const auto result = runSheet(sheet, [&](SheetDriver& driver) {
        driver.setText(IDC_PLAYER_LOCATION, L"D:\\Other\\KelvoPlayer.exe");
        driver.setText(IDC_PORT, L"4242");
        driver.click(IDC_AUTOSTART);
        driver.press(PSBTN_OK);
    });

    ASSERT_EQ(result, IDOK);
    EXPECT_EQ(sheet.generalPage.autostart, 1);
    Preferences edited;
    sheet.applyTo(edited);
    EXPECT_EQ(edited.playerLocation, L"D:\\Other\\KelvoPlayer.exe");
    EXPECT_EQ(edited.port, 4242);
    // The advanced page was never opened, so it kept what it was given.
    EXPECT_EQ(edited.sourceMode, 2);
    EXPECT_EQ(edited.playlist, preferences.playlist);
    EXPECT_EQ(edited.tvGuide, preferences.tvGuide);
}

TEST(PreferencesSheet, EveryWayOfCancellingEndsWithCancel)
{
    const std::function<void(SheetDriver&)> cancels[] = {
        [](SheetDriver& driver) { driver.press(PSBTN_CANCEL); },
        [](SheetDriver& driver) { PostMessageW(driver.window(), WM_CLOSE, 0, 0); },
        [](SheetDriver& driver) {
            PostMessageW(ui::focusOf(driver.thread()), WM_KEYDOWN, VK_ESCAPE, 0);
        },
    };
    for (std::size_t way = 0; way < std::size(cancels); ++way) {
        SCOPED_TRACE(testing::Message() << "way " << way);
        const auto preferences = storedPreferences();
        CPreferencesSheet sheet(caption, preferences, false);
        const auto result = runSheet(sheet, [&](SheetDriver& driver) {
            driver.setText(IDC_PORT, L"2000");
            driver.selectPage(advancedPage);
            if (driver.waitForPage(advancedPage)) {
                driver.click(IDC_USE_CUSTOM_SETTINGS);
                cancels[way](driver);
            }
        });
        EXPECT_EQ(result, IDCANCEL);
        EXPECT_EQ(preferences, storedPreferences());
    }
}

// The open-file dialog of the thread: its one dialog window besides the sheet.
HWND waitForFileDialog(const SheetDriver& driver)
{
    HWND found = nullptr;
    ui::waitUntil([&] {
        for (const auto window : ui::topLevelWindows(driver.thread())) {
            if (window != driver.window() && ui::classOf(window) == L"#32770") {
                found = window;
                return true;
            }
        }
        return false;
    });
    return found;
}

// The file name field of the open-file dialog: a combo box in the new style, an
// edit in the old one.
HWND fileNameField(HWND dialog)
{
    constexpr int fileNameCombo = 0x47C;
    constexpr int fileNameEdit = 0x480;
    const auto combo = GetDlgItem(dialog, fileNameCombo);
    return combo != nullptr ? combo : GetDlgItem(dialog, fileNameEdit);
}

std::wstring firstFileType(HWND dialog)
{
    constexpr int fileTypeCombo = 0x470;
    const auto combo = GetDlgItem(dialog, fileTypeCombo);
    wchar_t text[256] = {};
    if (SendMessageW(combo, CB_GETLBTEXTLEN, 0, 0) >= 256) {
        return {};
    }
    SendMessageW(combo, CB_GETLBTEXT, 0, reinterpret_cast<LPARAM>(text));
    return text;
}

class BrowseTest : public testing::Test {
protected:
    void SetUp() override
    {
        std::filesystem::create_directories(player.parent_path());
        std::ofstream(player).put('\0');
    }
    void TearDown() override
    {
        // The file dialog moves the current folder to where the user browsed.
        std::filesystem::current_path(startFolder);
        std::filesystem::remove_all(player.parent_path());
    }

    const std::filesystem::path startFolder = std::filesystem::current_path();
    const std::filesystem::path player =
        std::filesystem::temp_directory_path() / L"kelvo-browse" / L"KelvoPlayer.exe";
};

TEST_F(BrowseTest, ChosenFileAndTheMembersGoBackToTheControls)
{
    const auto preferences = storedPreferences();
    CPreferencesSheet sheet(caption, preferences, false);
    bool modalToSheet = false;
    std::wstring fileType, location, port;

    runSheet(sheet, [&](SheetDriver& driver) {
        driver.setText(IDC_PORT, L"9999");
        PostMessageW(driver.control(IDC_BROWSE), BM_CLICK, 0, 0);
        const auto dialog = waitForFileDialog(driver);
        if (dialog == nullptr) {
            return;
        }
        modalToSheet = GetWindow(dialog, GW_OWNER) == driver.window();
        fileType = firstFileType(dialog);
        ui::setText(fileNameField(dialog), player.wstring());
        PostMessageW(dialog, WM_COMMAND, IDOK, 0);
        ui::waitUntil(
            [&] { return driver.text(IDC_PLAYER_LOCATION) != preferences.playerLocation; });
        location = driver.text(IDC_PLAYER_LOCATION);
        port = driver.text(IDC_PORT);
        driver.press(PSBTN_CANCEL);
    });

    EXPECT_TRUE(modalToSheet);
    EXPECT_EQ(fileType, L"Исполняемые файлы (*.exe)");
    EXPECT_EQ(sheet.generalPage.playerLocation, location);
    EXPECT_TRUE(std::filesystem::equivalent(location, player)) << location;
    // The typed port had not been read back, so the member's value replaced it.
    EXPECT_EQ(port, L"1331");
}

TEST_F(BrowseTest, CancelledBrowsingChangesNothing)
{
    const auto preferences = storedPreferences();
    CPreferencesSheet sheet(caption, preferences, false);
    bool dialogClosed = false;
    std::wstring location, port;

    runSheet(sheet, [&](SheetDriver& driver) {
        driver.setText(IDC_PORT, L"9999");
        PostMessageW(driver.control(IDC_BROWSE), BM_CLICK, 0, 0);
        const auto dialog = waitForFileDialog(driver);
        if (dialog == nullptr) {
            return;
        }
        PostMessageW(dialog, WM_COMMAND, IDCANCEL, 0);
        dialogClosed = ui::waitUntil([&] { return IsWindow(dialog) == FALSE; });
        location = driver.text(IDC_PLAYER_LOCATION);
        port = driver.text(IDC_PORT);
        driver.press(PSBTN_CANCEL);
    });

    EXPECT_TRUE(dialogClosed);
    EXPECT_EQ(sheet.generalPage.playerLocation, preferences.playerLocation);
    EXPECT_EQ(location, preferences.playerLocation);
    EXPECT_EQ(port, L"9999");
}

} // namespace
