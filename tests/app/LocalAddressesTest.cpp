#include "app/LocalAddresses.hpp"

#include <gtest/gtest.h>

#include <winsock2.h>
#include <ws2tcpip.h>

namespace {

TEST(LocalAddressesTest, ListsDottedIpv4AddressesAndReplacesTheOldList)
{
    std::vector<std::wstring> addresses{L"stale entry"};
    const auto count = collectLocalAddresses(addresses);

    EXPECT_EQ(count, addresses.size());
    ASSERT_GE(count, 1u) << "this computer has at least one IPv4 address";
    for (const auto& address : addresses) {
        in_addr parsed;
        EXPECT_EQ(InetPtonW(AF_INET, address.c_str(), &parsed), 1);
    }
    // Every start-up of the sockets layer was matched by a clean-up.
    EXPECT_EQ(socket(AF_INET, SOCK_DGRAM, 0), INVALID_SOCKET);
    EXPECT_EQ(WSAGetLastError(), WSANOTINITIALISED);
}

} // namespace
