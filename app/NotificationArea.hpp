#pragma once

#include <windows.h>

#include <shellapi.h>

// The taskbar's notification area as the tray icon uses it: one call that adds,
// changes or deletes an icon. Tests put a recorder in its place to see what was sent.
class INotificationArea {
public:
    virtual ~INotificationArea() = default;

    // True when the shell accepted the record.
    virtual bool notify(DWORD message, const NOTIFYICONDATAW& data) = 0;
};

// The shell's own notification area.
INotificationArea& shellNotificationArea();
