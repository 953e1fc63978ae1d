// The real KelvoRemoteServer.exe as a user starts it, under Wine: single copy, first
// start, serving datagrams and HTTP on loopback, and exit. Its settings are the real
// program's registry key in this Wine prefix; the player is the test player.
#include "UiDriver.hpp"
#include "common/Product.hpp"
#include "framework/RegistryProfile.hpp"
#include "platform/win32/UniqueHandle.hpp"
#include "res/Resource.h"
#include "tests/app/PortProbe.hpp"
#include "tests/support/Loopback.hpp"

#include <chrono>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include <boost/asio/connect.hpp>
#include <boost/asio/ip/tcp.hpp>
#include <boost/asio/read.hpp>
#include <boost/asio/write.hpp>
#include <gtest/gtest.h>

#include <windows.h>

#include <commctrl.h>

namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;
using TcpSocket =
    boost::asio::basic_stream_socket<boost::asio::ip::tcp, boost::asio::io_context::executor_type>;

const std::wstring name(productName);
const std::wstring sheetCaption = name + L" - Настройки";
constexpr std::wstring_view general = L"General";
constexpr wchar_t programFile[] = L"KelvoRemoteServer.exe";
constexpr wchar_t trayWindowClass[] = L"framework.Window:0";
constexpr DWORD exitTimeoutMs = 10000;
constexpr auto replyTimeout = 5s;

fs::path ownFolder()
{
    wchar_t path[MAX_PATH] = {};
    GetModuleFileNameW(nullptr, path, MAX_PATH);
    return fs::path(path).parent_path();
}

// A port free for both UDP and TCP a moment ago.
std::uint16_t pickFreePort()
{
    constexpr int attempts = 20;
    std::uint16_t port = 0;
    for (int attempt = 0; attempt < attempts; ++attempt) {
        port = testing_support::pickFreePort();
        if (port_probe::tcpPortFree(port)) {
            break;
        }
    }
    return port;
}

// The whole answer to one HTTP/1.0 request on 127.0.0.1; empty when none came in time.
std::string httpGet(std::uint16_t port, const std::string& path)
{
    boost::asio::io_context ioContext;
    TcpSocket socket(ioContext.get_executor());
    boost::system::error_code error;
    socket.connect({boost::asio::ip::make_address_v4("127.0.0.1"), port}, error);
    if (error) {
        return {};
    }
    const auto request = "GET " + path + " HTTP/1.0\r\n\r\n";
    boost::asio::write(socket, boost::asio::buffer(request), error);
    std::string reply;
    boost::asio::async_read(socket, boost::asio::dynamic_buffer(reply),
                            [](const boost::system::error_code&, std::size_t) {});
    ioContext.run_for(replyTimeout);
    return reply;
}

struct WindowSearch {
    DWORD processId;
    std::wstring className;
    std::wstring title;
    bool visibleOnly;
    HWND found = nullptr;
};

BOOL CALLBACK matchWindow(HWND window, LPARAM search)
{
    auto& wanted = *reinterpret_cast<WindowSearch*>(search);
    DWORD owner = 0;
    GetWindowThreadProcessId(window, &owner);
    if (owner == wanted.processId && ui::classOf(window) == wanted.className &&
        (wanted.title.empty() || ui::textOf(window) == wanted.title) &&
        (!wanted.visibleOnly || IsWindowVisible(window))) {
        wanted.found = window;
        return FALSE;
    }
    return TRUE;
}

// A top-level window of the process; polls until it appears or the time is up.
HWND waitForWindowOf(DWORD processId, const std::wstring& className, const std::wstring& title,
                     bool visibleOnly)
{
    WindowSearch search{processId, className, title, visibleOnly};
    ui::waitUntil([&] {
        EnumWindows(&matchWindow, reinterpret_cast<LPARAM>(&search));
        return search.found != nullptr;
    });
    return search.found;
}

