// Preferences against the real registry, through the application profile.
#include "framework/RegistryProfile.hpp"
#include "platform/ShellFolders.hpp"
#include "platform/win32/UniqueHandle.hpp"
#include "settings/Preferences.hpp"

#include <filesystem>
#include <fstream>
#include <string>

#include <gtest/gtest.h>

#include <windows.h>

namespace {

constexpr std::wstring_view general = L"General";

// Each case has a registry key of its own, removed afterwards: cases run in parallel.
class RegistryPreferences : public testing::Test {
protected:
    RegistryPreferences()
        : registryKey(uniqueKeyName())
        , profile(registryKey, L"KelvoRemoteServer")
    {}

    ~RegistryPreferences() override
    {
        RegDeleteTreeW(HKEY_CURRENT_USER, (L"Software\\" + registryKey).c_str());
    }

    static std::wstring uniqueKeyName()
    {
        const std::string test = testing::UnitTest::GetInstance()->current_test_info()->name();
        return L"Kelvo Remote Server Test " + std::to_wstring(GetCurrentProcessId()) + L" " +
               std::wstring(test.begin(), test.end());
    }

    platform::UniqueHkey openSection() const
    {
        platform::UniqueHkey key;
        if (RegOpenKeyExW(HKEY_CURRENT_USER, profile.sectionPath(general).c_str(), 0, KEY_READ,
                          key.put()) != ERROR_SUCCESS) {
            key.release();
        }
        return key;
    }

    // Stores a value of any type, as another program or an older version might have.
    void store(const wchar_t* name, DWORD type, const void* data, DWORD size)
    {
        platform::UniqueHkey key;
        ASSERT_EQ(RegCreateKeyExW(HKEY_CURRENT_USER, profile.sectionPath(general).c_str(), 0,
                                  nullptr, 0, KEY_WRITE, nullptr, key.put(), nullptr),
                  ERROR_SUCCESS);
        ASSERT_EQ(RegSetValueExW(key.get(), name, 0, type, static_cast<const BYTE*>(data), size),
                  ERROR_SUCCESS);
    }

    void storeDword(const wchar_t* name, DWORD value)
    {
        store(name, REG_DWORD, &value, sizeof(value));
    }

    void storeText(const wchar_t* name, const std::wstring& text)
    {
        store(name, REG_SZ, text.c_str(), static_cast<DWORD>((text.size() + 1) * sizeof(wchar_t)));
    }

    DWORD typeOf(const wchar_t* name) const
    {
        const auto key = openSection();
        DWORD type = REG_NONE;
        if (!key ||
            RegQueryValueExW(key.get(), name, nullptr, &type, nullptr, nullptr) != ERROR_SUCCESS) {
            return REG_NONE;
        }
        return type;
    }

    Preferences loaded() const
    {
        Preferences preferences;
        preferences.load(profile);
        return preferences;
    }

    std::wstring registryKey;
    framework::RegistryProfile profile;
};

TEST_F(RegistryPreferences, FirstStartGivesDefaultsAndCreatesTheKey)
{
    ASSERT_FALSE(openSection());
    const auto preferences = loaded();
    EXPECT_EQ(preferences.port, 1331);
    EXPECT_EQ(preferences.sourceMode, 0);
    EXPECT_TRUE(preferences.notConfigured);
    EXPECT_EQ(preferences.playlist, L"");
    EXPECT_EQ(preferences.tvGuide, L"");
    EXPECT_TRUE(openSection());
}

TEST_F(RegistryPreferences, StoredAllOnesSourceActsAsAbsent)
{
    storeDword(L"PlaylistSource", 0xFFFFFFFF);
    const auto preferences = loaded();
    EXPECT_EQ(preferences.sourceMode, 0);
    EXPECT_TRUE(preferences.notConfigured);
}

TEST_F(RegistryPreferences, ValueOfTheWrongTypeReadsAsTheDefault)
{
    storeText(L"Port", L"8080");
    storeText(L"PlaylistSource", L"1");
    storeDword(L"Playlist", 7);
    const char bytes[] = {'x', 'y'};
    store(L"TvGuide", REG_BINARY, bytes, sizeof(bytes));
    const auto preferences = loaded();
    EXPECT_EQ(preferences.port, 1331);
    EXPECT_TRUE(preferences.notConfigured);
    EXPECT_EQ(preferences.playlist, L"");
    EXPECT_EQ(preferences.tvGuide, L"");
}

TEST_F(RegistryPreferences, SaveWritesAllFiveValuesWithTheirTypes)
{
    // Whatever was there before, of whatever type, is replaced.
    storeText(L"Port", L"8080");
    storeDword(L"PlayerLocation", 1);
    Preferences preferences;
    preferences.playerLocation = L"C:\\Player\\\u041a\u0435\u043b\u044c\u0432\u043e.exe";
    preferences.port = 4321;
    preferences.sourceMode = 1;
    preferences.playlist = L"http://host/list.m3u?a=1&b=2";
    preferences.save(profile);

    EXPECT_EQ(typeOf(L"PlayerLocation"), static_cast<DWORD>(REG_SZ));
    EXPECT_EQ(typeOf(L"Port"), static_cast<DWORD>(REG_DWORD));
    EXPECT_EQ(typeOf(L"PlaylistSource"), static_cast<DWORD>(REG_DWORD));
    EXPECT_EQ(typeOf(L"Playlist"), static_cast<DWORD>(REG_SZ));
    EXPECT_EQ(typeOf(L"TvGuide"), static_cast<DWORD>(REG_SZ));

    const auto reloaded = loaded();
    EXPECT_EQ(reloaded, preferences);
    EXPECT_FALSE(reloaded.notConfigured);
    EXPECT_TRUE(reloaded.useCustomPlaylist());
}

TEST_F(RegistryPreferences, EmptyLocationFindsThePlayerUnderProgramFiles)
{
    const auto installed = platform::shellFolderPath(platform::ShellFolder::programFiles) /
                           "Kelvo Player" / "KelvoPlayer.exe";
    if (std::filesystem::exists(installed.parent_path())) {
        GTEST_SKIP() << "a player is installed in this prefix";
    }
    std::filesystem::create_directories(installed.parent_path());
    std::ofstream(installed).put('\n');
    storeText(L"PlayerLocation", L"");
    const auto preferences = loaded();
    std::filesystem::remove_all(installed.parent_path());

    EXPECT_EQ(preferences.playerLocation, installed.wstring());
    EXPECT_EQ(preferences.getPlayerFolder(), installed.parent_path().wstring());
    // Found in memory only, until the next save.
    EXPECT_EQ(profile.getProfileString(general, L"PlayerLocation", L"?"), L"");
}

} // namespace
