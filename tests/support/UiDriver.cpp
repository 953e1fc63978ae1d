#include "UiDriver.hpp"

#include "framework/Window.hpp"
#include "platform/win32/UniqueHandle.hpp"

#include <fstream>

namespace ui {

namespace {

constexpr auto pollInterval = 10ms;
constexpr wchar_t dialogClass[] = L"#32770";

BOOL CALLBACK collectWindow(HWND window, LPARAM windows)
{
    if (IsWindowVisible(window)) {
        reinterpret_cast<std::vector<HWND>*>(windows)->push_back(window);
    }
    return TRUE;
}

// Closes what a modal thread still shows until its modal loop has ended.
void closeRemainingWindows(DWORD uiThread, const std::atomic<bool>& modalEnded)
{
    waitUntil([&] {
        for (const auto window : topLevelWindows(uiThread)) {
            PostMessageW(window, WM_CLOSE, 0, 0);
        }
        return modalEnded.load();
    });
}

// The whole screen, to copy from.
struct ScreenDc {
    ScreenDc() = default;
    ScreenDc(const ScreenDc&) = delete;
    ScreenDc& operator=(const ScreenDc&) = delete;
    ~ScreenDc() { ReleaseDC(nullptr, dc); }

    HDC dc = GetDC(nullptr);
};

} // namespace

bool waitUntil(const std::function<bool()>& condition, std::chrono::milliseconds timeout)
{
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    while (!condition()) {
        if (std::chrono::steady_clock::now() >= deadline) {
            return false;
        }
        std::this_thread::sleep_for(pollInterval);
    }
    return true;
}

std::vector<HWND> topLevelWindows(DWORD threadId)
{
    std::vector<HWND> windows;
    EnumThreadWindows(threadId, &collectWindow, reinterpret_cast<LPARAM>(&windows));
    return windows;
}

HWND waitForDialog(DWORD threadId, std::wstring_view title)
{
    HWND found = nullptr;
    waitUntil([&] {
        for (const auto window : topLevelWindows(threadId)) {
            if (classOf(window) == dialogClass && textOf(window) == title) {
                found = window;
                return true;
            }
        }
        return false;
    });
    return found;
}

std::wstring textOf(HWND window)
{
    return framework::windowText(window);
}

std::wstring classOf(HWND window)
{
    wchar_t name[256] = {};
    return std::wstring(name, static_cast<std::size_t>(GetClassNameW(window, name, 256)));
}

void setText(HWND control, std::wstring_view text)
{
    const std::wstring value(text);
    SendMessageW(control, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(value.c_str()));
}

std::wstring messageBoxText(HWND box)
{
    for (auto child = GetWindow(box, GW_CHILD); child != nullptr;
         child = GetWindow(child, GW_HWNDNEXT)) {
        if (_wcsicmp(classOf(child).c_str(), L"Static") == 0 && !textOf(child).empty()) {
            return textOf(child);
        }
    }
    return {};
}

HWND focusOf(DWORD threadId)
{
    GUITHREADINFO info{};
    info.cbSize = sizeof(info);
    return GetGUIThreadInfo(threadId, &info) ? info.hwndFocus : nullptr;
}

bool saveScreenshot(HWND window, const std::filesystem::path& file)
{
    // Painted through before it is copied, also when it has only just appeared.
    RedrawWindow(window, nullptr, nullptr,
                 RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN | RDW_UPDATENOW);
    RECT frame{};
    if (!GetWindowRect(window, &frame)) {
        return false;
    }
    const auto width = frame.right - frame.left;
    const auto height = frame.bottom - frame.top;
    const auto rowBytes = static_cast<DWORD>((width * 3 + 3) & ~3);

    BITMAPINFO format{};
    format.bmiHeader.biSize = sizeof(format.bmiHeader);
    format.bmiHeader.biWidth = width;
    format.bmiHeader.biHeight = height;
    format.bmiHeader.biPlanes = 1;
    format.bmiHeader.biBitCount = 24;
    format.bmiHeader.biCompression = BI_RGB;

    const ScreenDc screen;
    const platform::UniqueHandle<HDC, &DeleteDC> memory(CreateCompatibleDC(screen.dc));
    void* pixels = nullptr;
    const platform::UniqueHandle<HBITMAP, &DeleteObject> bitmap(
        CreateDIBSection(screen.dc, &format, DIB_RGB_COLORS, &pixels, nullptr, 0));
    if (!memory || !bitmap) {
        return false;
    }
    const auto previous = SelectObject(memory.get(), bitmap.get());
    const bool copied = BitBlt(memory.get(), 0, 0, width, height, screen.dc, frame.left, frame.top,
                               SRCCOPY) != FALSE;
    SelectObject(memory.get(), previous);
    GdiFlush();
    if (!copied) {
        return false;
    }

    std::filesystem::create_directories(file.parent_path());
    BITMAPFILEHEADER fileHeader{};
    fileHeader.bfType = 0x4D42; // "BM"
    fileHeader.bfOffBits = sizeof(fileHeader) + sizeof(format.bmiHeader);
    fileHeader.bfSize = fileHeader.bfOffBits + rowBytes * static_cast<DWORD>(height);
    std::ofstream out(file, std::ios::binary);
    out.write(reinterpret_cast<const char*>(&fileHeader), sizeof(fileHeader));
    out.write(reinterpret_cast<const char*>(&format.bmiHeader), sizeof(format.bmiHeader));
    out.write(static_cast<const char*>(pixels), static_cast<std::streamsize>(rowBytes) * height);
    return out.good();
}

INT_PTR ModalScript::run(const std::function<INT_PTR()>& modal, const Script& script)
{
    const auto uiThread = GetCurrentThreadId();
    std::atomic<bool> modalEnded = false;
    std::thread driver([&] {
        script(uiThread);
        closeRemainingWindows(uiThread, modalEnded);
    });
    const auto result = modal();
    modalEnded = true;
    driver.join();
    return result;
}

} // namespace ui
