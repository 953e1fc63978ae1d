#pragma once

#include "http/Listener.hpp"
#include "http/RequestHandler.hpp"
#include "platform/Desktop.hpp"
#include "service/KelvoMessageHandler.hpp"
#include "service/UdpListener.hpp"

#include <thread>

#include <boost/asio/io_context.hpp>

class IPreferences;

// The running network server: the configured port opened on every local IPv4
// address, served by one worker thread. Construction starts it or throws and leaves
// nothing open; a changed setting needs a new host.
class ServerHost {
public:
    // The preferences must outlive the host and stay unchanged while it exists.
    explicit ServerHost(const IPreferences& preferences,
                        platform::IDesktop& desktop = platform::systemDesktop());
    ServerHost(const ServerHost&) = delete;
    ServerHost& operator=(const ServerHost&) = delete;
    // Stops and joins the worker if the owner has not.
    ~ServerHost();

    // Stops the event loop and waits for the worker thread; a handler that is running
    // finishes first. No handler runs afterwards. Idempotent.
    void stop();

private:
    // Members are built in this order and destroyed in reverse: the worker starts last,
    // when every listener already waits for its first completion.
    boost::asio::io_context ioContext;
    KelvoMessageHandler messageHandler;
    UdpListener udpListener;
    http::RequestHandler requestHandler;
    http::Listener httpListener;
    std::thread worker;
};
