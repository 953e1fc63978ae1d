// The command path end to end on the Windows desktop: real datagrams on loopback, a
// real host with the system desktop, and a real player program that logs what it
// was asked to do.
#include "http/Tcp.hpp"
#include "platform/win32/UniqueHandle.hpp"
#include "service/ServerHost.hpp"
#include "settings/Preferences.hpp"
#include "tests/support/CerrCapture.hpp"
#include "tests/support/Loopback.hpp"

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <functional>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include <boost/asio/read.hpp>
#include <boost/asio/write.hpp>
#include <gtest/gtest.h>

#include <windows.h>

namespace {

using Bytes = std::vector<std::uint8_t>;
using Lines = std::vector<std::string>;
using namespace std::chrono_literals;

// Longer than the host waits for a hung player, shorter than the player hangs.
constexpr auto logTimeout = 15s;
constexpr auto logPoll = 20ms;
constexpr DWORD exitTimeoutMs = 5000;

std::filesystem::path ownFolder()
{
    wchar_t path[MAX_PATH] = {};
    GetModuleFileNameW(nullptr, path, MAX_PATH);
    return std::filesystem::path(path).parent_path();
}

std::filesystem::path processImage(HANDLE process)
{
    wchar_t path[MAX_PATH] = {};
    DWORD size = MAX_PATH;
    return QueryFullProcessImageNameW(process, 0, path, &size) ? std::filesystem::path(path)
                                                               : std::filesystem::path();
}

std::size_t countOf(const Lines& lines, const std::string& line)
{
    return static_cast<std::size_t>(std::count(lines.begin(), lines.end(), line));
}

class PlayerControlTest : public testing::Test {
protected:
    void SetUp() override
    {
        const auto* test = testing::UnitTest::GetInstance()->current_test_info();
        folder =
            std::filesystem::temp_directory_path() / ("kelvo-player-" + std::string(test->name()) +
                                                      "-" + std::to_string(GetCurrentProcessId()));
        std::filesystem::remove_all(folder);
        std::filesystem::create_directories(folder);
        player = folder / "KelvoPlayer.exe";
        std::filesystem::copy_file(ownFolder() / "kelvo_test_player.exe", player);

        preferences.playerLocation = player.wstring();
        port = testing_support::startOnFreePort([this](std::uint16_t freePort) {
            preferences.port = freePort;
            host = std::make_unique<ServerHost>(preferences);
            return freePort;
        });
    }

    void TearDown() override
    {
        std::filesystem::remove(folder / "hang");
        host.reset();
        endPlayers();
        std::error_code ignored;
        std::filesystem::remove_all(folder, ignored);
    }

    void send(const Bytes& datagram) { testing_support::DatagramSender(port).send(datagram); }

    Lines logLines() const
    {
        Lines lines;
        std::ifstream log(folder / "player.log");
        for (std::string line; std::getline(log, line);) {
            lines.push_back(line);
        }
        return lines;
    }

    // Polls the player's log until the condition holds or the time is up.
    bool waitForLog(const std::function<bool(const Lines&)>& condition) const
    {
        const auto deadline = std::chrono::steady_clock::now() + logTimeout;
        while (!condition(logLines())) {
            if (std::chrono::steady_clock::now() >= deadline) {
                return false;
            }
            std::this_thread::sleep_for(logPoll);
        }
        return true;
    }

    bool waitForCount(const std::string& line, std::size_t count) const
    {
        return waitForLog([&](const Lines& lines) { return countOf(lines, line) >= count; });
    }

    // Starts the player and makes it hang in a key press, for longer than the log is
    // waited for.
    void startHungPlayer()
    {
        send({0x00, 0x05, 0x00});
        ASSERT_TRUE(waitForCount("ready", 1));

        std::ofstream(folder / "hang").put('\n');
        send({0x01, 0x41, 0x00, 0x00, 0x00});
        ASSERT_TRUE(waitForCount("keydown 0x41", 1));
    }

