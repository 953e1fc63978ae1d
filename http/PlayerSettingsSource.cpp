#include "http/PlayerSettingsSource.hpp"

#include "common/FileSystem.hpp"
#include "platform/IniFile.hpp"

#include <array>
#include <filesystem>
#include <string_view>

namespace http {
namespace {

const std::wstring settingsSection = L"Settings";
const std::wstring playlistKey = L"url-m3u";
const std::wstring autoloadKey = L"m3uautoload";
const std::wstring tvGuideKey = L"url-tvg";
constexpr std::wstring_view autoloadOn = L"1";
constexpr std::array<std::wstring_view, 2> webPrefixes = {L"http://", L"https://"};

std::wstring readSetting(const std::wstring& settingsPath, const std::wstring& key)
{
    return readPlayerSetting(settingsPath, settingsSection, key, std::wstring());
}

std::wstring inPlayerDataFolder(const IPreferences& preferences, const std::wstring& fileName)
{
    auto path = std::filesystem::path(preferences.getPlayerDataFolder()) / fileName;
    return path.make_preferred().wstring();
}

} // namespace

std::wstring playerSettingsPath(const IPreferences& preferences)
{
    return inPlayerDataFolder(preferences, preferences.getUserIniFileName());
}

std::wstring readPlayerSetting(const std::wstring& settingsPath, const std::wstring& section,
                               const std::wstring& key, const std::wstring& defaultValue)
{
    return platform::readIniString(settingsPath, section, key, defaultValue);
}

std::wstring playerTvGuideSource(const std::wstring& settingsPath)
{
    return readSetting(settingsPath, tvGuideKey);
}

bool isUsableSource(const std::wstring& source)
{
    for (const auto prefix : webPrefixes) {
        if (source.starts_with(prefix)) {
            return true;
        }
    }
    return pathExists(source);
}

std::wstring playerPlaylistSource(const std::wstring& settingsPath, const IPreferences& preferences)
{
    auto address = readSetting(settingsPath, playlistKey);
    const auto autoload = readSetting(settingsPath, autoloadKey);
    if (autoload == autoloadOn && isUsableSource(address)) {
        return address;
    }
    auto localFile = inPlayerDataFolder(preferences, preferences.getPlaylistFileName());
    if (pathExists(localFile)) {
        return localFile;
    }
    return address;
}

std::wstring effectivePlaylist(const IPreferences& preferences)
{
    if (preferences.useCustomPlaylist()) {
        return preferences.getPlaylist();
    }
    return playerPlaylistSource(playerSettingsPath(preferences), preferences);
}

std::wstring effectiveTvGuide(const IPreferences& preferences)
{
    if (preferences.useCustomPlaylist()) {
        return preferences.getTvGuide();
    }
    return playerTvGuideSource(playerSettingsPath(preferences));
}

} // namespace http
