#include "settings/StartupShortcut.hpp"

#include "common/Product.hpp"
#include "platform/win32/UniqueHandle.hpp"

#include <windows.h>

#include <objidl.h>
#include <shlobj.h>

namespace {

constexpr std::wstring_view shortcutExtension = L".lnk";

StartupShortcut startupShortcut(const std::wstring& target, platform::ShellFolder folder)
{
    return {target, getStartupShortcutPath(folder), std::wstring(productName)};
}

bool pathTaken(const std::wstring& path)
{
    return GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

} // namespace

std::wstring getStartupShortcutPath(platform::ShellFolder folder)
{
    const auto folderPath = platform::shellFolderPath(folder);
    if (folderPath.empty()) {
        return {};
    }
    return folderPath.wstring() + L"\\" + std::wstring(productName) +
           std::wstring(shortcutExtension);
}

AutostartShortcuts getAutostartShortcuts(const std::wstring& target)
{
    return {startupShortcut(target, platform::ShellFolder::commonStartup),
            startupShortcut(target, platform::ShellFolder::startup)};
}

bool getAutostartState(const AutostartShortcuts& shortcuts)
{
    return pathTaken(shortcuts.allUsers.linkPath) || pathTaken(shortcuts.perUser.linkPath);
}

bool createShortcut(const StartupShortcut& shortcut)
{
    platform::ComPtr<IShellLinkW> link;
    if (FAILED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkW,
                                link.put()))) {
        return false;
    }
    link->SetPath(shortcut.target.c_str());
    link->SetDescription(shortcut.description.c_str());
    platform::ComPtr<IPersistFile> file;
    if (FAILED(link->QueryInterface(IID_IPersistFile, file.put()))) {
        return false;
    }
    return SUCCEEDED(file->Save(shortcut.linkPath.c_str(), TRUE));
}

void applyAutostart(const AutostartShortcuts& shortcuts, bool checked)
{
    if (checked) {
        if (!createShortcut(shortcuts.allUsers)) {
            createShortcut(shortcuts.perUser);
        }
        return;
    }
    DeleteFileW(shortcuts.allUsers.linkPath.c_str());
    DeleteFileW(shortcuts.perUser.linkPath.c_str());
}
