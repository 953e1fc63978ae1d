#include "service/ServerHost.hpp"

#include "settings/Preferences.hpp"
#include "tests/http/Loopback.hpp"
#include "tests/service/RecordingDesktop.hpp"
#include "tests/support/Loopback.hpp"

#include <memory>
#include <stdexcept>
#include <string>

#include <boost/asio/error.hpp>
#include <boost/asio/ip/tcp.hpp>
#include <boost/asio/ip/udp.hpp>
#include <boost/system/system_error.hpp>
#include <gtest/gtest.h>

namespace {

using testing_support::DatagramSender;

const std::vector<std::uint8_t> toggle{0x02};

class ServerHostTest : public testing::Test {
protected:
    ServerHostTest() { preferences.playerLocation = L"C:\\Player\\KelvoPlayer.exe"; }

    std::unique_ptr<ServerHost> startHost(std::uint16_t port)
    {
        preferences.port = port;
        return std::make_unique<ServerHost>(preferences, desktop);
    }

    std::uint16_t startHostOnFreePort(std::unique_ptr<ServerHost>& host)
    {
        return testing_support::startOnFreePort([&](std::uint16_t port) {
            host = startHost(port);
            return port;
        });
    }

    // A toggle with no player running makes the host look for the window and start
    // the player: two calls that show the datagram was served.
    void expectServed(std::uint16_t port)
    {
        const auto before = desktop.calls().size();
        DatagramSender(port).send(toggle);
        EXPECT_TRUE(desktop.waitForCalls(before + 2)) << "port " << port << " is not served";
    }

    void expectPortInUseAtBind(std::uint16_t port)
    {
        try {
            startHost(port);
            FAIL() << "the host started on a port in use";
        } catch (const boost::system::system_error& error) {
            EXPECT_EQ(error.code(), boost::asio::error::address_in_use);
            EXPECT_EQ(std::string(error.what()).rfind("bind: ", 0), 0u) << error.what();
        }
    }

    Preferences preferences;
    RecordingDesktop desktop;
};

TEST_F(ServerHostTest, PortHeldForUdpFailsAtTheBindAndLeavesNothingOpen)
{
    boost::asio::io_context ioContext;
    auto blocker = testing_support::startOnFreePort([&](std::uint16_t port) {
        return testing_support::UdpSocket(ioContext.get_executor(),
                                          testing_support::loopbackEndpoint(port));
    });
    const auto port = blocker.local_endpoint().port();

    expectPortInUseAtBind(port);

    blocker.close();
    EXPECT_TRUE(testing_support::udpPortIsFree(port));
    const auto host = startHost(port);
    expectServed(port);
}

TEST_F(ServerHostTest, PortHeldForTcpFailsAtTheHttpBindAndFreesTheUdpPort)
{
    boost::asio::io_context ioContext;
    auto blocker = testing_support::startOnFreePort([&](std::uint16_t port) {
        http::TcpAcceptor acceptor(ioContext.get_executor(),
                                   {boost::asio::ip::make_address_v4("127.0.0.1"), port});
        return acceptor;
    });
    const auto port = blocker.local_endpoint().port();

    expectPortInUseAtBind(port);
    EXPECT_TRUE(testing_support::udpPortIsFree(port));
}

TEST_F(ServerHostTest, AnswersHttpOnTheDatagramPort)
{
    std::unique_ptr<ServerHost> host;
    const auto port = startHostOnFreePort(host);

    http::LoopbackClient client(port);
    client.send("GET /about/ HTTP/1.0\r\n\r\n");
    const auto reply = client.receiveUntilClosed();
    EXPECT_EQ(reply.rfind("HTTP/1.0 200 OK\r\n", 0), 0u) << reply;
    EXPECT_NE(reply.find("<description>Kelvo Player Remote Server</description>"),
              std::string::npos)
        << reply;
    expectServed(port);
}

TEST_F(ServerHostTest, NoHandlerRunsAfterStop)
{
    std::unique_ptr<ServerHost> host;
    const auto port = startHostOnFreePort(host);
    expectServed(port);
    const auto served = desktop.calls();

    host->stop();
    DatagramSender(port).send(toggle);
    host->stop();
    host.reset();
    EXPECT_EQ(desktop.calls(), served);
}

TEST_F(ServerHostTest, RestartsOnTheSamePortAndMovesToAnotherOne)
{
    std::unique_ptr<ServerHost> host;
    const auto firstPort = startHostOnFreePort(host);
    expectServed(firstPort);

    host.reset();
    host = startHost(firstPort);
    expectServed(firstPort);

    host.reset();
    const auto secondPort = startHostOnFreePort(host);
    expectServed(secondPort);
    EXPECT_TRUE(testing_support::udpPortIsFree(firstPort));
}

TEST_F(ServerHostTest, PortOutsideTheUsableRangeIsRefused)
{
    for (const int port : {0, -1, 65536, 70000}) {
        preferences.port = port;
        EXPECT_THROW(ServerHost(preferences, desktop), std::out_of_range) << port;
    }
}

} // namespace
