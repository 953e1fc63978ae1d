#pragma once

#include "framework/PropertyPage.hpp"

#include <string>

class Preferences;

// The settings sheet's second page, "Дополнительные": whether the client takes the
// channel list and TV guide from the player's own settings or from two addresses.
class CAdvancedPreferencesPage : public framework::PropertyPage {
public:
    explicit CAdvancedPreferencesPage(const Preferences& preferences);

    // 0: the player's settings; 1: the addresses below; -1 when neither was chosen.
    int sourceMode;
    std::wstring playlist;
    std::wstring tvGuide;

protected:
    bool OnInitDialog() override;
    void DoDataExchange(framework::DataExchange& exchange) override;

    void OnUsePlayerSettings();
    void OnUseCustomSettings();

private:
    // The two addresses and their labels are usable only with the custom source.
    void enableAddresses(bool enable);
};
