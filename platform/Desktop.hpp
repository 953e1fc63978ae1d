#pragma once

#include <cstdint>
#include <string>

namespace platform {

// Window message numbers, as the Windows desktop numbers them.
inline constexpr std::uint32_t keyDownMessage = 0x0100; // WM_KEYDOWN
inline constexpr std::uint32_t closeMessage = 0x0010;   // WM_CLOSE

// A top-level window on the desktop; null means none.
using WindowHandle = void*;

// What the command handler needs of the user's desktop to drive another program.
class IDesktop {
public:
    virtual ~IDesktop() = default;

    // The top-level window of the class, or null when there is none.
    virtual WindowHandle findWindow(const std::wstring& className) = 0;
    // Delivers the message and waits for the window to process it, but only for a
    // bounded time: false when the window did not answer in time or is gone.
    virtual bool sendMessage(WindowHandle window, std::uint32_t message, std::uintptr_t wParam,
                             std::intptr_t lParam) = 0;
    // Starts the program with the parameters in the folder, shown normally. Whether
    // the start succeeded is not known and not reported.
    virtual void startProgram(const std::wstring& program, const std::wstring& parameters,
                              const std::wstring& folder) = 0;
};

// The desktop of the user that runs this process.
IDesktop& systemDesktop();

} // namespace platform