    // Ends every player these tests started; each logged its process id.
    void endPlayers() const
    {
        for (const auto& line : logLines()) {
            if (!line.starts_with("pid ")) {
                continue;
            }
            const auto id = static_cast<DWORD>(std::stoul(line.substr(4)));
            platform::UniqueKernelHandle process(OpenProcess(
                PROCESS_TERMINATE | SYNCHRONIZE | PROCESS_QUERY_LIMITED_INFORMATION, FALSE, id));
            // The id may already belong to another program once the player has ended.
            if (process && std::filesystem::equivalent(processImage(process.get()), player)) {
                TerminateProcess(process.get(), 1);
                WaitForSingleObject(process.get(), exitTimeoutMs);
            }
        }
    }

    std::filesystem::path folder;
    std::filesystem::path player;
    Preferences preferences;
    testing_support::CerrCapture errors;
    std::unique_ptr<ServerHost> host;
    std::uint16_t port = 0;
};

TEST_F(PlayerControlTest, StartsPressesClosesAndStartsAgain)
{
    send({0x00, 0x05, 0x00});
    ASSERT_TRUE(waitForCount("ready", 1));
    const auto started = logLines();
    EXPECT_EQ(countOf(started, "arguments /ch 5"), 1u);
    const auto folderLine = std::find_if(started.begin(), started.end(),
                                         [](auto& l) { return l.starts_with("folder "); });
    ASSERT_NE(folderLine, started.end());
    EXPECT_TRUE(std::filesystem::equivalent(folderLine->substr(7), folder)) << *folderLine;

    send({0x01, 0x26, 0x00, 0x00, 0x00});
    EXPECT_TRUE(waitForCount("keydown 0x26", 1));

    send({0x02});
    ASSERT_TRUE(waitForCount("exit", 1));

    send({0x02});
    ASSERT_TRUE(waitForCount("ready", 2));
    EXPECT_EQ(countOf(logLines(), "arguments "), 1u);

    host->stop();
    EXPECT_EQ(errors.text(), "");
}

TEST_F(PlayerControlTest, KeyWithoutPlayerIsReportedAndStartsNothing)
{
    send({0x01, 0x26, 0x00, 0x00, 0x00});
    // The host serves datagrams in order: once this one started the player, the key
    // before it was handled.
    send({0x00, 0x07, 0x00});
    ASSERT_TRUE(waitForCount("ready", 1));
    host->stop();

    const auto lines = logLines();
    EXPECT_EQ(countOf(lines, "arguments /ch 7"), 1u);
    EXPECT_EQ(std::count_if(lines.begin(), lines.end(),
                            [](auto& line) { return line.starts_with("pid "); }),
              1);
    EXPECT_EQ(errors.text(), "Unable to find KelvoPlayerMainWndClass window\n");
}

TEST_F(PlayerControlTest, HungPlayerDoesNotStallTheHost)
{
    ASSERT_NO_FATAL_FAILURE(startHungPlayer());
    // The host must give up on the player and serve the next datagram.
    send({0x00, 0x09, 0x00});
    EXPECT_TRUE(waitForCount("arguments /ch 9", 1));

    host->stop();
    EXPECT_EQ(errors.text(), "No answer from KelvoPlayerMainWndClass window\n");
}

// HTTP shares the worker thread with the player's messages: a request made while the
// player hangs waits for the bounded wait, not for the player.
TEST_F(PlayerControlTest, HungPlayerDelaysHttpOnlyForTheBoundedWait)
{
    ASSERT_NO_FATAL_FAILURE(startHungPlayer());
    const auto asked = std::chrono::steady_clock::now();
    boost::asio::io_context ioContext;
    http::TcpSocket client(ioContext);
    client.connect({boost::asio::ip::make_address_v4("127.0.0.1"), port});
    boost::asio::write(client,
                       boost::asio::buffer(std::string_view("GET /about/ HTTP/1.0\r\n\r\n")));
    std::string answer;
    boost::system::error_code end;
    boost::asio::read(client, boost::asio::dynamic_buffer(answer), end);
    const auto waited = std::chrono::steady_clock::now() - asked;

    EXPECT_EQ(answer.rfind("HTTP/1.0 200 OK\r\n", 0), 0u) << answer;
    // The player hangs for twice this long.
    EXPECT_LT(waited, logTimeout);
    host->stop();
}

} // namespace
