#pragma once

#include "platform/win32/UniqueHandle.hpp"
#include "settings/IProfile.hpp"

namespace framework {

// The application profile in the current user's registry, under
// HKEY_CURRENT_USER\Software\<registry key>\<application name>\<section>.
// Opening a section creates every missing key of that path, for reading too.
class RegistryProfile : public IProfile {
public:
    RegistryProfile(std::wstring registryKey, std::wstring applicationName);

    std::wstring getProfileString(std::wstring_view section, std::wstring_view entry,
                                  std::wstring_view defaultValue) const override;
    int getProfileInt(std::wstring_view section, std::wstring_view entry,
                      int defaultValue) const override;
    void writeProfileString(std::wstring_view section, std::wstring_view entry,
                            std::wstring_view value) override;
    void writeProfileInt(std::wstring_view section, std::wstring_view entry, int value) override;

    // The section's key path below HKEY_CURRENT_USER.
    std::wstring sectionPath(std::wstring_view section) const;

private:
    platform::UniqueHkey openSection(std::wstring_view section) const;

    std::wstring registryKey;
    std::wstring applicationName;
};

} // namespace framework
