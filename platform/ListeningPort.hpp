#pragma once

#include <cstddef>

#include <boost/system/error_code.hpp>

namespace platform {

// The socket option a listening TCP socket sets before it binds, in the form Asio's
// set_option takes. On POSIX it allows address reuse, so that a restarted server binds
// again while connections of the old one linger in TIME_WAIT. On Windows that option
// would let another program's socket share the port without either noticing; there the
// socket takes the port for its exclusive use instead (Windows binds over TIME_WAIT
// connections without any option).
class ListeningAddressOption {
public:
    template <typename Protocol>
    int level(const Protocol&) const
    {
        return optionLevel();
    }
    template <typename Protocol>
    int name(const Protocol&) const
    {
        return optionName();
    }
    template <typename Protocol>
    const void* data(const Protocol&) const
    {
        return &enabled;
    }
    template <typename Protocol>
    std::size_t size(const Protocol&) const
    {
        return sizeof(enabled);
    }

private:
    static int optionLevel();
    static int optionName();

    int enabled = 1;
};

// The error to report for the bind of a listening socket: a port that another socket holds
// comes out as address in use, whichever way that socket holds it.
boost::system::error_code reportedBindError(const boost::system::error_code& error);

} // namespace platform
