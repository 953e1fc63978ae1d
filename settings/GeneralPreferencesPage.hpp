#pragma once

#include "framework/PropertyPage.hpp"

#include <string>

class Preferences;

// The settings sheet's first page, "Основные": the player's executable, the port and
// whether the program starts with Windows.
class CGeneralPreferencesPage : public framework::PropertyPage {
public:
    CGeneralPreferencesPage(const Preferences& preferences, bool autostart);

    std::wstring playerLocation;
    int port;
    // 1 when the program is to start with Windows, else 0.
    int autostart;

protected:
    void DoDataExchange(framework::DataExchange& exchange) override;

    void OnBrowse();
};
