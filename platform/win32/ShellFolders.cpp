#include "platform/ShellFolders.hpp"

#include <windows.h>

#include <shlobj.h>

namespace platform {

std::filesystem::path shellFolderPath(ShellFolder folder)
{
    wchar_t buffer[MAX_PATH] = {};
    if (!SHGetSpecialFolderPathW(nullptr, buffer, static_cast<int>(folder), TRUE)) {
        return {};
    }
    return buffer;
}

} // namespace platform
