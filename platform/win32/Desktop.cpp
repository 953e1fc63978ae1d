#include "platform/Desktop.hpp"

#include <chrono>

#include <windows.h>

#include <shellapi.h>

namespace platform {
namespace {

static_assert(keyDownMessage == WM_KEYDOWN && closeMessage == WM_CLOSE);

// A player that does not answer within this time is left alone, so that one hung
// window never freezes the server or its shut-down.
constexpr std::chrono::milliseconds messageTimeout = std::chrono::seconds(3);

class SystemDesktop final : public IDesktop {
public:
    WindowHandle findWindow(const std::wstring& className) override
    {
        return FindWindowW(className.c_str(), nullptr);
    }

    bool sendMessage(WindowHandle window, std::uint32_t message, std::uintptr_t wParam,
                     std::intptr_t lParam) override
    {
        DWORD_PTR ignored = 0;
        return SendMessageTimeoutW(static_cast<HWND>(window), message, wParam, lParam,
                                   SMTO_ABORTIFHUNG, static_cast<UINT>(messageTimeout.count()),
                                   &ignored) != 0;
    }

    void startProgram(const std::wstring& program, const std::wstring& parameters,
                      const std::wstring& folder) override
    {
        // No folder means the current one, as the shell defines it for a null folder.
        ShellExecuteW(nullptr, L"open", program.c_str(), parameters.c_str(),
                      folder.empty() ? nullptr : folder.c_str(), SW_SHOWNORMAL);
    }
};

} // namespace

IDesktop& systemDesktop()
{
    static SystemDesktop desktop;
    return desktop;
}

} // namespace platform
