#include "settings/GeneralPreferencesPage.hpp"

#include "framework/DataExchange.hpp"
#include "framework/FileDialog.hpp"
#include "res/Resource.h"
#include "settings/Preferences.hpp"

namespace {

constexpr int lowestPort = 1;
constexpr int highestPort = 65535;
constexpr std::wstring_view executableFilter = L"Исполняемые файлы (*.exe)|*.exe|";

} // namespace

CGeneralPreferencesPage::CGeneralPreferencesPage(const Preferences& preferences, bool autostart)
    : PropertyPage(IDD_GENERAL_PREFERENCES)
    , playerLocation(preferences.playerLocation)
    , port(preferences.port)
    , autostart(autostart ? 1 : 0)
{
    mapCommand(IDC_BROWSE, &CGeneralPreferencesPage::OnBrowse);
}

void CGeneralPreferencesPage::DoDataExchange(framework::DataExchange& exchange)
{
    framework::DDX_Text(exchange, IDC_PLAYER_LOCATION, playerLocation);
    framework::DDX_Text(exchange, IDC_PORT, port);
    framework::DDV_MinMaxInt(exchange, port, lowestPort, highestPort);
    framework::DDX_Check(exchange, IDC_AUTOSTART, autostart);
}

void CGeneralPreferencesPage::OnBrowse()
{
    framework::FileDialog dialog(executableFilter);
    if (dialog.DoModal() != IDOK) {
        return;
    }
    playerLocation = dialog.GetPathName();
    // All three members go back to the controls: an edit not yet read back is lost.
    UpdateData(false);
}
