#pragma once

#include <cstddef>
#include <string>
#include <vector>

// Replaces the list with this computer's IPv4 addresses in dotted-decimal form, in
// the order the host-name lookup gives them, and returns how many there are. Any
// failure of the lookup leaves the list empty.
std::size_t collectLocalAddresses(std::vector<std::wstring>& addresses);