// One run of the program.
class RunningProgram {
public:
    explicit RunningProgram(const fs::path& executable)
    {
        STARTUPINFOW startup{};
        startup.cb = sizeof(startup);
        auto commandLine = L"\"" + executable.wstring() + L"\"";
        PROCESS_INFORMATION started{};
        if (CreateProcessW(executable.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0,
                           nullptr, executable.parent_path().c_str(), &startup, &started)) {
            process.reset(started.hProcess);
            CloseHandle(started.hThread);
            id = started.dwProcessId;
        }
    }
    RunningProgram(const RunningProgram&) = delete;
    RunningProgram& operator=(const RunningProgram&) = delete;

    ~RunningProgram()
    {
        if (process && !hasEnded(0)) {
            TerminateProcess(process.get(), 1);
            WaitForSingleObject(process.get(), exitTimeoutMs);
        }
    }

    bool started() const { return static_cast<bool>(process); }
    DWORD processId() const { return id; }

    bool hasEnded(DWORD waitMs = exitTimeoutMs) const
    {
        return WaitForSingleObject(process.get(), waitMs) == WAIT_OBJECT_0;
    }

    // The icon's invisible window, the program's main window.
    HWND trayWindow() const { return waitForWindowOf(id, trayWindowClass, L"", false); }

    HWND visibleWindow(const std::wstring& className, const std::wstring& title) const
    {
        return waitForWindowOf(id, className, title, true);
    }

    // "Выход" as the icon's menu sends it.
    void exitCommand() const { PostMessageW(trayWindow(), WM_COMMAND, ID_APP_EXIT, 0); }

private:
    platform::UniqueKernelHandle process;
    DWORD id = 0;
};

class ProgramTest : public testing::Test {
protected:
    ProgramTest()
        : profile(name, L"KelvoRemoteServer")
    {}

    void SetUp() override
    {
        const auto* test = testing::UnitTest::GetInstance()->current_test_info();
        folder = fs::temp_directory_path() / ("kelvo-program-" + std::string(test->name()) + "-" +
                                              std::to_string(GetCurrentProcessId()));
        fs::remove_all(folder);
        fs::create_directories(folder);
        player = folder / "KelvoPlayer.exe";
        fs::copy_file(ownFolder() / "kelvo_test_player.exe", player);

        clearSettings();
        port = pickFreePort();
        profile.writeProfileInt(general, L"Port", port);
        profile.writeProfileString(general, L"PlayerLocation", player.wstring());
    }

    void TearDown() override
    {
        endPlayers();
        clearSettings();
        std::error_code ignored;
        fs::remove_all(folder, ignored);
    }

    void storeConfigured() { profile.writeProfileInt(general, L"PlaylistSource", 0); }

    void clearSettings() const
    {
        RegDeleteTreeW(HKEY_CURRENT_USER, (L"Software\\" + name + L"\\KelvoRemoteServer").c_str());
    }

    static fs::path program() { return ownFolder() / programFile; }

    bool waitUntilServing() const
    {
        return ui::waitUntil(
            [&] { return port_probe::udpPortTaken(port) && !port_probe::tcpPortFree(port); });
    }

    std::vector<std::string> playerLog() const
    {
        std::vector<std::string> lines;
        std::ifstream log(folder / "player.log");
        for (std::string line; std::getline(log, line);) {
            lines.push_back(line);
        }
        return lines;
    }

    bool waitForPlayerLine(const std::string& line) const
    {
        return ui::waitUntil([&] {
            const auto lines = playerLog();
            return std::find(lines.begin(), lines.end(), line) != lines.end();
        });
    }

    // Ends every player that the program started; each logged its process id.
    void endPlayers() const
    {
        for (const auto& line : playerLog()) {
            if (line.starts_with("pid ")) {
                const platform::UniqueKernelHandle process(
                    OpenProcess(PROCESS_TERMINATE | SYNCHRONIZE, FALSE,
                                static_cast<DWORD>(std::stoul(line.substr(4)))));
                if (process && WaitForSingleObject(process.get(), 0) == WAIT_TIMEOUT) {
                    TerminateProcess(process.get(), 1);
                    WaitForSingleObject(process.get(), exitTimeoutMs);
                }
            }
        }
    }

