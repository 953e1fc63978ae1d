#pragma once

#include "app/NotificationArea.hpp"
#include "framework/Application.hpp"
#include "service/ServerHost.hpp"
#include "settings/Preferences.hpp"

#include <memory>
#include <string>
#include <vector>

class CSystemTray;
class SingleInstanceGuard;

// The program: one copy per logon, its icon in the notification area, and the server
// started from the stored settings. The icon's menu commands end up here.
class CKelvoControlApp : public framework::Application {
public:
    explicit CKelvoControlApp(const SingleInstanceGuard& guard,
                              INotificationArea& notificationArea = shellNotificationArea());

    bool InitInstance() override;
    int ExitInstance() override;

    // Tries to start the server, shows a failure in a balloon, refreshes the tooltip.
    // Only while the server is stopped.
    void startServer();
    // Stops the server, if it runs, and waits for its worker. Leaves the tooltip.
    void stopServer();
    // Rebuilds the tooltip from the server's state and the addresses.
    void updateStatus();

    // The live settings. Changed only while the server is stopped.
    Preferences preferences;
    // This computer's IPv4 addresses, collected once at start.
    std::vector<std::wstring> localAddresses;
    // The icon and main window; it deletes itself when its window is destroyed.
    CSystemTray* tray = nullptr;
    // The running server; null while it is stopped.
    std::unique_ptr<ServerHost> server;
    // The one modal window now open, the settings sheet or the about box.
    framework::Window* openDialog = nullptr;

protected:
    void OnSettings();
    void OnAbout();
    void OnExit();

private:
    // Brings the open modal window to the front; whether there was one.
    bool bringOpenDialogForward() const;
    template <typename Modal>
    INT_PTR runModal(Modal& modal);

    const SingleInstanceGuard& guard;
    INotificationArea& notificationArea;
};
