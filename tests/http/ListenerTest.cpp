#include "http/Listener.hpp"

#include "platform/ListeningPort.hpp"
#include "tests/http/Loopback.hpp"
#include "tests/http/ReplyBytes.hpp"

#include <atomic>
#include <functional>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

#include <boost/system/system_error.hpp>
#include <gtest/gtest.h>

namespace http {
namespace {

// Answers with the method and URI it was given; "/throw" makes it fail.
class EchoHandler : public IRequestHandler {
public:
    void handleRequest(const Request& request, Reply& reply) override
    {
        ++calls;
        if (request.uri == "/throw") {
            throw std::runtime_error("handler failure");
        }
        reply = echoReply(request.method + " " + request.uri);
    }

    static Reply echoReply(const std::string& text)
    {
        return Reply(StatusType::ok, text, "text/plain");
    }

    std::atomic<int> calls = 0;
};

std::string getRequest(const std::string& uri)
{
    return "GET " + uri + " HTTP/1.0\r\nHost: 127.0.0.1\r\n\r\n";
}

std::string echoed(const std::string& uri)
{
    return serialised(EchoHandler::echoReply("GET " + uri));
}

class ListenerTest : public ::testing::Test {
protected:
    EchoHandler handler;
    RunningServer server{handler};
};

TEST_F(ListenerTest, HeadSplitIntoSingleBytesIsAnsweredOnce)
{
    LoopbackClient client(server.port());
    client.sendBytewise(getRequest("/split"));
    EXPECT_EQ(client.receiveUntilClosed(), echoed("/split"));
    EXPECT_EQ(handler.calls, 1);
}

TEST_F(ListenerTest, OnlyTheFirstOfTwoRequestsIsAnswered)
{
    LoopbackClient client(server.port());
    client.send(getRequest("/first") + getRequest("/second"));
    EXPECT_EQ(client.receiveUntilClosed(), echoed("/first"));
    EXPECT_EQ(handler.calls, 1);
}

TEST_F(ListenerTest, AnswersFromTheHeadWithoutWaitingForTheBody)
{
    LoopbackClient client(server.port());
    client.send("POST /form HTTP/1.0\r\nContent-Length: 100000\r\n\r\nfirst part of the body");
    EXPECT_EQ(client.receiveUntilClosed(), serialised(EchoHandler::echoReply("POST /form")));
}

TEST_F(ListenerTest, MalformedHeadsGetTheBadRequestPage)
{
    const std::vector<std::string> heads = {
        "GET / HTTP/1.0\n",
        "GET /" + std::string(RequestParser::maxHeadSize, 'a'),
    };
    for (const auto& head : heads) {
        LoopbackClient client(server.port());
        client.send(head);
        EXPECT_EQ(client.receiveUntilClosed(), serialised(stockReply(StatusType::badRequest)));
    }
    EXPECT_EQ(handler.calls, 0);
}

// Nothing closes a connection's socket but the connection's destruction, so the server
// closing its side shows that the connection was released.
TEST_F(ListenerTest, ClientLeavingHalfWayGetsNothing)
{
    LoopbackClient client(server.port());
    client.send("GET /half HT");
    client.finishSending();
    EXPECT_EQ(client.receiveUntilClosed(), "");
    EXPECT_EQ(handler.calls, 0);
}

TEST_F(ListenerTest, SilentClientKeepsItsConnection)
{
    LoopbackClient silent(server.port());
    LoopbackClient other(server.port());
    other.send(getRequest("/other"));
    EXPECT_EQ(other.receiveUntilClosed(), echoed("/other"));

    silent.send(getRequest("/late"));
    EXPECT_EQ(silent.receiveUntilClosed(), echoed("/late"));
}

TEST_F(ListenerTest, ServesManyClientsAtOnce)
{
    constexpr int clientCount = 40;
    std::vector<std::unique_ptr<LoopbackClient>> clients;
    for (int i = 0; i < clientCount; ++i) {
        clients.push_back(std::make_unique<LoopbackClient>(server.port()));
    }
    const auto uriOf = [](int client) { return std::string("/client") += std::to_string(client); };
    for (int i = 0; i < clientCount; ++i) {
        clients[i]->send(getRequest(uriOf(i)));
    }
    for (int i = 0; i < clientCount; ++i) {
        EXPECT_EQ(clients[i]->receiveUntilClosed(), echoed(uriOf(i)));
    }
    EXPECT_EQ(handler.calls, clientCount);
}

TEST_F(ListenerTest, HandlerFailureGetsTheServerErrorPageAndServingGoesOn)
{
    LoopbackClient failing(server.port());
    failing.send(getRequest("/throw"));
    EXPECT_EQ(failing.receiveUntilClosed(),
              serialised(stockReply(StatusType::internalServerError)));

    LoopbackClient next(server.port());
    next.send(getRequest("/next"));
    EXPECT_EQ(next.receiveUntilClosed(), echoed("/next"));
}

void expectPortInUse(unsigned short port, EchoHandler& handler)
{
    boost::asio::io_context ioContext;
    try {
        Listener listener(ioContext, port, handler);
        ADD_FAILURE() << "the listener bound a port that is in use";
    } catch (const boost::system::system_error& error) {
        EXPECT_EQ(error.code(), boost::asio::error::address_in_use);
        EXPECT_EQ(std::string(error.what()).rfind("bind: ", 0), 0U) << error.what();
    }
}

using boost::asio::ip::tcp;

// Another program's socket, listening on every address of a port the system picks.
std::unique_ptr<TcpAcceptor> holdPort(boost::asio::io_context& ioContext,
                                      const std::function<void(TcpAcceptor&)>& configure)
{
    auto holder = std::make_unique<TcpAcceptor>(ioContext, tcp::v4());
    configure(*holder);
    holder->bind({tcp::v4(), 0});
    holder->listen();
    return holder;
}

TEST(ListenerSetUp, PortHeldByAnotherSocketFailsAtBind)
{
    EchoHandler handler;
    boost::asio::io_context ioContext;
    const std::vector<std::pair<const char*, std::function<void(TcpAcceptor&)>>> holders = {
        {"plain socket", [](TcpAcceptor&) {}},
        {"socket allowing address reuse",
         [](TcpAcceptor& holder) {
             holder.set_option(boost::asio::socket_base::reuse_address(true));
         }},
        {"socket claiming the port as a listener does",
         [](TcpAcceptor& holder) { holder.set_option(platform::ListeningAddressOption()); }},
    };
    for (const auto& [name, configure] : holders) {
        SCOPED_TRACE(name);
        const auto holder = holdPort(ioContext, configure);
        expectPortInUse(holder->local_endpoint().port(), handler);
    }
}

TEST(ListenerSetUp, NoOtherSocketCanShareTheListeningPort)
{
    EchoHandler handler;
    RunningServer server(handler);
    boost::asio::io_context ioContext;
    TcpAcceptor intruder(ioContext, tcp::v4());
    intruder.set_option(boost::asio::socket_base::reuse_address(true));
    boost::system::error_code error;
    intruder.bind({tcp::v4(), server.port()}, error);
    EXPECT_TRUE(error) << "another socket bound the listening port";
}

TEST(ListenerSetUp, RestartBindsTheSamePortAfterServing)
{
    EchoHandler handler;
    auto server = std::make_unique<RunningServer>(handler);
    const auto port = server->port();
    {
        LoopbackClient client(port);
        client.send(getRequest("/before"));
        EXPECT_EQ(client.receiveUntilClosed(), echoed("/before"));
    }
    server.reset();

    server = std::make_unique<RunningServer>(handler, port);
    LoopbackClient client(port);
    client.send(getRequest("/after"));
    EXPECT_EQ(client.receiveUntilClosed(), echoed("/after"));
}

} // namespace
} // namespace http
