// A stand-in for the TV player in end-to-end tests: a top-level window of the
// player's class that appends what it is asked to do to "player.log" next to
// itself. A file "hang" next to it makes it stop answering key presses until the
// file goes (for a bounded time), like a player that hangs.
#include "common/TextConversion.hpp"

#include <chrono>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <thread>

#include <windows.h>

namespace {

constexpr wchar_t windowClass[] = L"KelvoPlayerMainWndClass";
constexpr std::chrono::seconds longestHang(30);
constexpr std::chrono::milliseconds hangPoll(20);

std::filesystem::path ownFolder()
{
    wchar_t path[MAX_PATH] = {};
    GetModuleFileNameW(nullptr, path, MAX_PATH);
    return std::filesystem::path(path).parent_path();
}

void log(const std::wstring& line)
{
    std::ofstream(ownFolder() / "player.log", std::ios::app) << toNarrow(line) << '\n';
}

// The command line without the program's own name in front.
std::wstring argumentsOf(std::wstring_view commandLine)
{
    std::size_t end =
        commandLine.starts_with(L'"') ? commandLine.find(L'"', 1) : commandLine.find(L' ');
    end = end == std::wstring_view::npos ? commandLine.size() : end + 1;
    const auto rest = commandLine.substr(end);
    const auto first = rest.find_first_not_of(L' ');
    return first == std::wstring_view::npos ? std::wstring() : std::wstring(rest.substr(first));
}

void hangWhileMarked()
{
    const auto marker = ownFolder() / "hang";
    const auto deadline = std::chrono::steady_clock::now() + longestHang;
    while (std::filesystem::exists(marker) && std::chrono::steady_clock::now() < deadline) {
        std::this_thread::sleep_for(hangPoll);
    }
}

LRESULT CALLBACK windowProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_KEYDOWN: {
        std::wostringstream line;
        line << L"keydown 0x" << std::hex << wParam;
        log(line.str());
        hangWhileMarked();
        return 0;
    }
    case WM_CLOSE:
        log(L"close");
        DestroyWindow(window);
        return 0;
    case WM_DESTROY:
        PostQuitMessage(0);
        return 0;
    default:
        return DefWindowProcW(window, message, wParam, lParam);
    }
}

} // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int show)
{
    log(L"pid " + std::to_wstring(GetCurrentProcessId()));
    log(L"arguments " + argumentsOf(GetCommandLineW()));
    log(L"folder " + std::filesystem::current_path().wstring());

    WNDCLASSW windowClassInfo = {};
    windowClassInfo.lpfnWndProc = windowProcedure;
    windowClassInfo.hInstance = instance;
    windowClassInfo.lpszClassName = windowClass;
    if (RegisterClassW(&windowClassInfo) == 0) {
        log(L"no window class");
        return 1;
    }
    const HWND window =
        CreateWindowW(windowClass, L"Test player", WS_OVERLAPPEDWINDOW, CW_USEDEFAULT,
                      CW_USEDEFAULT, 320, 240, nullptr, nullptr, instance, nullptr);
    if (window == nullptr) {
        log(L"no window");
        return 1;
    }
    ShowWindow(window, show);
    log(L"ready");

    MSG message;
    while (GetMessageW(&message, nullptr, 0, 0) > 0) {
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
    log(L"exit");
    return 0;
}
