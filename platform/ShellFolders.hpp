#pragma once

#include <filesystem>

namespace platform {

// The shell folders the program uses, numbered as the Windows shell numbers them.
enum class ShellFolder : int {
    startup = 7,
    commonStartup = 24,
    appData = 26,
    programFiles = 38,
};

// The folder, created when it is missing; empty when the system cannot name it.
std::filesystem::path shellFolderPath(ShellFolder folder);

} // namespace platform
