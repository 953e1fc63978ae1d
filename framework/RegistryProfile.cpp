#include "framework/RegistryProfile.hpp"

#include <vector>

namespace framework {
RegistryProfile::RegistryProfile(std::wstring registryKey, std::wstring applicationName)
    : registryKey(std::move(registryKey))
    , applicationName(std::move(applicationName))
{}

std::wstring RegistryProfile::sectionPath(std::wstring_view section) const
{
    std::wstring path = L"Software\\";
    path += registryKey;
    path += L'\\';
    path += applicationName;
    path += L'\\';
    path += section;
    return path;
}

platform::UniqueHkey RegistryProfile::openSection(std::wstring_view section) const
{
    platform::UniqueHkey key;
    if (RegCreateKeyExW(HKEY_CURRENT_USER, sectionPath(section).c_str(), 0, nullptr,
                        REG_OPTION_NON_VOLATILE, KEY_READ | KEY_WRITE, nullptr, key.put(),
                        nullptr) != ERROR_SUCCESS) {
        key.release();
    }
    return key;
}

std::wstring RegistryProfile::getProfileString(std::wstring_view section, std::wstring_view entry,
                                               std::wstring_view defaultValue) const
{
    const auto key = openSection(section);
    const auto name = std::wstring(entry);
    DWORD type = 0;
    DWORD size = 0;
    if (!key ||
        RegQueryValueExW(key.get(), name.c_str(), nullptr, &type, nullptr, &size) !=
            ERROR_SUCCESS ||
        type != REG_SZ) {
        return std::wstring(defaultValue);
    }
    // One spare character: a stored string need not carry its terminator.
    std::vector<wchar_t> buffer(size / sizeof(wchar_t) + 1, L'\0');
    DWORD bytes = size;
    if (RegQueryValueExW(key.get(), name.c_str(), nullptr, &type,
                         reinterpret_cast<BYTE*>(buffer.data()), &bytes) != ERROR_SUCCESS ||
        type != REG_SZ) {
        return std::wstring(defaultValue);
    }
    return std::wstring(buffer.data());
}

int RegistryProfile::getProfileInt(std::wstring_view section, std::wstring_view entry,
                                   int defaultValue) const
{
    const auto key = openSection(section);
    DWORD type = 0;
    DWORD value = 0;
    DWORD size = sizeof(value);
    if (!key ||
        RegQueryValueExW(key.get(), std::wstring(entry).c_str(), nullptr, &type,
                         reinterpret_cast<BYTE*>(&value), &size) != ERROR_SUCCESS ||
        type != REG_DWORD || size != sizeof(value)) {
        return defaultValue;
    }
    return static_cast<int>(value);
}

void RegistryProfile::writeProfileString(std::wstring_view section, std::wstring_view entry,
                                         std::wstring_view value)
{
    const auto key = openSection(section);
    if (!key) {
        return;
    }
    const std::wstring text(value);
    const auto bytes = static_cast<DWORD>((text.size() + 1) * sizeof(wchar_t));
    RegSetValueExW(key.get(), std::wstring(entry).c_str(), 0, REG_SZ,
                   reinterpret_cast<const BYTE*>(text.c_str()), bytes);
}

void RegistryProfile::writeProfileInt(std::wstring_view section, std::wstring_view entry, int value)
{
    const auto key = openSection(section);
    if (!key) {
        return;
    }
    const auto number = static_cast<DWORD>(value);
    RegSetValueExW(key.get(), std::wstring(entry).c_str(), 0, REG_DWORD,
                   reinterpret_cast<const BYTE*>(&number), sizeof(number));
}

} // namespace framework
