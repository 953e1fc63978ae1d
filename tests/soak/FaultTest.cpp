// The running server host under faults, each with the answer it owes: files that vanish
// or shrink while they are served, a file that cannot be read, a port that another program
// holds, and many clients at once.
#include "http/Reply.hpp"
#include "http/Tcp.hpp"
#include "service/ServerHost.hpp"
#include "tests/http/Loopback.hpp"
#include "tests/http/PlayerFolder.hpp"
#include "tests/http/ReplyBytes.hpp"
#include "tests/service/RecordingDesktop.hpp"
#include "tests/support/Loopback.hpp"

#include <atomic>
#include <chrono>
#include <filesystem>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include <boost/system/system_error.hpp>
#include <gtest/gtest.h>

namespace {

using http::serialised;
using http::StatusType;

constexpr auto playlistType = "audio/x-mpegurl";
constexpr int fetches = 40;
constexpr int manyClients = 300;
const std::string playlistRequest = "GET /playlist/ HTTP/1.0\r\n\r\n";
const std::string aboutRequest = "GET /about/ HTTP/1.0\r\n\r\n";

std::string channelList(std::size_t size)
{
    std::string text;
    for (int channel = 0; text.size() < size; ++channel) {
        text += "#EXTINF:-1,Channel " + std::to_string(channel) + "\r\nhttp://tv.lan/" +
                std::to_string(channel) + "\r\n";
    }
    text.resize(size);
    return text;
}

class FaultTest : public testing::Test {
protected:
    void SetUp() override
    {
        port = testing_support::startOnFreePort([this](std::uint16_t freePort) {
            folder.preferences.port = freePort;
            host = std::make_unique<ServerHost>(folder.preferences, desktop);
            return freePort;
        });
    }

    std::string fetch(const std::string& request)
    {
        http::LoopbackClient client(port);
        client.send(request);
        return client.receiveUntilClosed();
    }

    std::filesystem::path channelListPath() const { return folder.pathOf(L"KelvoPlayer.m3u"); }

    // Runs the change over and over on a thread of its own while the requests are made.
    template <typename Change>
    std::vector<std::string> fetchWhile(Change change, const std::string& request)
    {
        std::atomic<bool> done = false;
        std::thread changer([&] {
            while (!done) {
                change();
            }
        });
        std::vector<std::string> answers;
        for (int i = 0; i < fetches; ++i) {
            answers.push_back(fetch(request));
        }
        done = true;
        changer.join();
        return answers;
    }

    http::PlayerFolder folder;
    RecordingDesktop desktop;
    std::unique_ptr<ServerHost> host;
    std::uint16_t port = 0;
};

TEST_F(FaultTest, ChannelListComingAndGoingIsServedWholeOrNotFound)
{
    const auto list = channelList(64 * 1024);
    const auto spare = folder.write(L"spare.m3u", list);
    const auto whole = serialised(http::Reply(StatusType::ok, list, playlistType));
    const auto notFound = serialised(http::stockReply(StatusType::notFound));

    // Deleted, then put back whole in one step: every existence test and every open can
    // fall on either side of a change. Windows refuses both while the server has the file
    // open; the next round tries again.
    const auto answers = fetchWhile(
        [&] {
            std::error_code ignored;
            std::filesystem::remove(channelListPath(), ignored);
            std::filesystem::copy_file(spare, folder.pathOf(L"next.m3u"),
                                       std::filesystem::copy_options::overwrite_existing, ignored);
            std::filesystem::rename(folder.pathOf(L"next.m3u"), channelListPath(), ignored);
        },
        playlistRequest);
    for (const auto& answer : answers) {
        EXPECT_TRUE(answer == whole || answer == notFound) << answer.substr(0, 80);
    }
}

TEST_F(FaultTest, ChannelListCutShortWhileReadIsSentAsFarAsItWasRead)
{
    const auto list = channelList(4 * 1024 * 1024);
    folder.write(L"KelvoPlayer.m3u", list);

    const auto answers = fetchWhile(
        [&] {
            std::error_code ignored;
            std::filesystem::resize_file(channelListPath(), list.size() / 3, ignored);
            folder.write(L"KelvoPlayer.m3u", list);
        },
        playlistRequest);
    for (const auto& answer : answers) {
        // The head states the length of what was read, and the body is that much of the file.
        const auto bodyStart = answer.find("\r\n\r\n");
        ASSERT_NE(bodyStart, std::string::npos) << answer.substr(0, 80);
        const auto body = answer.substr(bodyStart + 4);
        ASSERT_LE(body.size(), list.size());
        EXPECT_EQ(answer, serialised(http::Reply(StatusType::ok, list.substr(0, body.size()),
                                                 playlistType)));
    }
}

TEST_F(FaultTest, UnreadableFileIsNotFoundAndServingGoesOn)
{
    std::filesystem::create_directory(channelListPath());
    EXPECT_EQ(fetch(playlistRequest), serialised(http::stockReply(StatusType::notFound)));
    EXPECT_EQ(fetch(aboutRequest).rfind("HTTP/1.0 200 OK\r\n", 0), 0u);
}

TEST_F(FaultTest, ManyClientsAtOnceAreAllAnswered)
{
    const auto expected = fetch(aboutRequest);
    ASSERT_EQ(expected.rfind("HTTP/1.0 200 OK\r\n", 0), 0u);
    std::vector<std::unique_ptr<http::LoopbackClient>> clients;
    for (int i = 0; i < manyClients; ++i) {
        clients.push_back(std::make_unique<http::LoopbackClient>(port));
    }
    for (auto& client : clients) {
        client->send(aboutRequest);
    }
    for (auto& client : clients) {
        EXPECT_EQ(client->receiveUntilClosed(), expected);
    }
}

// A program that listens on the port for TCP: the start fails at the HTTP bind with the
// address-in-use code, the UDP socket it had opened is closed again, and a start once the
// port is free succeeds.
TEST(ServerHostStart, PortHeldForTcpFailsAtTheBindAndLeavesNothingOpen)
{
    http::PlayerFolder folder;
    RecordingDesktop desktop;
    boost::asio::io_context ioContext;
    auto holder = testing_support::startOnFreePort([&](std::uint16_t freePort) {
        http::TcpAcceptor acceptor(ioContext,
                                   {boost::asio::ip::make_address_v4("127.0.0.1"), freePort});
        acceptor.listen();
        return acceptor;
    });
    const auto port = holder.local_endpoint().port();
    folder.preferences.port = port;

    try {
        ServerHost host(folder.preferences, desktop);
        FAIL() << "the host started on a port in use";
    } catch (const boost::system::system_error& error) {
        EXPECT_EQ(error.code(), boost::asio::error::address_in_use);
        EXPECT_EQ(std::string(error.what()).rfind("bind: ", 0), 0u) << error.what();
    }
    EXPECT_NO_THROW(testing_support::UdpSocket(ioContext.get_executor(),
                                               testing_support::loopbackEndpoint(port)));

    holder.close();
    ServerHost host(folder.preferences, desktop);
    http::LoopbackClient client(port);
    client.send(aboutRequest);
    EXPECT_EQ(client.receiveUntilClosed().rfind("HTTP/1.0 200 OK\r\n", 0), 0u);
}

} // namespace
