#pragma once

#include <string>
#include <vector>

// The tooltip before the server was first configured.
std::wstring notConfiguredStatusText();

// The tooltip of a running or stopped server: the program's name, the state and,
// while it runs, the addresses at which it can be reached.
std::wstring serverStatusText(bool running, const std::vector<std::wstring>& addresses);
