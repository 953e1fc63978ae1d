#pragma once

#include "app/NotificationArea.hpp"
#include "framework/Window.hpp"

#include <algorithm>
#include <chrono>
#include <functional>
#include <string>
#include <vector>

#include <windows.h>

namespace ui_testing {

using namespace std::chrono_literals;

// Long enough for a slow Wine start, short enough to fail a hung test quickly.
constexpr auto uiTimeout = 10s;

// Dispatches this thread's messages until the condition holds or the time is up;
// returns whether it held. Between checks it waits for a message, but never longer
// than a short poll: the condition may depend on another thread or program.
inline bool pumpUntil(const std::function<bool()>& condition,
                      std::chrono::milliseconds timeout = uiTimeout)
{
    constexpr auto poll = 10ms;
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    for (;;) {
        MSG message;
        while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&message);
            DispatchMessageW(&message);
        }
        if (condition()) {
            return true;
        }
        if (std::chrono::steady_clock::now() >= deadline) {
            return false;
        }
        MsgWaitForMultipleObjects(0, nullptr, FALSE, static_cast<DWORD>(poll.count()), QS_ALLINPUT);
    }
}

// Keeps every record the tray hands to the notification area.
class RecordingNotificationArea : public INotificationArea {
public:
    struct Call {
        DWORD message;
        NOTIFYICONDATAW data;
    };

    bool notify(DWORD message, const NOTIFYICONDATAW& data) override
    {
        calls.push_back({message, data});
        return accepts;
    }

    std::vector<Call> callsOf(DWORD message) const
    {
        std::vector<Call> found;
        for (const auto& call : calls) {
            if (call.message == message) {
                found.push_back(call);
            }
        }
        return found;
    }

    std::vector<Call> calls;
    bool accepts = true;
};

// An invisible window that keeps the command ids it receives.
class CommandRecorder : public framework::Window {
public:
    CommandRecorder()
    {
        CreateEx(0, registerWindowClass(0), L"", WS_POPUP, 0, 0, 0, 0, nullptr, nullptr);
    }

    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override
    {
        if (message == WM_COMMAND) {
            commands.push_back(LOWORD(wParam));
            return 0;
        }
        return Window::WindowProc(message, wParam, lParam);
    }

    // Every command posted before now: a marker posted behind them comes back last.
    std::vector<UINT> postedCommands()
    {
        constexpr UINT marker = 0xFFFF;
        PostMessageW(handle(), WM_COMMAND, marker, 0);
        pumpUntil([&] { return !commands.empty() && commands.back() == marker; });
        auto posted = commands;
        std::erase(posted, marker);
        return posted;
    }

    std::vector<UINT> commands;
};

} // namespace ui_testing
