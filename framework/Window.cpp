#include "framework/Window.hpp"

#include "framework/Application.hpp"
#include "framework/Module.hpp"

#include <utility>

namespace framework {

namespace {

// The window property that leads from a window to the object handling it.
constexpr wchar_t objectProperty[] = L"framework.Window";

// The object whose window CreateEx is making on this thread; it takes the first
// message of that window, which arrives before CreateWindowExW returns.
thread_local Window* windowBeingCreated = nullptr;

// Destroying the main window ends the message loop.
void endLoopIfMainWindow(const Window& window)
{
    auto* application = Application::current();
    if (application != nullptr && application->mainWindow == &window) {
        application->mainWindow = nullptr;
        PostQuitMessage(0);
    }
}

} // namespace

Window::~Window()
{
    if (window != nullptr) {
        ::DestroyWindow(window);
    }
}

bool Window::CreateEx(DWORD exStyle, const std::wstring& className, const std::wstring& title,
                      DWORD style, int x, int y, int width, int height, HWND parent, HMENU menu)
{
    if (window != nullptr) {
        return false;
    }
    const auto outer = std::exchange(windowBeingCreated, this);
    const auto created = CreateWindowExW(exStyle, className.c_str(), title.c_str(), style, x, y,
                                         width, height, parent, menu, resourceHandle(), nullptr);
    windowBeingCreated = outer;
    if (created != nullptr && window == nullptr) {
        subclass(created);
    }
    return created != nullptr;
}

std::wstring Window::registerWindowClass(UINT classStyle)
{
    const auto name = L"framework.Window:" + std::to_wstring(classStyle);
    WNDCLASSEXW windowClass{};
    windowClass.cbSize = sizeof(windowClass);
    if (GetClassInfoExW(resourceHandle(), name.c_str(), &windowClass) == FALSE) {
        windowClass.style = classStyle;
        windowClass.lpfnWndProc = &Window::staticWindowProc;
        windowClass.hInstance = resourceHandle();
        windowClass.lpszClassName = name.c_str();
        RegisterClassExW(&windowClass);
    }
    return name;
}

bool Window::DestroyWindow()
{
    return window != nullptr && ::DestroyWindow(window) != FALSE;
}

HWND Window::GetDlgItem(int id) const
{
    return ::GetDlgItem(window, id);
}

Window* Window::fromHandle(HWND handle)
{
    return handle != nullptr ? static_cast<Window*>(GetPropW(handle, objectProperty)) : nullptr;
}

LRESULT Window::WindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    if (const auto result = dispatch(message, wParam, lParam)) {
        return *result;
    }
    return defaultProc(message, wParam, lParam);
}

void Window::OnSettingChange(UINT, const wchar_t*) {}

bool Window::OnNotify(const NMHDR&, LRESULT&)
{
    return false;
}

LRESULT Window::defaultProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    return superProc != nullptr ? CallWindowProcW(superProc, window, message, wParam, lParam)
                                : DefWindowProcW(window, message, wParam, lParam);
}

void Window::subclass(HWND handle)
{
    attach(handle);
    superProc = reinterpret_cast<WNDPROC>(SetWindowLongPtrW(
        handle, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&Window::staticWindowProc)));
}

LRESULT CALLBACK Window::staticWindowProc(HWND handle, UINT message, WPARAM wParam, LPARAM lParam)
{
    auto* target = fromHandle(handle);
    if (target == nullptr && windowBeingCreated != nullptr) {
        target = std::exchange(windowBeingCreated, nullptr);
        target->attach(handle);
    }
    if (target == nullptr) {
        return DefWindowProcW(handle, message, wParam, lParam);
    }
    if (message != WM_NCDESTROY) {
        return target->WindowProc(message, wParam, lParam);
    }
    const auto result = target->WindowProc(message, wParam, lParam);
    target->detach();
    endLoopIfMainWindow(*target);
    // Last: a self-owning window deletes itself here.
    target->PostNcDestroy();
    return result;
}

std::optional<LRESULT> Window::dispatch(UINT message, WPARAM wParam, LPARAM lParam)
{
    if (const auto found = messageHandlers.find(message); found != messageHandlers.end()) {
        return found->second(wParam, lParam);
    }
    switch (message) {
    case WM_COMMAND:
        if (onCommand(wParam, lParam)) {
            return 0;
        }
        break;
    case WM_NOTIFY:
        if (LRESULT result = 0; OnNotify(*reinterpret_cast<const NMHDR*>(lParam), result)) {
            return result;
        }
        break;
    case WM_SETTINGCHANGE:
        OnSettingChange(static_cast<UINT>(wParam), reinterpret_cast<const wchar_t*>(lParam));
        break;
    default:
        break;
    }
    return std::nullopt;
}

bool Window::onCommand(WPARAM wParam, LPARAM lParam)
{
    const UINT id = LOWORD(wParam);
    // Menu items and accelerators both count as the command itself; a control's
    // notification keeps its code.
    const bool fromControl = lParam != 0;
    const int code = fromControl ? HIWORD(wParam) : commandCode;
    if (OnCmdMsg(id, code)) {
        return true;
    }
    // The program's commands (the tray menu's) belong to the application object.
    auto* application = Application::current();
    return !fromControl && application != nullptr && application->OnCmdMsg(id, code);
}

std::wstring windowText(HWND window)
{
    std::wstring text(static_cast<std::size_t>(GetWindowTextLengthW(window)) + 1, L'\0');
    text.resize(static_cast<std::size_t>(
        GetWindowTextW(window, text.data(), static_cast<int>(text.size()))));
    return text;
}

void Window::attach(HWND handle)
{
    window = handle;
    SetPropW(handle, objectProperty, this);
}

void Window::detach()
{
    RemovePropW(window, objectProperty);
    window = nullptr;
    superProc = nullptr;
}

} // namespace framework
