#pragma once

#include <cstdint>
#include <vector>

#include <boost/asio/error.hpp>
#include <boost/asio/io_context.hpp>
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

// A UDP port on 127.0.0.1 that was free a moment ago.
inline std::uint16_t pickFreeUdpPort()
{
    boost::asio::io_context ioContext;
    UdpSocket probe(ioContext.get_executor(), loopbackEndpoint(0));
    return probe.local_endpoint().port();
}

// Calls start with a free port and returns its result. Another program may take the
// port between the pick and the start, so a start that finds it in use tries again.
template <typename Start>
auto startOnFreePort(Start start)
{
    constexpr int attempts = 10;
    for (int attempt = 1;; ++attempt) {
        try {
            return start(pickFreeUdpPort());
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
