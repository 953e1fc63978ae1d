#pragma once

#include "platform/ShellFolders.hpp"

#include <string>

// One start-with-Windows shortcut: what it starts and where the shortcut file lives.
struct StartupShortcut {
    std::wstring target;
    std::wstring linkPath;
    std::wstring description;
};

// The two Startup folders a shortcut may live in. The all-users one is tried first.
struct AutostartShortcuts {
    StartupShortcut allUsers;
    StartupShortcut perUser;
};

// The shortcut file's path in one Startup folder; empty when the system cannot name
// the folder, so that the folder is skipped rather than a wrong path being used.
std::wstring getStartupShortcutPath(platform::ShellFolder folder);

// Both shortcuts that start the executable at the given path.
AutostartShortcuts getAutostartShortcuts(const std::wstring& target);

// Whether the program starts with Windows: anything, even a folder, under the
// shortcut's name in either Startup folder counts.
bool getAutostartState(const AutostartShortcuts& shortcuts);

// Saves a shell link that starts the target without arguments. True when saved.
// COM must be initialised on the calling thread.
bool createShortcut(const StartupShortcut& shortcut);

// Checked: creates the all-users shortcut, or the per-user one when that fails.
// Unchecked: deletes both, each whatever the other gave. Failures stay silent.
void applyAutostart(const AutostartShortcuts& shortcuts, bool checked);
