#include "settings/Preferences.hpp"

#include "platform/ShellFolders.hpp"
#include "settings/MemoryProfile.hpp"

#include <filesystem>
#include <fstream>

#include <gtest/gtest.h>

namespace {

constexpr std::wstring_view general = L"General";

Preferences loaded(const IProfile& profile)
{
    Preferences preferences;
    preferences.load(profile);
    return preferences;
}

TEST(PreferencesLoad, FirstStartGivesDefaultsAndNotConfigured)
{
    const auto preferences = loaded(MemoryProfile());
    EXPECT_EQ(preferences.port, 1331);
    EXPECT_EQ(preferences.sourceMode, 0);
    EXPECT_TRUE(preferences.notConfigured);
    EXPECT_EQ(preferences.playlist, L"");
    EXPECT_EQ(preferences.tvGuide, L"");
    EXPECT_EQ(preferences.getName(), L"Kelvo Player Remote Server");
    EXPECT_EQ(preferences.getVersion(), L"2.1");
    EXPECT_EQ(preferences.getSettingsVersion(), 1);
    EXPECT_EQ(preferences.getUserIniFileName(), L"KelvoPlayer.User.ini");
    EXPECT_EQ(preferences.getPlaylistFileName(), L"KelvoPlayer.m3u");
}

TEST(PreferencesLoad, StoredAllOnesSourceActsAsAbsent)
{
    MemoryProfile profile;
    profile.writeProfileInt(general, L"PlaylistSource", -1);
    const auto preferences = loaded(profile);
    EXPECT_EQ(preferences.sourceMode, 0);
    EXPECT_TRUE(preferences.notConfigured);
}

TEST(PreferencesLoad, StoredValuesAreUsedAsRead)
{
    MemoryProfile profile;
    profile.writeProfileString(general, L"PlayerLocation", L"C:\\P\\KelvoPlayer.exe");
    profile.writeProfileInt(general, L"Port", 70000);
    profile.writeProfileInt(general, L"PlaylistSource", 2);
    profile.writeProfileString(general, L"Playlist", L"http://a/b.m3u");
    profile.writeProfileString(general, L"TvGuide", L"http://a/tv.zip");
    const auto preferences = loaded(profile);
    EXPECT_EQ(preferences.playerLocation, L"C:\\P\\KelvoPlayer.exe");
    EXPECT_EQ(preferences.port, 70000);
    EXPECT_EQ(preferences.sourceMode, 2);
    EXPECT_FALSE(preferences.useCustomPlaylist());
    EXPECT_FALSE(preferences.notConfigured);
    EXPECT_EQ(preferences.playlist, L"http://a/b.m3u");
    EXPECT_EQ(preferences.tvGuide, L"http://a/tv.zip");
}

TEST(PreferencesSave, WritesAllFiveValuesWithTheirKinds)
{
    Preferences preferences;
    preferences.playerLocation = L"C:\\P\\KelvoPlayer.exe";
    preferences.port = 8080;
    preferences.sourceMode = 1;
    MemoryProfile profile;
    preferences.save(profile);
    EXPECT_EQ(profile.getProfileString(general, L"PlayerLocation", L"?"),
              L"C:\\P\\KelvoPlayer.exe");
    EXPECT_EQ(profile.getProfileInt(general, L"Port", 0), 8080);
    EXPECT_EQ(profile.getProfileInt(general, L"PlaylistSource", 0), 1);
    // Empty texts are stored as empty values, not left out.
    ASSERT_NE(profile.find(general, L"Playlist"), nullptr);
    EXPECT_EQ(profile.getProfileString(general, L"TvGuide", L"?"), L"");
    EXPECT_EQ(loaded(profile), preferences);
}

TEST(PreferencesEquality, ComparesOnlyTheStoredValuesExactly)
{
    Preferences left;
    left.playerLocation = L"C:\\Player\\KelvoPlayer.exe";
    Preferences right = left;
    right.name = L"other";
    right.version = L"9";
    right.notConfigured = true;
    EXPECT_EQ(left, right);

    right.playerLocation = L"c:\\player\\KelvoPlayer.exe";
    EXPECT_NE(left, right);
    for (auto change :
         {+[](Preferences& p) { p.port = 1; }, +[](Preferences& p) { p.sourceMode = 1; },
          +[](Preferences& p) { p.playlist = L"x"; }, +[](Preferences& p) { p.tvGuide = L"x"; }}) {
        Preferences changed = left;
        change(changed);
        EXPECT_NE(left, changed);
    }
}

struct FolderCase {
    const char* name;
    const wchar_t* location;
    const wchar_t* folder;
};

class PlayerFolder : public testing::TestWithParam<FolderCase> {};

TEST_P(PlayerFolder, IsTheFolderPartOfTheLocation)
{
    Preferences preferences;
    preferences.playerLocation = GetParam().location;
    EXPECT_EQ(preferences.getPlayerFolder(), GetParam().folder);
}

INSTANTIATE_TEST_SUITE_P(
    Locations, PlayerFolder,
    testing::Values(
        FolderCase{"InProgramFiles", L"C:\\Program Files\\Kelvo Player\\KelvoPlayer.exe",
                   L"C:\\Program Files\\Kelvo Player"},
        FolderCase{"DriveRootKeepsItsSeparator", L"C:\\KelvoPlayer.exe", L"C:\\"},
        FolderCase{"TrailingSeparatorIsDropped", L"C:\\Players\\", L"C:\\Players"},
        FolderCase{"TrailingSeparatorRunIsDropped", L"C:\\Players\\\\", L"C:\\Players"},
        FolderCase{"SeparatorRunBeforeNameIsDropped", L"C:\\Players\\\\KelvoPlayer.exe",
                   L"C:\\Players"},
        FolderCase{"NetworkShare", L"\\\\server\\share\\KelvoPlayer.exe", L"\\\\server\\share"},
        FolderCase{"BareNameHasNoFolder", L"KelvoPlayer.exe", L""},
        FolderCase{"EmptyLocation", L"", L""}),
    [](const testing::TestParamInfo<FolderCase>& param) { return param.param.name; });

class PlayerDataFolder : public testing::Test {
protected:
    void SetUp() override
    {
        folder = std::filesystem::temp_directory_path() /
                 ("kelvo-prefs-" +
                  std::string(testing::UnitTest::GetInstance()->current_test_info()->name()));
        std::filesystem::create_directories(folder);
        preferences.playerLocation = (folder / "KelvoPlayer.exe").wstring();
    }
    void TearDown() override { std::filesystem::remove_all(folder); }

    std::filesystem::path folder;
    Preferences preferences;
};

TEST_F(PlayerDataFolder, FollowsTheProfileMarkerWithoutRestart)
{
    EXPECT_EQ(preferences.getPlayerDataFolder(), preferences.getPlayerFolder());

    std::ofstream(folder / "UseProfile").put('\n');
    const auto profileFolder =
        platform::shellFolderPath(platform::ShellFolder::appData) / "Kelvo Player";
    EXPECT_EQ(preferences.getPlayerDataFolder(), profileFolder.wstring());

    std::filesystem::remove(folder / "UseProfile");
    std::filesystem::create_directory(folder / "UseProfile");
    EXPECT_EQ(preferences.getPlayerDataFolder(), profileFolder.wstring());

    std::filesystem::remove(folder / "UseProfile");
    EXPECT_EQ(preferences.getPlayerDataFolder(), preferences.getPlayerFolder());
}

} // namespace
