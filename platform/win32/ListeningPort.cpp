#include "platform/ListeningPort.hpp"

#include <boost/asio/error.hpp>

#include <winsock2.h>

namespace platform {

int ListeningAddressOption::optionLevel()
{
    return SOL_SOCKET;
}

int ListeningAddressOption::optionName()
{
    return SO_EXCLUSIVEADDRUSE;
}

boost::system::error_code reportedBindError(const boost::system::error_code& error)
{
    // A socket that holds the port for its exclusive use refuses the bind with "access
    // denied" rather than "address in use"; either way the port belongs to someone else.
    if (error == boost::asio::error::access_denied) {
        return boost::asio::error::address_in_use;
    }
    return error;
}

} // namespace platform
