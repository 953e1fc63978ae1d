#pragma once

#include "tests/support/Loopback.hpp"

#include <cstdint>

#include <boost/asio/ip/tcp.hpp>

// Whether some program holds a port on this computer: a bind on 127.0.0.1 fails while
// another socket holds the port on any address.
namespace port_probe {

inline bool udpPortTaken(std::uint16_t port)
{
    boost::asio::io_context ioContext;
    testing_support::UdpSocket probe(ioContext.get_executor(), boost::asio::ip::udp::v4());
    boost::system::error_code error;
    probe.bind(testing_support::loopbackEndpoint(port), error);
    return error == boost::asio::error::address_in_use;
}

inline bool tcpPortFree(std::uint16_t port)
{
    using TcpAcceptor = boost::asio::basic_socket_acceptor<boost::asio::ip::tcp,
                                                           boost::asio::io_context::executor_type>;
    boost::asio::io_context ioContext;
    TcpAcceptor probe(ioContext.get_executor(), boost::asio::ip::tcp::v4());
    boost::system::error_code error;
    probe.bind({boost::asio::ip::make_address_v4("127.0.0.1"), port}, error);
    return !error;
}

} // namespace port_probe
