#include "platform/ShellFolders.hpp"

#include <cstdlib>
#include <system_error>

namespace platform {
namespace {

std::filesystem::path environmentFolder(const char* name)
{
    const char* value = std::getenv(name);
    return value != nullptr && *value != '\0' ? std::filesystem::path(value)
                                              : std::filesystem::path();
}

// Where a desktop user's per-user settings live on a freedesktop system.
std::filesystem::path configFolder()
{
    if (auto folder = environmentFolder("XDG_CONFIG_HOME"); !folder.empty()) {
        return folder;
    }
    if (auto home = environmentFolder("HOME"); !home.empty()) {
        return home / ".config";
    }
    return {};
}

std::filesystem::path folderFor(ShellFolder folder)
{
    switch (folder) {
    case ShellFolder::appData:
        return configFolder();
    case ShellFolder::startup:
        return configFolder().empty() ? std::filesystem::path() : configFolder() / "autostart";
    case ShellFolder::commonStartup:
        return "/etc/xdg/autostart";
    case ShellFolder::programFiles:
        return "/opt";
    }
    return {};
}

} // namespace

std::filesystem::path shellFolderPath(ShellFolder folder)
{
    auto path = folderFor(folder);
    if (!path.empty()) {
        std::error_code ignored;
        std::filesystem::create_directories(path, ignored);
    }
    return path;
}

} // namespace platform
