#pragma once

#include "platform/win32/UniqueHandle.hpp"

#include <string_view>

#include <windows.h>

// Tells whether another copy of the program runs in this logon: the first copy
// creates a named mutex and holds it until it ends. Made before the application
// object, so that a second copy can leave before it touches anything.
class SingleInstanceGuard {
public:
    explicit SingleInstanceGuard(std::wstring_view name);

    bool anotherInstanceRuns() const noexcept;

private:
    platform::UniqueKernelHandle mutexHandle;
    DWORD creationError;
};

// The name the program's guard uses.
inline constexpr std::wstring_view instanceMutexName = L"Kelvo Player Remote Server identifier";
