#include "settings/Preferences.hpp"

#include "common/FileSystem.hpp"
#include "common/Product.hpp"
#include "platform/ShellFolders.hpp"
#include "settings/IProfile.hpp"

#include <filesystem>

namespace {

constexpr std::wstring_view section = L"General";
constexpr std::wstring_view playerLocationEntry = L"PlayerLocation";
constexpr std::wstring_view portEntry = L"Port";
constexpr std::wstring_view playlistSourceEntry = L"PlaylistSource";
constexpr std::wstring_view playlistEntry = L"Playlist";
constexpr std::wstring_view tvGuideEntry = L"TvGuide";

constexpr int defaultPort = 1331;
// What "PlaylistSource" reads as when it was never stored: the first run.
constexpr int sourceNotStored = -1;
constexpr int customSourceMode = 1;
constexpr int currentSettingsVersion = 1;

constexpr std::wstring_view playerFolderName = L"Kelvo Player";
constexpr std::wstring_view playerExecutableName = L"KelvoPlayer.exe";
constexpr std::wstring_view profileMarkerName = L"UseProfile";
constexpr std::wstring_view userIniFileName = L"KelvoPlayer.User.ini";
constexpr std::wstring_view playlistFileName = L"KelvoPlayer.m3u";

bool isSeparator(wchar_t c)
{
    return c == L'\\' || c == L'/';
}

bool isDriveRoot(const std::wstring& folder)
{
    return folder.size() == 2 && folder[1] == L':';
}

std::wstring nativeForm(std::filesystem::path path)
{
    return path.make_preferred().wstring();
}

std::wstring findDefaultPlayerLocation()
{
    const auto programFiles = platform::shellFolderPath(platform::ShellFolder::programFiles);
    if (programFiles.empty()) {
        return {};
    }
    const auto location = programFiles / playerFolderName / playerExecutableName;
    return pathExists(location) ? nativeForm(location) : std::wstring();
}

std::wstring getPlayerProfileFolder()
{
    const auto appData = platform::shellFolderPath(platform::ShellFolder::appData);
    return appData.empty() ? std::wstring() : nativeForm(appData / playerFolderName);
}

} // namespace

std::wstring parentFolderOf(const std::wstring& path)
{
    auto end = path.size();
    while (end > 0 && isSeparator(path[end - 1])) {
        --end;
    }
    if (end < path.size()) {
        // The location names a folder itself: it only loses its trailing separators.
        auto folder = path.substr(0, end);
        return folder.empty() || isDriveRoot(folder) ? path.substr(0, end + 1) : folder;
    }
    const auto lastSeparator = path.find_last_of(L"\\/");
    if (lastSeparator == std::wstring::npos) {
        return {};
    }
    auto folderEnd = lastSeparator;
    while (folderEnd > 0 && isSeparator(path[folderEnd - 1])) {
        --folderEnd;
    }
    auto folder = path.substr(0, folderEnd);
    if (folder.empty() || isDriveRoot(folder)) {
        folder += path[folderEnd];
    }
    return folder;
}

Preferences::Preferences()
    : name(productName)
    , version(productVersion)
    , settingsVersion(currentSettingsVersion)
{}

std::wstring Preferences::getName() const
{
    return name;
}
std::wstring Preferences::getVersion() const
{
    return version;
}
int Preferences::getSettingsVersion() const
{
    return settingsVersion;
}
std::wstring Preferences::getPlayerLocation() const
{
    return playerLocation;
}
int Preferences::getPort() const
{
    return port;
}
bool Preferences::useCustomPlaylist() const
{
    return sourceMode == customSourceMode;
}
std::wstring Preferences::getPlaylist() const
{
    return playlist;
}
std::wstring Preferences::getTvGuide() const
{
    return tvGuide;
}
std::wstring Preferences::getPlayerFolder() const
{
    return parentFolderOf(playerLocation);
}
std::wstring Preferences::getUserIniFileName() const
{
    return std::wstring(userIniFileName);
}
std::wstring Preferences::getPlaylistFileName() const
{
    return std::wstring(playlistFileName);
}

std::wstring Preferences::getPlayerDataFolder() const
{
    auto playerFolder = getPlayerFolder();
    // Asked afresh on every call: the player may switch to its profile at any time.
    if (pathExists(std::filesystem::path(playerFolder) / profileMarkerName)) {
        return getPlayerProfileFolder();
    }
    return playerFolder;
}

void Preferences::load(const IProfile& profile)
{
    playerLocation = profile.getProfileString(section, playerLocationEntry, L"");
    port = profile.getProfileInt(section, portEntry, defaultPort);
    sourceMode = profile.getProfileInt(section, playlistSourceEntry, sourceNotStored);
    playlist = profile.getProfileString(section, playlistEntry, L"");
    tvGuide = profile.getProfileString(section, tvGuideEntry, L"");
    if (playerLocation.empty()) {
        playerLocation = findDefaultPlayerLocation();
    }
    notConfigured = sourceMode == sourceNotStored;
    if (notConfigured) {
        sourceMode = 0;
    }
}

void Preferences::save(IProfile& profile) const
{
    profile.writeProfileString(section, playerLocationEntry, playerLocation);
    profile.writeProfileInt(section, portEntry, port);
    profile.writeProfileInt(section, playlistSourceEntry, sourceMode);
    profile.writeProfileString(section, playlistEntry, playlist);
    profile.writeProfileString(section, tvGuideEntry, tvGuide);
}

bool operator==(const Preferences& left, const Preferences& right)
{
    return left.playerLocation == right.playerLocation && left.port == right.port &&
           left.sourceMode == right.sourceMode && left.playlist == right.playlist &&
           left.tvGuide == right.tvGuide;
}
