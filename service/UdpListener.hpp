#pragma once

#include <array>
#include <cstddef>
#include <cstdint>

#include <boost/asio/io_context.hpp>
#include <boost/asio/ip/udp.hpp>
#include <boost/system/error_code.hpp>

class IMessageHandler;

// Receives command datagrams on one UDP port of every local IPv4 address and hands
// each non-empty one to the handler, on the thread that runs the I/O context.
class UdpListener {
public:
    // The longest datagram that is handled; a longer one is a receive error.
    static constexpr std::size_t maxDatagramSize = 1024;

    // Opens and binds the socket (no address reuse) and arms the first receive.
    // Throws boost::system::system_error ("open", "bind") on failure.
    UdpListener(boost::asio::io_context& ioContext, std::uint16_t port, IMessageHandler& handler);

private:
    void startReceive();
    void handleReceive(const boost::system::error_code& error, std::size_t bytesReceived);

    boost::asio::ip::udp::socket socket;
    boost::asio::ip::udp::endpoint senderEndpoint;
    // One byte more than the longest datagram: a datagram that fills it was longer,
    // and the system cut it short without saying so.
    std::array<std::uint8_t, maxDatagramSize + 1> buffer{};
    IMessageHandler& handler;
};
