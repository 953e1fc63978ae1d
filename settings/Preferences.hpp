#pragma once

#include "settings/IPreferences.hpp"

class IProfile;

// The server's settings: five values stored in the application profile, and the
// fixed facts and derived folders that the rest of the program asks for.
class Preferences : public IPreferences {
public:
    Preferences();

    std::wstring getName() const override;
    std::wstring getVersion() const override;
    int getSettingsVersion() const override;
    std::wstring getPlayerLocation() const override;
    int getPort() const override;
    bool useCustomPlaylist() const override;
    std::wstring getPlaylist() const override;
    std::wstring getTvGuide() const override;
    std::wstring getPlayerFolder() const override;
    std::wstring getPlayerDataFolder() const override;
    std::wstring getUserIniFileName() const override;
    std::wstring getPlaylistFileName() const override;

    // Fills the five stored values, and notConfigured, from the profile.
    void load(const IProfile& profile);
    // Writes all five stored values, changed or not.
    void save(IProfile& profile) const;

    // Equal when the five stored values are equal, compared exactly (case matters).
    friend bool operator==(const Preferences& left, const Preferences& right);

    std::wstring name;
    std::wstring version;
    int settingsVersion;
    std::wstring playerLocation;
    int port = 0;
    int sourceMode = 0;
    std::wstring playlist;
    std::wstring tvGuide;
    bool notConfigured = false;
};

// The folder part of a Windows path: the text before the last name, without the
// separators in front of that name; a drive root keeps its separator. Empty for a
// bare file name.
std::wstring parentFolderOf(const std::wstring& path);
