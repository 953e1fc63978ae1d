#include "platform/ListeningPort.hpp"

#include <sys/socket.h>

namespace platform {

int ListeningAddressOption::optionLevel()
{
    return SOL_SOCKET;
}

int ListeningAddressOption::optionName()
{
    return SO_REUSEADDR;
}

boost::system::error_code reportedBindError(const boost::system::error_code& error)
{
    return error;
}

} // namespace platform
