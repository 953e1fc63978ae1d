#include "settings/MemoryProfile.hpp"

namespace {

auto keyOf(std::wstring_view section, std::wstring_view entry)
{
    return std::pair{std::wstring(section), std::wstring(entry)};
}

} // namespace

const MemoryProfile::Value* MemoryProfile::find(std::wstring_view section,
                                                std::wstring_view entry) const
{
    const auto found = values.find(keyOf(section, entry));
    return found == values.end() ? nullptr : &found->second;
}

void MemoryProfile::erase(std::wstring_view section, std::wstring_view entry)
{
    values.erase(keyOf(section, entry));
}

std::wstring MemoryProfile::getProfileString(std::wstring_view section, std::wstring_view entry,
                                             std::wstring_view defaultValue) const
{
    const auto* value = find(section, entry);
    const auto* text = value ? std::get_if<std::wstring>(value) : nullptr;
    return text ? *text : std::wstring(defaultValue);
}

int MemoryProfile::getProfileInt(std::wstring_view section, std::wstring_view entry,
                                 int defaultValue) const
{
    const auto* value = find(section, entry);
    const auto* number = value ? std::get_if<int>(value) : nullptr;
    return number ? *number : defaultValue;
}

void MemoryProfile::writeProfileString(std::wstring_view section, std::wstring_view entry,
                                       std::wstring_view value)
{
    values[keyOf(section, entry)] = std::wstring(value);
}

void MemoryProfile::writeProfileInt(std::wstring_view section, std::wstring_view entry, int value)
{
    values[keyOf(section, entry)] = value;
}
