#pragma once

#include <string>

#include <windows.h>

namespace framework {

// Full path of the running executable.
std::wstring executablePath();

// The executable's file name without folder and extension: the title of message
// boxes and the application's level in the registry profile.
std::wstring applicationName();

// The module that holds the program's resources: the executable itself.
HINSTANCE resourceHandle();

// A text of the string table; empty when there is none with that id.
std::wstring loadString(UINT id);

} // namespace framework
