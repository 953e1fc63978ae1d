#include "settings/PreferencesSheet.hpp"

#include "framework/Module.hpp"
#include "res/Resource.h"
#include "settings/Preferences.hpp"

CPreferencesSheet::CPreferencesSheet(const std::wstring& caption, const Preferences& preferences,
                                     bool autostart)
    : PropertySheet(caption)
    , generalPage(preferences, autostart)
    , advancedPage(preferences)
    , icon(LoadIconW(framework::resourceHandle(), MAKEINTRESOURCEW(IDR_MAINFRAME)))
{
    header.dwFlags |= PSH_USEHICON | PSH_NOAPPLYNOW;
    header.dwFlags &= ~static_cast<DWORD>(PSH_HASHELP);
    header.hIcon = icon;
    AddPage(generalPage);
    AddPage(advancedPage);
}

void CPreferencesSheet::applyTo(Preferences& preferences) const
{
    preferences.playerLocation = generalPage.playerLocation;
    preferences.port = generalPage.port;
    preferences.sourceMode = advancedPage.sourceMode;
    preferences.playlist = advancedPage.playlist;
    preferences.tvGuide = advancedPage.tvGuide;
}

bool CPreferencesSheet::OnInitDialog()
{
    SendMessageW(handle(), WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(icon));
    SendMessageW(handle(), WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(icon));
    PropertySheet::OnInitDialog();
    SetFocus(GetDlgItem(IDOK));
    // The focus is set: the system is not to move it to the first control.
    return false;
}
