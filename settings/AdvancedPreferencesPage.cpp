#include "settings/AdvancedPreferencesPage.hpp"

#include "framework/DataExchange.hpp"
#include "res/Resource.h"
#include "settings/Preferences.hpp"

namespace {

constexpr int customSource = 1;

} // namespace

CAdvancedPreferencesPage::CAdvancedPreferencesPage(const Preferences& preferences)
    : PropertyPage(IDD_ADVANCED_PREFERENCES)
    , sourceMode(preferences.sourceMode)
    , playlist(preferences.playlist)
    , tvGuide(preferences.tvGuide)
{
    mapCommand(IDC_USE_PLAYER_SETTINGS, &CAdvancedPreferencesPage::OnUsePlayerSettings);
    mapCommand(IDC_USE_CUSTOM_SETTINGS, &CAdvancedPreferencesPage::OnUseCustomSettings);
}

bool CAdvancedPreferencesPage::OnInitDialog()
{
    enableAddresses(sourceMode == customSource);
    return PropertyPage::OnInitDialog();
}

void CAdvancedPreferencesPage::DoDataExchange(framework::DataExchange& exchange)
{
    framework::DDX_Radio(exchange, IDC_USE_PLAYER_SETTINGS, sourceMode);
    framework::DDX_Text(exchange, IDC_PLAYLIST, playlist);
    framework::DDX_Text(exchange, IDC_TV_GUIDE, tvGuide);
}

void CAdvancedPreferencesPage::OnUsePlayerSettings()
{
    enableAddresses(false);
}

void CAdvancedPreferencesPage::OnUseCustomSettings()
{
    enableAddresses(true);
}

void CAdvancedPreferencesPage::enableAddresses(bool enable)
{
    for (const int id : {IDC_PLAYLIST_LABEL, IDC_PLAYLIST, IDC_TV_GUIDE_LABEL, IDC_TV_GUIDE}) {
        EnableWindow(GetDlgItem(id), enable ? TRUE : FALSE);
    }
}
