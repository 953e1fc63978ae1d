#pragma once

#include "http/IRequestHandler.hpp"
#include "http/Reply.hpp"
#include "http/Request.hpp"
#include "http/RequestParser.hpp"
#include "http/Tcp.hpp"

#include <array>
#include <cstddef>
#include <memory>

#include <boost/asio/io_context.hpp>

namespace http {

// One accepted TCP connection serving exactly one request. Only its own pending
// operations hold it: it is released when the last of them completes.
class Connection : public std::enable_shared_from_this<Connection> {
public:
    Connection(boost::asio::io_context& ioContext, IRequestHandler& handler);
    Connection(const Connection&) = delete;
    Connection& operator=(const Connection&) = delete;

    // The socket the listener accepts into.
    TcpSocket& socket();

    // Begins reading the request; called once, after the accept.
    void start();

private:
    static constexpr std::size_t bufferSize = 8192;

    void startRead();
    void handleRead(const boost::system::error_code& error, std::size_t bytesRead);
    void answer();
    void startWrite();
    void handleWrite(const boost::system::error_code& error);

    TcpSocket connectionSocket;
    IRequestHandler& handler;
    std::array<char, bufferSize> buffer{};
    Request request;
    RequestParser parser;
    Reply reply;
};

} // namespace http
