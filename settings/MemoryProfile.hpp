#pragma once

#include "settings/IProfile.hpp"

#include <map>
#include <variant>

// A profile kept in memory, for the native build and for tests. Like the registry,
// a value holds either text or a number, and reading it as the other kind fails.
class MemoryProfile : public IProfile {
public:
    using Value = std::variant<std::wstring, int>;

    std::wstring getProfileString(std::wstring_view section, std::wstring_view entry,
                                  std::wstring_view defaultValue) const override;
    int getProfileInt(std::wstring_view section, std::wstring_view entry,
                      int defaultValue) const override;
    void writeProfileString(std::wstring_view section, std::wstring_view entry,
                            std::wstring_view value) override;
    void writeProfileInt(std::wstring_view section, std::wstring_view entry, int value) override;

    const Value* find(std::wstring_view section, std::wstring_view entry) const;
    void erase(std::wstring_view section, std::wstring_view entry);

private:
    std::map<std::pair<std::wstring, std::wstring>, Value, std::less<>> values;
};
