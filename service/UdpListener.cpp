#include "service/UdpListener.hpp"

#include "service/IMessageHandler.hpp"

#include <iostream>

#include <boost/asio/error.hpp>

namespace {

void reportError(const boost::system::error_code& error)
{
    std::cerr << error.message() << std::endl;
}

} // namespace

UdpListener::UdpListener(boost::asio::io_context& ioContext, std::uint16_t port,
                         IMessageHandler& handler)
    : socket(ioContext.get_executor())
    , handler(handler)
{
    const boost::asio::ip::udp::endpoint endpoint(boost::asio::ip::udp::v4(), port);
    socket.open(endpoint.protocol());
    socket.bind(endpoint);
    startReceive();
}

void UdpListener::startReceive()
{
    socket.async_receive_from(
        boost::asio::buffer(buffer), senderEndpoint,
        [this](const boost::system::error_code& error, std::size_t bytesReceived) {
            handleReceive(error, bytesReceived);
        });
}

void UdpListener::handleReceive(const boost::system::error_code& error, std::size_t bytesReceived)
{
    if (error) {
        reportError(error);
    } else if (bytesReceived > maxDatagramSize) {
        reportError(boost::asio::error::message_size);
    } else if (bytesReceived > 0) {
        handler.handleMessage(buffer.data(), static_cast<std::uint32_t>(bytesReceived));
    }
    startReceive();
}
