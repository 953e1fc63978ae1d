#include "service/ServerHost.hpp"

#include "settings/IPreferences.hpp"

#include <limits>
#include <stdexcept>
#include <string>

namespace {

// A port outside 1 to 65535 would otherwise be cut to some other port, or 0 would
// open a random one, and the server would report a start nobody can reach.
std::uint16_t portOf(const IPreferences& preferences)
{
    const int port = preferences.getPort();
    if (port < 1 || port > std::numeric_limits<std::uint16_t>::max()) {
        throw std::out_of_range("Port " + std::to_string(port) + " is out of range 1-65535");
    }
    return static_cast<std::uint16_t>(port);
}

} // namespace

ServerHost::ServerHost(const IPreferences& preferences, platform::IDesktop& desktop)
    : messageHandler(preferences, desktop)
    , udpListener(ioContext, portOf(preferences), messageHandler)
    , requestHandler(preferences)
    , httpListener(ioContext, portOf(preferences), requestHandler)
    , worker([this] { ioContext.run(); })
{}

ServerHost::~ServerHost()
{
    stop();
}

void ServerHost::stop()
{
    ioContext.stop();
    if (worker.joinable()) {
        worker.join();
    }
}
