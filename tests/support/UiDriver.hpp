#pragma once

#include <atomic>
#include <chrono>
#include <filesystem>
#include <functional>
#include <string>
#include <string_view>
#include <thread>
#include <vector>

#include <windows.h>

// Helpers for tests that drive real windows from a second thread while the test's
// own thread sits in a modal loop (DoModal). Every wait polls with a deadline.
namespace ui {

using namespace std::chrono_literals;

// How long a window may take to appear or change before the test gives up.
inline constexpr auto patience = 10s;

// Polls the condition until it holds or the time is up; whether it held.
bool waitUntil(const std::function<bool()>& condition,
               std::chrono::milliseconds timeout = patience);

// The visible top-level windows of a thread.
std::vector<HWND> topLevelWindows(DWORD threadId);

// A visible top-level dialog window of the thread with this title; polls until it
// appears or the time is up, then null.
HWND waitForDialog(DWORD threadId, std::wstring_view title);

std::wstring textOf(HWND window);
std::wstring classOf(HWND window);
void setText(HWND control, std::wstring_view text);

// The text of a message box: its one static control with text.
std::wstring messageBoxText(HWND box);

// The window that has the keyboard focus on the thread.
HWND focusOf(DWORD threadId);

// Saves what the screen shows of the window, caption and frame included, as a
// 24-bit BMP file.
bool saveScreenshot(HWND window, const std::filesystem::path& file);

// Runs a script on its own thread while the calling thread runs a modal window.
// When the script returns, or gives up, every window the modal thread still shows is
// closed, so that a failed script cannot leave the test hanging.
class ModalScript {
public:
    using Script = std::function<void(DWORD uiThread)>;

    // Runs modal() on this thread and the script beside it; returns modal()'s result.
    static INT_PTR run(const std::function<INT_PTR()>& modal, const Script& script);
};

} // namespace ui
