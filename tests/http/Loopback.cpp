#include "tests/http/Loopback.hpp"

#include <chrono>

#include <boost/asio/read.hpp>
#include <boost/asio/write.hpp>
#include <gtest/gtest.h>

namespace http {
namespace {

constexpr std::chrono::seconds receiveDeadline{10};

} // namespace

RunningServer::RunningServer(IRequestHandler& handler, unsigned short port)
    : listener(ioContext, port, handler)
    , boundPort(listener.localPort())
    , worker([this] { ioContext.run(); })
{}

RunningServer::~RunningServer()
{
    ioContext.stop();
    worker.join();
}

LoopbackClient::LoopbackClient(unsigned short port)
    : socket(ioContext)
{
    socket.connect({boost::asio::ip::address_v4::loopback(), port});
}

void LoopbackClient::send(std::string_view bytes)
{
    boost::asio::write(socket, boost::asio::buffer(bytes.data(), bytes.size()));
}

void LoopbackClient::sendBytewise(std::string_view bytes)
{
    socket.set_option(boost::asio::ip::tcp::no_delay(true));
    for (const char byte : bytes) {
        boost::asio::write(socket, boost::asio::buffer(&byte, 1));
    }
}

void LoopbackClient::finishSending()
{
    socket.shutdown(TcpSocket::shutdown_send);
}

std::string LoopbackClient::receiveUntilClosed()
{
    std::string received;
    bool closed = false;
    boost::asio::async_read(socket, boost::asio::dynamic_buffer(received),
                            [&closed](const boost::system::error_code& error, std::size_t) {
                                // The end of the stream, or a reset after the server
                                // closed with unread bytes from us still queued.
                                closed = error == boost::asio::error::eof ||
                                         error == boost::asio::error::connection_reset;
                            });
    ioContext.restart();
    ioContext.run_for(receiveDeadline);
    if (!ioContext.stopped()) {
        socket.close();
        ioContext.run();
    }
    EXPECT_TRUE(closed) << "the server did not close the connection in time";
    return received;
}

} // namespace http
