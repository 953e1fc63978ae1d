#pragma once

#include "framework/PropertySheet.hpp"
#include "settings/AdvancedPreferencesPage.hpp"
#include "settings/GeneralPreferencesPage.hpp"

#include <string>

#include <windows.h>

class Preferences;

// The settings dialog: a modal sheet with the general and the advanced page, OK and
// Cancel, and the program's icon in the caption. It edits copies of the values; the
// caller applies them when the sheet was accepted.
class CPreferencesSheet : public framework::PropertySheet {
public:
    CPreferencesSheet(const std::wstring& caption, const Preferences& preferences, bool autostart);

    // Writes the five values of the pages' members (not their controls).
    void applyTo(Preferences& preferences) const;

    CGeneralPreferencesPage generalPage;
    CAdvancedPreferencesPage advancedPage;

protected:
    bool OnInitDialog() override;

private:
    // Shared by the system, which frees it at exit.
    HICON icon;
};
