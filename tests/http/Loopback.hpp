#pragma once

#include "http/IRequestHandler.hpp"
#include "http/Listener.hpp"
#include "http/Tcp.hpp"

#include <string>
#include <string_view>
#include <thread>

#include <boost/asio/io_context.hpp>

namespace http {

// A listener on its own I/O thread, as the server host runs it. Destruction stops the
// I/O context and joins the thread before the listener goes.
class RunningServer {
public:
    explicit RunningServer(IRequestHandler& handler, unsigned short port = 0);
    RunningServer(const RunningServer&) = delete;
    RunningServer& operator=(const RunningServer&) = delete;
    ~RunningServer();

    unsigned short port() const { return boundPort; }

private:
    boost::asio::io_context ioContext;
    Listener listener;
    const unsigned short boundPort;
    std::thread worker;
};

// A client connected to 127.0.0.1. Reads wait at most a few seconds, so a server that
// never answers fails the test instead of hanging it.
class LoopbackClient {
public:
    explicit LoopbackClient(unsigned short port);

    void send(std::string_view bytes);
    // One write per byte, with Nagle's algorithm off, so the bytes leave one at a time.
    void sendBytewise(std::string_view bytes);
    // Tells the server that nothing more will come.
    void finishSending();

    // Everything the server sends until it closes the connection. A timeout fails the
    // current test.
    std::string receiveUntilClosed();

private:
    boost::asio::io_context ioContext;
    TcpSocket socket;
};

} // namespace http
