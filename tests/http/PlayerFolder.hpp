#pragma once

#include "settings/Preferences.hpp"

#include <filesystem>
#include <string>
#include <string_view>

namespace http {

// A temporary player folder, removed with everything in it afterwards, and preferences
// whose player lives there (player sources chosen, no "UseProfile" marker, so the folder
// is also the player's data folder).
class PlayerFolder {
public:
    PlayerFolder();
    PlayerFolder(const PlayerFolder&) = delete;
    PlayerFolder& operator=(const PlayerFolder&) = delete;
    ~PlayerFolder();

    const std::filesystem::path& path() const { return folder; }
    // Writes the bytes to a file of that name in the folder; returns its native path.
    std::wstring write(const std::wstring& name, std::string_view bytes) const;
    std::wstring pathOf(const std::wstring& name) const;

    Preferences preferences;

private:
    std::filesystem::path folder;
};

} // namespace http
