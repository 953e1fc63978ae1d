// The old host-name lookup is the one that lists every address of this computer.
#define _WINSOCK_DEPRECATED_NO_WARNINGS

#include "app/LocalAddresses.hpp"

#include "common/TextConversion.hpp"

#include <cstring>

#include <winsock2.h>

namespace {

constexpr WORD windowsSocketsVersion = MAKEWORD(1, 0);
constexpr int hostNameSize = 256;

void appendHostAddresses(std::vector<std::wstring>& addresses)
{
    char hostName[hostNameSize] = {};
    if (gethostname(hostName, hostNameSize) != 0) {
        return;
    }
    const hostent* host = gethostbyname(hostName);
    if (host == nullptr) {
        return;
    }
    for (auto entry = host->h_addr_list; *entry != nullptr; ++entry) {
        in_addr address;
        std::memcpy(&address, *entry, sizeof address);
        addresses.push_back(toWide(inet_ntoa(address)));
    }
}

} // namespace

std::size_t collectLocalAddresses(std::vector<std::wstring>& addresses)
{
    addresses.clear();
    WSADATA data;
    if (WSAStartup(windowsSocketsVersion, &data) == 0) {
        appendHostAddresses(addresses);
    }
    // On every path: after a failed start-up it fails harmlessly.
    WSACleanup();
    return addresses.size();
}
