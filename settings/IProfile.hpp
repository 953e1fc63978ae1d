#pragma once

#include <string>
#include <string_view>

// The application's settings store, one section of named values. Reads give the
// default when a value is absent or unreadable; writes report nothing.
class IProfile {
public:
    virtual ~IProfile() = default;

    virtual std::wstring getProfileString(std::wstring_view section, std::wstring_view entry,
                                          std::wstring_view defaultValue) const = 0;
    virtual int getProfileInt(std::wstring_view section, std::wstring_view entry,
                              int defaultValue) const = 0;
    virtual void writeProfileString(std::wstring_view section, std::wstring_view entry,
                                    std::wstring_view value) = 0;
    virtual void writeProfileInt(std::wstring_view section, std::wstring_view entry, int value) = 0;
};
