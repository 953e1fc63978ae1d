#pragma once

#include <string_view>

// The program's display name: registry key, tooltip and balloon title, shortcut name.
inline constexpr std::wstring_view productName = L"Kelvo Player Remote Server";
inline constexpr std::wstring_view productVersion = L"2.1";
