#include "platform/IniFile.hpp"

#include <array>

#include <windows.h>

namespace platform {

std::wstring readIniString(const std::wstring& file, const std::wstring& section,
                           const std::wstring& key, const std::wstring& defaultValue)
{
    std::array<wchar_t, iniValueCapacity> buffer{};
    GetPrivateProfileStringW(section.c_str(), key.c_str(), defaultValue.c_str(), buffer.data(),
                             static_cast<DWORD>(buffer.size()), file.c_str());
    return buffer.data();
}

} // namespace platform
