#include "http/Connection.hpp"

#include <boost/asio/write.hpp>

namespace http {
namespace {

// Asio's own "transfer all" hands the system at most 64 KiB per call; a served file goes
// out in as few calls as the socket's buffer allows.
std::size_t untilAllWritten(const boost::system::error_code& error, std::size_t)
{
    constexpr std::size_t largestWrite = 16 * 1024 * 1024;
    return error ? 0 : largestWrite;
}

} // namespace

Connection::Connection(boost::asio::io_context& ioContext, IRequestHandler& handler)
    : connectionSocket(ioContext)
    , handler(handler)
{}

TcpSocket& Connection::socket()
{
    return connectionSocket;
}

void Connection::start()
{
    startRead();
}

void Connection::startRead()
{
    connectionSocket.async_read_some(
        boost::asio::buffer(buffer),
        [self = shared_from_this()](const boost::system::error_code& error, std::size_t bytesRead) {
            self->handleRead(error, bytesRead);
        });
}

void Connection::handleRead(const boost::system::error_code& error, std::size_t bytesRead)
{
    if (error) {
        // The peer closed or the read failed before a whole head arrived: no reply.
        return;
    }
    // Bytes after the deciding one, a body or a second request, are never looked at.
    const ParseResult result =
        parser.parse(request, buffer.data(), buffer.data() + bytesRead).first;
    if (result) {
        answer();
        startWrite();
    } else if (!result) {
        reply = stockReply(StatusType::badRequest);
        startWrite();
    } else {
        startRead();
    }
}

// The worker thread catches nothing itself, so a handler that throws must not take the
// server down: the client gets the stock 500 page and the next request is served as usual.
void Connection::answer()
{
    try {
        handler.handleRequest(request, reply);
    } catch (...) {
        reply = stockReply(StatusType::internalServerError);
    }
}

void Connection::startWrite()
{
    boost::asio::async_write(
        connectionSocket, reply.toBuffers(), untilAllWritten,
        [self = shared_from_this()](const boost::system::error_code& error, std::size_t) {
            self->handleWrite(error);
        });
}

void Connection::handleWrite(const boost::system::error_code& error)
{
    if (!error) {
        boost::system::error_code ignored;
        connectionSocket.shutdown(TcpSocket::shutdown_both, ignored);
    }
}

} // namespace http
