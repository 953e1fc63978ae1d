#pragma once

#include "settings/IPreferences.hpp"

#include <string>

// Where the channel list and the TV guide come from: the custom addresses of the server's
// own settings, or the player's per-user settings file with its local channel-list file as
// fallback. Every call reads the preferences and the player's files afresh.
namespace http {

// The player's per-user settings file: the player's data folder joined with its name.
std::wstring playerSettingsPath(const IPreferences& preferences);

// One value of the player's settings file, or the default when the file, the section or
// the key is missing. Values longer than 1023 characters arrive cut to 1023.
std::wstring readPlayerSetting(const std::wstring& settingsPath, const std::wstring& section,
                               const std::wstring& key, const std::wstring& defaultValue);

// The player's TV-guide address ("url-tvg"); empty when absent.
std::wstring playerTvGuideSource(const std::wstring& settingsPath);

// A web address (by its exact "http://" or "https://" prefix) or the path of something
// that exists.
bool isUsableSource(const std::wstring& source);

// The player's channel-list address when "m3uautoload" is "1" and the address is usable;
// else the local channel-list file when it exists; else the address, whatever it holds.
std::wstring playerPlaylistSource(const std::wstring& settingsPath,
                                  const IPreferences& preferences);

// The channel-list and TV-guide sources the routes serve: the custom addresses when custom
// sources are chosen, else the player's.
std::wstring effectivePlaylist(const IPreferences& preferences);
std::wstring effectiveTvGuide(const IPreferences& preferences);

} // namespace http
