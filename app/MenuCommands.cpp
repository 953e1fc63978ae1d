// The commands of the notification icon's popup menu.
#include "app/AboutDlg.hpp"
#include "app/KelvoControlApp.hpp"
#include "app/SystemTray.hpp"
#include "common/Product.hpp"
#include "framework/Module.hpp"
#include "settings/PreferencesSheet.hpp"
#include "settings/StartupShortcut.hpp"

namespace {

constexpr std::wstring_view settingsCaptionSuffix = L" - Настройки";
constexpr std::wstring_view serverStartedMessage = L"Сервер запущен";

} // namespace

void CKelvoControlApp::OnSettings()
{
    if (bringOpenDialogForward()) {
        return;
    }
    const auto caption = std::wstring(productName) + std::wstring(settingsCaptionSuffix);
    const auto shortcuts = getAutostartShortcuts(framework::executablePath());
    const bool autostart = getAutostartState(shortcuts);

    CPreferencesSheet sheet(caption, preferences, autostart);
    if (runModal(sheet) != IDOK) {
        return;
    }

    Preferences edited(preferences);
    sheet.applyTo(edited);
    // The first accepted sheet stores and starts even without a change.
    if (preferences.notConfigured || edited != preferences) {
        // The worker reads the preferences: it is stopped before they change.
        stopServer();
        preferences = edited;
        preferences.save(*this);
        startServer();
        if (preferences.notConfigured && server) {
            tray->showNotification(serverStartedMessage, CSystemTray::information);
            preferences.notConfigured = false;
        }
    }

    const bool checked = sheet.generalPage.autostart != 0;
    if (checked != autostart) {
        applyAutostart(shortcuts, checked);
    }
}

void CKelvoControlApp::OnAbout()
{
    if (bringOpenDialogForward()) {
        return;
    }
    CAboutDlg about;
    runModal(about);
}

void CKelvoControlApp::OnExit()
{
    // The program does not end under an open modal window.
    if (bringOpenDialogForward()) {
        return;
    }
    if (mainWindow != nullptr) {
        SendMessageW(mainWindow->handle(), WM_CLOSE, 0, 0);
    }
}

bool CKelvoControlApp::bringOpenDialogForward() const
{
    if (openDialog == nullptr) {
        return false;
    }
    if (openDialog->handle() != nullptr) {
        SwitchToThisWindow(openDialog->handle(), TRUE);
    }
    return true;
}

template <typename Modal>
INT_PTR CKelvoControlApp::runModal(Modal& modal)
{
    openDialog = &modal;
    const auto result = modal.DoModal();
    openDialog = nullptr;
    return result;
}
