#pragma once

#include "http/Connection.hpp"
#include "http/IRequestHandler.hpp"
#include "http/Tcp.hpp"

#include <memory>

#include <boost/asio/io_context.hpp>

namespace http {

// Accepts TCP connections on the server port, on every local IPv4 address, and gives each
// its own Connection. One accept is outstanding from construction until the I/O context
// stops; destroy the listener only after that.
class Listener {
public:
    // Opens, binds and listens, or throws the system error with the failing step's name:
    // "open", "set_option", "bind" or "listen".
    Listener(boost::asio::io_context& ioContext, unsigned short port, IRequestHandler& handler);
    Listener(const Listener&) = delete;
    Listener& operator=(const Listener&) = delete;

    // The port actually bound; differs from the one asked for only when that was 0.
    unsigned short localPort() const;

private:
    void startAccept();

    boost::asio::io_context& ioContext;
    TcpAcceptor acceptor;
    std::shared_ptr<Connection> pendingConnection;
    IRequestHandler& handler;
};

} // namespace http
