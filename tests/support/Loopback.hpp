#pragma once

#include <cstdint>
#include <random>
#include <stdexcept>
#include <vector>

#include <boost/asio/error.hpp>
#include <boost/asio/io_context.hpp>
#include <boost/asio/ip/tcp.hpp>
#include <boost/asio/ip/udp.hpp>
#include <boost/system/system_error.hpp>

namespace testing_support {

// On the I/O context's own executor type: the type-erased default executor trips
// GCC's null-dereference analysis in optimised builds.
using UdpSocket = boost::asio::basic_datagram_socket<boost::asio::ip::udp,
                                                     boost::asio::io_context::executor_type>;

inline boost::asio::ip::udp::endpoint loopbackEndpoint(std::uint16_t port)
{
    return {boost::asio::ip::make_address_v4("127.0.0.1"), port};
}

inline bool udpPortIsFree(std::uint16_t port)
{
    boost::asio::io_context ioContext;
    UdpSocket socket(ioContext.get_executor(), boost::asio::ip::udp::v4());
    boost::system::error_code error;
    socket.bind({boost::asio::ip::address_v4::any(), port}, error);
    return !error;
}

inline bool tcpPortIsFree(std::uint16_t port)
{
    boost::asio::io_context ioContext;
    boost::asio::basic_socket_acceptor<boost::asio::ip::tcp, boost::asio::io_context::executor_type>
        acceptor(ioContext.get_executor(), boost::asio::ip::tcp::v4());
    boost::system::error_code error;
    acceptor.bind({boost::asio::ip::address_v4::any(), port}, error);
    return !error;
}

// A port free for both UDP and TCP a moment ago, as the server host needs it. It is
// drawn from below the range the system hands out to client sockets (which begins at
// 32768 here), so that the many short-lived clients of tests running at the same time
// do not take it between the pick and the start.
inline std::uint16_t pickFreePort()
{
    constexpr int lowest = 20000;
    constexpr int highest = 32000;
    constexpr int attempts = 1000;
    static std::mt19937 random{std::random_device{}()};
    std::uniform_int_distribution<int> ports(lowest, highest);
    for (int attempt = 0; attempt < attempts; ++attempt) {
        const auto port = static_cast<std::uint16_t>(ports(random));
        if (udpPortIsFree(port) && tcpPortIsFree(port)) {
            return port;
        }
    }
    throw std::runtime_error("no free port between 20000 and 32000");
}

// Calls start with a free port and returns its result. Another program may take the
// port between the pick and the start, so a start that finds it in use tries again.
template <typename Start>
auto startOnFreePort(Start start)
{
    constexpr int attempts = 10;
    for (int attempt = 1;; ++attempt) {
        try {
            return start(pickFreePort());
        } catch (const boost::system::system_error& error) {
            if (error.code() != boost::asio::error::address_in_use || attempt == attempts) {
                throw;
            }
        }
    }
}

// Sends datagrams from its own socket to a port on 127.0.0.1.
class DatagramSender {
public:
    explicit DatagramSender(std::uint16_t port)
        : socket(ioContext.get_executor(), boost::asio::ip::udp::v4())
        , target(loopbackEndpoint(port))
    {}

    void send(const std::vector<std::uint8_t>& datagram)
    {
        socket.send_to(boost::asio::buffer(datagram), target);
    }

private:
    boost::asio::io_context ioContext;
    UdpSocket socket;
    boost::asio::ip::udp::endpoint target;
};

} // namespace testing_support
