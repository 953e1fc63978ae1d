#pragma once

#include <boost/asio/io_context.hpp>
#include <boost/asio/ip/tcp.hpp>

namespace http {

// TCP sockets on the I/O context's own executor type: the type-erased default executor
// trips GCC's null-dereference analysis in optimised builds.
using TcpSocket =
    boost::asio::basic_stream_socket<boost::asio::ip::tcp, boost::asio::io_context::executor_type>;
using TcpAcceptor = boost::asio::basic_socket_acceptor<boost::asio::ip::tcp,
                                                       boost::asio::io_context::executor_type>;

} // namespace http
