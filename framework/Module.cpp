#include "framework/Module.hpp"

#include <algorithm>
#include <filesystem>
#include <vector>

namespace framework {

namespace {

// Longest path the system hands out, in characters, terminator included.
constexpr DWORD longestPath = 32768;

} // namespace

std::wstring executablePath()
{
    std::vector<wchar_t> buffer(MAX_PATH);
    for (;;) {
        const auto size = static_cast<DWORD>(buffer.size());
        const auto length = GetModuleFileNameW(nullptr, buffer.data(), size);
        // A full buffer means the path was cut; a longer one is tried until the limit.
        if (length < size || size >= longestPath) {
            return std::wstring(buffer.data(), length);
        }
        buffer.resize(std::min<std::size_t>(buffer.size() * 2, longestPath));
    }
}

std::wstring applicationName()
{
    return std::filesystem::path(executablePath()).stem().wstring();
}

HINSTANCE resourceHandle()
{
    return GetModuleHandleW(nullptr);
}

std::wstring loadString(UINT id)
{
    // With no buffer size, the call hands out a pointer into the resource itself.
    const wchar_t* text = nullptr;
    const auto length = LoadStringW(resourceHandle(), id, reinterpret_cast<LPWSTR>(&text), 0);
    return length > 0 ? std::wstring(text, static_cast<std::size_t>(length)) : std::wstring();
}

} // namespace framework
