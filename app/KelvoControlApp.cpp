#include "app/KelvoControlApp.hpp"

#include "app/LocalAddresses.hpp"
#include "app/SingleInstanceGuard.hpp"
#include "app/StatusText.hpp"
#include "app/SystemTray.hpp"
#include "common/Product.hpp"
#include "common/TextConversion.hpp"
#include "framework/MessageBox.hpp"
#include "res/Resource.h"

#include <exception>
#include <utility>

#include <boost/asio/error.hpp>
#include <boost/system/system_error.hpp>

#include <windows.h>

#include <commctrl.h>
#include <objbase.h>

namespace {

constexpr std::wstring_view alreadyRunningMessage = L"Сервер уже запущен.";
constexpr std::wstring_view portInUseMessage =
    L"Ошибка запуска сервера: выбранный порт уже используется. Сервер остановлен.";
constexpr std::wstring_view startFailedMessage = L"Ошибка запуска сервера. Сервер остановлен.";

std::wstring startFailure(const std::exception& error)
{
    return std::wstring(startFailedMessage) + L"\n" + toWide(error.what());
}

} // namespace

CKelvoControlApp::CKelvoControlApp(const SingleInstanceGuard& guard,
                                   INotificationArea& notificationArea)
    : guard(guard)
    , notificationArea(notificationArea)
{
    mapCommand(ID_SETTINGS, &CKelvoControlApp::OnSettings);
    mapCommand(ID_APP_ABOUT, &CKelvoControlApp::OnAbout);
    mapCommand(ID_APP_EXIT, &CKelvoControlApp::OnExit);
}

bool CKelvoControlApp::InitInstance()
{
    INITCOMMONCONTROLSEX controls{sizeof(controls), ICC_WIN95_CLASSES};
    InitCommonControlsEx(&controls);
    Application::InitInstance();
    // The autostart shortcut is made through COM, on this thread.
    CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);

    if (guard.anotherInstanceRuns()) {
        framework::messageBox(alreadyRunningMessage, MB_OK);
        return false;
    }

    SetRegistryKey(productName);
    preferences.load(*this);
    collectLocalAddresses(localAddresses);

    // The tray deletes itself when its window is destroyed.
    tray = new CSystemTray(notificationArea);
    const auto icon = LoadIconW(resourceHandle(), MAKEINTRESOURCEW(IDR_MAINFRAME));
    if (!tray->createIcon(notConfiguredStatusText(), icon)) {
        // Without a taskbar to show in, the program has nothing to offer.
        std::exchange(tray, nullptr)->DestroyWindow();
        return false;
    }
    mainWindow = tray;

    if (preferences.notConfigured) {
        OnSettings();
    } else {
        startServer();
    }
    return true;
}

int CKelvoControlApp::ExitInstance()
{
    stopServer();
    CoUninitialize();
    return Application::ExitInstance();
}

void CKelvoControlApp::startServer()
{
    std::wstring message;
    try {
        server = std::make_unique<ServerHost>(preferences);
    } catch (const boost::system::system_error& error) {
        // The code alone tells a port in use, whichever category reported it.
        message = error.code().value() == boost::asio::error::address_in_use
                      ? std::wstring(portInUseMessage)
                      : startFailure(error);
    } catch (const std::exception& error) {
        message = startFailure(error);
    }
    if (!message.empty()) {
        tray->showNotification(message, CSystemTray::warning);
    }
    updateStatus();
}

void CKelvoControlApp::stopServer()
{
    if (server) {
        server->stop();
        server.reset();
    }
}

void CKelvoControlApp::updateStatus()
{
    tray->updateTooltip(serverStatusText(server != nullptr, localAddresses));
}
