#include "http/Listener.hpp"

#include "platform/ListeningPort.hpp"

#include <boost/system/system_error.hpp>

namespace http {
namespace {

void throwOnError(const boost::system::error_code& error, const char* location)
{
    if (error) {
        throw boost::system::system_error(error, location);
    }
}

} // namespace

Listener::Listener(boost::asio::io_context& ioContext, unsigned short port,
                   IRequestHandler& handler)
    : ioContext(ioContext)
    , acceptor(ioContext)
    , handler(handler)
{
    const boost::asio::ip::tcp::endpoint endpoint(boost::asio::ip::tcp::v4(), port);
    boost::system::error_code error;
    acceptor.open(endpoint.protocol(), error);
    throwOnError(error, "open");
    acceptor.set_option(platform::ListeningAddressOption(), error);
    throwOnError(error, "set_option");
    acceptor.bind(endpoint, error);
    throwOnError(platform::reportedBindError(error), "bind");
    acceptor.listen(boost::asio::socket_base::max_listen_connections, error);
    throwOnError(error, "listen");
    startAccept();
}

unsigned short Listener::localPort() const
{
    return acceptor.local_endpoint().port();
}

void Listener::startAccept()
{
    // Replacing the pending connection releases the previous one; a started connection
    // lives on through its own read.
    pendingConnection = std::make_shared<Connection>(ioContext, handler);
    acceptor.async_accept(pendingConnection->socket(),
                          [this](const boost::system::error_code& error) {
                              if (!error) {
                                  pendingConnection->start();
                              }
                              startAccept();
                          });
}

} // namespace http
