#include "app/SystemTray.hpp"

#include "common/Product.hpp"
#include "framework/Application.hpp"
#include "framework/Module.hpp"
#include "platform/win32/UniqueHandle.hpp"

#include <algorithm>
#include <cstddef>

#include <versionhelpers.h>

namespace {

// The record as the shell has known it since balloons: without the later balloon
// icon and GUID fields, so that every shell since then takes it.
constexpr DWORD iconDataSize = NOTIFYICONDATAW_V2_SIZE;
constexpr UINT creationFlagsOfIcon = NIF_MESSAGE | NIF_ICON | NIF_TIP;
constexpr UINT balloonTimeoutMs = 10000;

// The notification area needs the version 4 shell, balloons the one after it.
constexpr WORD notificationAreaVersion = 4;
constexpr WORD balloonVersion = 5;

// Copies as much of the text as fits and zeroes the rest, so the field is always
// terminated.
template <std::size_t size>
void copyTruncated(wchar_t (&field)[size], std::wstring_view text)
{
    std::fill(std::begin(field), std::end(field), L'\0');
    text.copy(field, size - 1);
}

// The popup menu's resource and its one submenu; the submenu is null when either
// cannot be had.
struct TrayMenu {
    platform::UniqueHmenu menu;
    HMENU popup = nullptr;
};

TrayMenu loadTrayMenu()
{
    TrayMenu loaded{platform::UniqueHmenu(
        LoadMenuW(framework::resourceHandle(), MAKEINTRESOURCEW(CSystemTray::iconId)))};
    if (loaded.menu) {
        loaded.popup = GetSubMenu(loaded.menu.get(), 0);
    }
    return loaded;
}

} // namespace

const UINT CSystemTray::taskbarCreatedMessage = RegisterWindowMessageW(L"TaskbarCreated");

CSystemTray::CSystemTray(INotificationArea& notificationArea)
    : notificationArea(notificationArea)
    , balloonsSupported(IsWindowsVersionOrGreater(balloonVersion, 0, 0))
{
    mapMessage(taskbarCreatedMessage, &CSystemTray::OnShellRestarted);
}

CSystemTray::~CSystemTray()
{
    readdPending = false;
    if (enabled && !removed) {
        iconData.uFlags = 0;
        if (send(NIM_DELETE)) {
            hidden = true;
            removed = true;
        }
    }
    // The base class destroys the window if it still exists.
}

bool CSystemTray::createIcon(std::wstring_view tooltip, HICON icon)
{
    enabled = IsWindowsVersionOrGreater(notificationAreaVersion, 0, 0);
    if (!enabled) {
        return false;
    }
    CreateEx(0, registerWindowClass(0), L"", WS_POPUP, 0, 0, 0, 0, nullptr, nullptr);

    iconData.cbSize = iconDataSize;
    iconData.hWnd = handle();
    iconData.uID = iconId;
    iconData.uFlags = creationFlagsOfIcon;
    iconData.uCallbackMessage = callbackMessage;
    iconData.hIcon = icon;
    copyTruncated(iconData.szTip, tooltip);

    hidden = false;
    creationFlags = iconData.uFlags;
    const bool added = send(NIM_ADD);
    removed = hidden = readdPending = !added;
    return added;
}

void CSystemTray::updateTooltip(std::wstring_view text)
{
    if (!enabled) {
        return;
    }
    iconData.uFlags = NIF_TIP;
    copyTruncated(iconData.szTip, text);
    if (!hidden) {
        send(NIM_MODIFY);
    }
}

bool CSystemTray::showNotification(std::wstring_view text, DWORD iconKind)
{
    if (!balloonsSupported) {
        return false;
    }
    iconData.uFlags = NIF_INFO;
    copyTruncated(iconData.szInfo, text);
    copyTruncated(iconData.szInfoTitle, productName);
    iconData.dwInfoFlags = iconKind;
    iconData.uTimeout = balloonTimeoutMs;
    const bool shown = send(NIM_MODIFY);
    // Otherwise the next tooltip change would show the balloon again.
    iconData.szInfo[0] = L'\0';
    return shown;
}

LRESULT CSystemTray::WindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == callbackMessage) {
        return handleIconMessage(wParam, lParam);
    }
    return Window::WindowProc(message, wParam, lParam);
}

LRESULT CSystemTray::handleIconMessage(WPARAM wParam, LPARAM lParam)
{
    if (wParam != iconData.uID) {
        return 0;
    }
    const auto target = commandTarget();
    if (target == nullptr) {
        return 0;
    }
    switch (LOWORD(lParam)) {
    case WM_RBUTTONUP:
        return showMenu(target);
    case WM_LBUTTONDBLCLK:
        return runDefaultCommand(target);
    default:
        return 1;
    }
}

void CSystemTray::prepareMenu(HMENU) {}

void CSystemTray::PostNcDestroy()
{
    delete this;
}

void CSystemTray::OnSettingChange(UINT flags, const wchar_t* section)
{
    Window::OnSettingChange(flags, section);
    // A changed work area can mean that the taskbar was moved or recreated.
    if (flags == SPI_SETWORKAREA) {
        readdPending = !hidden;
        if (readdPending) {
            addIconAgain();
        }
    }
}

LRESULT CSystemTray::OnShellRestarted(WPARAM, LPARAM)
{
    // A new taskbar has an empty notification area: an icon that showed must be added
    // again, with its current tooltip.
    readdPending = true;
    if (!hidden) {
        addIconAgain();
    }
    return 0;
}

void CSystemTray::addIconAgain()
{
    iconData.uFlags = creationFlags;
    hidden = readdPending = !send(NIM_ADD);
}

bool CSystemTray::send(DWORD message)
{
    return notificationArea.notify(message, iconData);
}

HWND CSystemTray::commandTarget() const
{
    if (targetWindow != nullptr) {
        return targetWindow->handle();
    }
    const auto* application = framework::Application::current();
    const auto* mainWindow = application != nullptr ? application->mainWindow : nullptr;
    return mainWindow != nullptr ? mainWindow->handle() : nullptr;
}

LRESULT CSystemTray::showMenu(HWND target)
{
    const auto menu = loadTrayMenu();
    if (menu.popup == nullptr) {
        return 0;
    }
    SetMenuDefaultItem(menu.popup, defaultMenuItem, defaultMenuItemByPosition);
    prepareMenu(menu.popup);

    POINT cursor{};
    GetCursorPos(&cursor);
    // The menu closes on a click elsewhere only when its owner is in the foreground
    // and gets a message after the menu ends.
    SetForegroundWindow(target);
    TrackPopupMenu(menu.popup, 0, cursor.x, cursor.y, 0, target, nullptr);
    PostMessageW(target, WM_NULL, 0, 0);
    return 1;
}

LRESULT CSystemTray::runDefaultCommand(HWND target)
{
    SetForegroundWindow(target);
    UINT command = defaultMenuItem;
    if (defaultMenuItemByPosition) {
        const auto menu = loadTrayMenu();
        if (menu.popup == nullptr) {
            return 0;
        }
        command = GetMenuItemID(menu.popup, static_cast<int>(defaultMenuItem));
    }
    PostMessageW(target, WM_COMMAND, command, 0);
    return 1;
}