    framework::RegistryProfile profile;
    fs::path folder;
    fs::path player;
    std::uint16_t port = 0;
};

TEST_F(ProgramTest, ConfiguredStartServesDatagramsAndHttpAndExitFreesThePort)
{
    storeConfigured();
    const RunningProgram running(program());
    ASSERT_TRUE(running.started());
    ASSERT_TRUE(waitUntilServing());

    testing_support::DatagramSender sender(port);
    sender.send({0x00, 0x05, 0x00});
    EXPECT_TRUE(waitForPlayerLine("arguments /ch 5"));
    EXPECT_TRUE(waitForPlayerLine("ready"));
    sender.send({0x01, 0x26, 0x00, 0x00, 0x00});
    EXPECT_TRUE(waitForPlayerLine("keydown 0x26"));
    sender.send({0x02});
    EXPECT_TRUE(waitForPlayerLine("close"));

    const auto reply = httpGet(port, "/about/");
    EXPECT_TRUE(reply.starts_with("HTTP/1.0 200 OK\r\n")) << reply;
    EXPECT_NE(reply.find("Kelvo Player Remote Server"), std::string::npos) << reply;

    running.exitCommand();
    ASSERT_TRUE(running.hasEnded());
    EXPECT_FALSE(port_probe::udpPortTaken(port));
    EXPECT_TRUE(port_probe::tcpPortFree(port));
}

TEST_F(ProgramTest, SecondCopySaysSoAndLeavesTheFirstServing)
{
    storeConfigured();
    const RunningProgram first(program());
    ASSERT_TRUE(waitUntilServing());
    const auto firstTray = first.trayWindow();
    ASSERT_NE(firstTray, nullptr);

    const RunningProgram second(program());
    ASSERT_TRUE(second.started());
    const auto box = second.visibleWindow(L"#32770", L"KelvoRemoteServer");
    ASSERT_NE(box, nullptr);
    EXPECT_EQ(ui::messageBoxText(box), L"Сервер уже запущен.");
    EXPECT_TRUE(ui::saveScreenshot(box, L"screenshots\\second-copy.bmp"));
    PostMessageW(box, WM_COMMAND, IDOK, 0);
    ASSERT_TRUE(second.hasEnded());

    EXPECT_TRUE(IsWindow(firstTray));
    EXPECT_FALSE(first.hasEnded(0));
    EXPECT_TRUE(port_probe::udpPortTaken(port));
    EXPECT_TRUE(httpGet(port, "/about/").starts_with("HTTP/1.0 200 OK\r\n"));
    first.exitCommand();
    EXPECT_TRUE(first.hasEnded());
}

TEST_F(ProgramTest, FirstStartOpensTheSettingsWithoutServing)
{
    const RunningProgram running(program());
    const auto sheet = running.visibleWindow(L"#32770", sheetCaption);
    ASSERT_NE(sheet, nullptr);
    EXPECT_TRUE(ui::saveScreenshot(sheet, L"screenshots\\first-start-settings.bmp"));
    EXPECT_FALSE(port_probe::udpPortTaken(port));
    EXPECT_TRUE(port_probe::tcpPortFree(port));

    // Cancelled: the program stays, unconfigured and not serving, until it is told to end.
    PostMessageW(sheet, PSM_PRESSBUTTON, PSBTN_CANCEL, 0);
    EXPECT_TRUE(ui::waitUntil([&] { return !IsWindow(sheet); }));
    EXPECT_FALSE(running.hasEnded(0));
    EXPECT_FALSE(port_probe::udpPortTaken(port));
    EXPECT_EQ(profile.getProfileInt(general, L"PlaylistSource", -12345), -12345);

    running.exitCommand();
    EXPECT_TRUE(running.hasEnded());
}

} // namespace
