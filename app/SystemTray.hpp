#pragma once

#include "app/NotificationArea.hpp"
#include "framework/Window.hpp"
#include "res/Resource.h"

#include <string_view>

#include <windows.h>

#include <shellapi.h>

// The program's icon in the notification area, owned by an invisible window: the
// tooltip, balloon messages, the popup menu and its default command on a double
// click. The menu's commands arrive at this window and go on to the application.
//
// Created on the heap; the object deletes itself once its window is destroyed, and
// removes the icon on the way.
class CSystemTray : public framework::Window {
public:
    // The icon's id, which is also the popup menu's resource id.
    static constexpr UINT iconId = IDR_TRAY_MENU;
    // The message by which the shell reports mouse actions on the icon.
    static constexpr UINT callbackMessage = WM_APP + 10;
    // Balloon icon kinds.
    static constexpr DWORD information = NIIF_INFO;
    static constexpr DWORD warning = NIIF_WARNING;

    explicit CSystemTray(INotificationArea& notificationArea = shellNotificationArea());
    CSystemTray(const CSystemTray&) = delete;
    CSystemTray& operator=(const CSystemTray&) = delete;
    ~CSystemTray() override;

    // Creates the window and adds the icon; false when the shell refused it.
    bool createIcon(std::wstring_view tooltip, HICON icon);
    // Keeps the first characters that fit the tooltip; sent only while the icon shows.
    void updateTooltip(std::wstring_view text);
    // A balloon above the icon with the program's name as title; false when the shell
    // has no balloons or refused it.
    bool showNotification(std::wstring_view text, DWORD iconKind);

    // Where the menu's commands go; null, as by default, means the main window.
    void setTargetWindow(framework::Window* window) { targetWindow = window; }

    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;

protected:
    virtual LRESULT handleIconMessage(WPARAM wParam, LPARAM lParam);
    // A hook for the popup menu before it shows.
    virtual void prepareMenu(HMENU popup);

    void PostNcDestroy() override;
    void OnSettingChange(UINT flags, const wchar_t* section) override;

private:
    // The shell announces with this message that the taskbar was created anew.
    static const UINT taskbarCreatedMessage;

    LRESULT OnShellRestarted(WPARAM wParam, LPARAM lParam);
    void addIconAgain();
    bool send(DWORD message);
    HWND commandTarget() const;
    LRESULT showMenu(HWND target);
    LRESULT runDefaultCommand(HWND target);

    INotificationArea& notificationArea;
    NOTIFYICONDATAW iconData{};
    bool enabled = false;
    bool hidden = true;
    bool removed = true;
    bool readdPending = false;
    bool balloonsSupported;
    framework::Window* targetWindow = nullptr;
    UINT defaultMenuItem = 0;
    bool defaultMenuItemByPosition = true;
    UINT creationFlags = 0;
};
