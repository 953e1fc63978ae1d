#include "settings/StartupShortcut.hpp"

#include "common/Product.hpp"
#include "platform/win32/UniqueHandle.hpp"

#include <filesystem>
#include <fstream>

#include <gtest/gtest.h>

#include <windows.h>

#include <objidl.h>
#include <shlobj.h>

namespace {

namespace fs = std::filesystem;

const std::wstring linkName = std::wstring(productName) + L".lnk";

// Two stand-in Startup folders in a fresh temporary folder, so that the tests never
// touch the real ones.
class StartupShortcutTest : public testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(SUCCEEDED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED)));
        root = fs::temp_directory_path() /
               (L"kelvo-autostart-" + std::to_wstring(GetCurrentProcessId()) + L"-" +
                std::to_wstring(GetTickCount64()));
        fs::create_directories(root / L"common");
        fs::create_directories(root / L"user");
        shortcuts.allUsers = {executable(), (root / L"common" / linkName).wstring(),
                              std::wstring(productName)};
        shortcuts.perUser = {executable(), (root / L"user" / linkName).wstring(),
                             std::wstring(productName)};
    }

    void TearDown() override
    {
        std::error_code ignored;
        fs::remove_all(root, ignored);
        CoUninitialize();
    }

    static std::wstring executable()
    {
        wchar_t buffer[MAX_PATH] = {};
        return {buffer, GetModuleFileNameW(nullptr, buffer, MAX_PATH)};
    }

    static void placeFile(const std::wstring& path) { std::ofstream(fs::path(path)) << "x"; }

    static bool exists(const std::wstring& path) { return fs::exists(fs::path(path)); }

    fs::path root;
    AutostartShortcuts shortcuts;
};

TEST_F(StartupShortcutTest, PathsNameTheProgramInBothStartupFolders)
{
    const auto shortcutsOfProgram = getAutostartShortcuts(executable());
    const auto expect = [](const StartupShortcut& shortcut, platform::ShellFolder folder) {
        EXPECT_EQ(shortcut.linkPath,
                  platform::shellFolderPath(folder).wstring() + L"\\" + linkName);
        EXPECT_EQ(shortcut.linkPath, getStartupShortcutPath(folder));
        EXPECT_EQ(shortcut.target, executable());
        EXPECT_EQ(shortcut.description, productName);
    };
    expect(shortcutsOfProgram.allUsers, platform::ShellFolder::commonStartup);
    expect(shortcutsOfProgram.perUser, platform::ShellFolder::startup);
    EXPECT_NE(shortcutsOfProgram.allUsers.linkPath, shortcutsOfProgram.perUser.linkPath);
}

TEST_F(StartupShortcutTest, AnythingWithTheShortcutsNameCountsAsPresent)
{
    EXPECT_FALSE(getAutostartState(shortcuts));

    placeFile(shortcuts.perUser.linkPath);
    EXPECT_TRUE(getAutostartState(shortcuts));
    fs::remove(shortcuts.perUser.linkPath);

    fs::create_directory(shortcuts.allUsers.linkPath);
    EXPECT_TRUE(getAutostartState(shortcuts));
    fs::remove(shortcuts.allUsers.linkPath);

    fs::create_directory(shortcuts.perUser.linkPath);
    EXPECT_TRUE(getAutostartState(shortcuts));
}

TEST_F(StartupShortcutTest, CreatedShortcutStartsTheTargetWithoutArguments)
{
    ASSERT_TRUE(createShortcut(shortcuts.allUsers));

    platform::ComPtr<IShellLinkW> link;
    ASSERT_TRUE(SUCCEEDED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER,
                                           IID_IShellLinkW, link.put())));
    platform::ComPtr<IPersistFile> file;
    ASSERT_TRUE(SUCCEEDED(link->QueryInterface(IID_IPersistFile, file.put())));
    ASSERT_TRUE(SUCCEEDED(file->Load(shortcuts.allUsers.linkPath.c_str(), STGM_READ)));

    wchar_t text[MAX_PATH] = {};
    ASSERT_TRUE(SUCCEEDED(link->GetPath(text, MAX_PATH, nullptr, 0)));
    EXPECT_TRUE(fs::equivalent(fs::path(text), fs::path(executable())));
    ASSERT_TRUE(SUCCEEDED(link->GetDescription(text, MAX_PATH)));
    EXPECT_EQ(std::wstring(text), productName);
    ASSERT_TRUE(SUCCEEDED(link->GetArguments(text, MAX_PATH)));
    EXPECT_EQ(std::wstring(text), L"");
}

TEST_F(StartupShortcutTest, CheckingCreatesOnlyTheAllUsersShortcutWhenItCan)
{
    applyAutostart(shortcuts, true);
    EXPECT_TRUE(exists(shortcuts.allUsers.linkPath));
    EXPECT_FALSE(exists(shortcuts.perUser.linkPath));
}

TEST_F(StartupShortcutTest, CheckingFallsBackToThePerUserShortcut)
{
    // A folder that cannot be written to, like the shared Startup folder for a user
    // without rights: here it simply does not exist.
    shortcuts.allUsers.linkPath = (root / L"missing" / linkName).wstring();
    applyAutostart(shortcuts, true);
    EXPECT_FALSE(exists(shortcuts.allUsers.linkPath));
    EXPECT_TRUE(exists(shortcuts.perUser.linkPath));
    EXPECT_TRUE(getAutostartState(shortcuts));
}

TEST_F(StartupShortcutTest, CreationFailsWhereNoFileCanBeSaved)
{
    fs::create_directory(shortcuts.allUsers.linkPath);
    EXPECT_FALSE(createShortcut(shortcuts.allUsers));
    shortcuts.perUser.linkPath.clear();
    EXPECT_FALSE(createShortcut(shortcuts.perUser));
}

TEST_F(StartupShortcutTest, UncheckingDeletesBothShortcutsOrWhicheverExists)
{
    placeFile(shortcuts.allUsers.linkPath);
    placeFile(shortcuts.perUser.linkPath);
    applyAutostart(shortcuts, false);
    EXPECT_FALSE(exists(shortcuts.allUsers.linkPath));
    EXPECT_FALSE(exists(shortcuts.perUser.linkPath));
    EXPECT_FALSE(getAutostartState(shortcuts));

    placeFile(shortcuts.perUser.linkPath);
    applyAutostart(shortcuts, false);
    EXPECT_FALSE(exists(shortcuts.perUser.linkPath));
}

} // namespace
