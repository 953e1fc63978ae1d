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

    // Bound to the I/O context's own executor type: the type-erased default executor
    // trips GCC's null-dereference analysis in optimised builds.
    using Socket = boost::asio::basic_datagram_socket<boost::asio::ip::udp,
                                                      boost::asio::io_context::executor_type>;

    Socket socket;
    boost::asio::ip::udp::endpoint senderEndpoint;
    // Room for the largest datagram UDP can carry, so that the system never has to cut
    // one short: Linux would do that without a word, and a cut receive completes twice
    // on Windows completion ports, which crashes the event loop.
    static constexpr std::size_t receiveBufferSize = 65536;

    std::array<std::uint8_t, receiveBufferSize> buffer{};
    IMessageHandler& handler;
};
