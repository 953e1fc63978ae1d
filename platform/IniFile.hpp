#pragma once

#include <cstddef>
#include <string>

namespace platform {

// The buffer a value is read into, in characters with its terminating NUL: longer values
// arrive cut to one character less.
inline constexpr std::size_t iniValueCapacity = 1024;

// One value of an INI file, as Windows' GetPrivateProfileStringW answers it into a buffer
// of iniValueCapacity characters: the value of the first key of that name within the first
// section of that name (names compared without regard to letter case), with the blanks
// around it dropped and one pair of enclosing quotes removed. The default comes back when
// the file, the section or the key is missing, or when the key's line has no "=".
std::wstring readIniString(const std::wstring& file, const std::wstring& section,
                           const std::wstring& key, const std::wstring& defaultValue);

} // namespace platform
