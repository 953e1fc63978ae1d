#include "platform/IniFile.hpp"

#include "common/TextConversion.hpp"

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <optional>
#include <string_view>
#include <vector>

// Reads INI files the way the Windows call does, as observed for these cases: lines end at
// any run of CR and LF; blanks around lines, section names, key names and values are
// dropped; a line that starts with "[" and holds a "]" opens a section named by the text up
// to the last "]"; any other line is a key, with its value after the first "=". Only the
// first section of a name is searched, and only the first key of a name in it counts. A
// UTF-8 or UTF-16 byte-order mark selects that encoding; other files are read in the
// platform's narrow encoding, UTF-8, where Windows uses its ANSI code page.
namespace platform {
namespace {

static_assert(sizeof(wchar_t) == 4, "the portable build holds one code point per wchar_t");

constexpr char32_t replacementCharacter = 0xFFFD;

// Tab to carriage return, space, and Ctrl-Z, the old end-of-file mark.
bool isBlank(wchar_t c)
{
    return (c >= 0x09 && c <= 0x0D) || c == 0x1A || c == 0x20;
}

bool isLineEnd(wchar_t c)
{
    return c == L'\r' || c == L'\n';
}

std::wstring_view trimmed(std::wstring_view text)
{
    while (!text.empty() && isBlank(text.front())) {
        text.remove_prefix(1);
    }
    while (!text.empty() && isBlank(text.back())) {
        text.remove_suffix(1);
    }
    return text;
}

// Names and values are C strings there, so a NUL ends them.
std::wstring_view untilNul(std::wstring_view text)
{
    return text.substr(0, text.find(L'\0'));
}

wchar_t lowerAscii(wchar_t c)
{
    return c >= L'A' && c <= L'Z' ? static_cast<wchar_t>(c - L'A' + L'a') : c;
}

bool equalIgnoringCase(std::wstring_view left, std::wstring_view right)
{
    if (left.size() != right.size()) {
        return false;
    }
    for (std::size_t i = 0; i < left.size(); ++i) {
        if (lowerAscii(left[i]) != lowerAscii(right[i])) {
            return false;
        }
    }
    return true;
}

std::optional<std::string> readBytes(const std::wstring& file)
{
    std::ifstream stream(std::filesystem::path(file), std::ios::binary);
    if (!stream) {
        return std::nullopt;
    }
    std::string bytes((std::istreambuf_iterator<char>(stream)), std::istreambuf_iterator<char>());
    return bytes;
}

std::wstring decodeUtf16(std::string_view bytes, bool bigEndian)
{
    std::vector<char16_t> units;
    for (std::size_t i = 0; i + 1 < bytes.size(); i += 2) {
        const auto first = static_cast<unsigned char>(bytes[i]);
        const auto second = static_cast<unsigned char>(bytes[i + 1]);
        units.push_back(
            static_cast<char16_t>(bigEndian ? first << 8 | second : second << 8 | first));
    }
    std::wstring text;
    for (std::size_t i = 0; i < units.size(); ++i) {
        const char32_t unit = units[i];
        const bool high = unit >= 0xD800 && unit <= 0xDBFF;
        const bool low = unit >= 0xDC00 && unit <= 0xDFFF;
        if (high && i + 1 < units.size() && units[i + 1] >= 0xDC00 && units[i + 1] <= 0xDFFF) {
            text += static_cast<wchar_t>(0x10000 + ((unit - 0xD800) << 10) + (units[++i] - 0xDC00));
        } else {
            text += static_cast<wchar_t>(high || low ? replacementCharacter : unit);
        }
    }
    return text;
}

// Line by line, so that bytes that are not UTF-8 cost only their own line.
std::wstring decodeUtf8(std::string_view bytes)
{
    std::wstring text;
    while (!bytes.empty()) {
        const auto end = std::min(bytes.find_first_of("\r\n"), bytes.size());
        text += toWide(bytes.substr(0, end));
        text += L'\n';
        bytes.remove_prefix(std::min(end + 1, bytes.size()));
    }
    return text;
}

std::wstring decodeText(std::string_view bytes)
{
    constexpr std::string_view utf8Mark = "\xEF\xBB\xBF";
    constexpr std::string_view utf16LittleEndianMark = "\xFF\xFE";
    constexpr std::string_view utf16BigEndianMark = "\xFE\xFF";
    if (bytes.starts_with(utf8Mark)) {
        return decodeUtf8(bytes.substr(utf8Mark.size()));
    }
    if (bytes.starts_with(utf16LittleEndianMark)) {
        return decodeUtf16(bytes.substr(utf16LittleEndianMark.size()), false);
    }
    if (bytes.starts_with(utf16BigEndianMark)) {
        return decodeUtf16(bytes.substr(utf16BigEndianMark.size()), true);
    }
    return decodeUtf8(bytes);
}

std::vector<std::wstring_view> linesOf(std::wstring_view text)
{
    std::vector<std::wstring_view> lines;
    std::size_t start = 0;
    while (start < text.size()) {
        auto end = start;
        while (end < text.size() && !isLineEnd(text[end])) {
            ++end;
        }
        lines.push_back(text.substr(start, end - start));
        while (end < text.size() && isLineEnd(text[end])) {
            ++end;
        }
        start = end;
    }
    return lines;
}

// The section a trimmed line opens, if it is a section line.
std::optional<std::wstring_view> sectionOpenedBy(std::wstring_view line)
{
    const auto close = line.rfind(L']');
    if (!line.starts_with(L'[') || close == std::wstring_view::npos || close == 0) {
        return std::nullopt;
    }
    return trimmed(line.substr(1, close - 1));
}

struct Entry {
    std::wstring_view name;
    std::optional<std::wstring_view> value;
};

Entry entryOf(std::wstring_view line)
{
    const auto equals = line.find(L'=');
    if (equals == std::wstring_view::npos) {
        return {line, std::nullopt};
    }
    return {trimmed(line.substr(0, equals)), trimmed(line.substr(equals + 1))};
}

std::optional<std::wstring_view> findValue(std::wstring_view text, std::wstring_view section,
                                           std::wstring_view key)
{
    bool inSection = false;
    for (const auto line : linesOf(text)) {
        const auto content = trimmed(line);
        if (content.empty()) {
            continue;
        }
        if (const auto opened = sectionOpenedBy(content)) {
            if (inSection) {
                return std::nullopt;
            }
            inSection = equalIgnoringCase(untilNul(*opened), section);
            continue;
        }
        if (inSection) {
            const auto entry = entryOf(content);
            if (equalIgnoringCase(untilNul(entry.name), key)) {
                return entry.value;
            }
        }
    }
    return std::nullopt;
}

// What the buffer receives: one pair of enclosing quotes is removed, and the text is cut
// to fit. The closing quote is dropped only when it fit into the buffer, so a quoted value
// exactly one character too long loses its last character as well.
std::wstring asReturned(std::wstring_view value)
{
    value = untilNul(value);
    const bool quoted = value.size() >= 2 && (value.front() == L'"' || value.front() == L'\'') &&
                        value.back() == value.front();
    if (quoted) {
        value.remove_prefix(1);
    }
    std::wstring result(value.substr(0, iniValueCapacity - 1));
    if (quoted && value.size() <= iniValueCapacity) {
        result.pop_back();
    }
    return result;
}

} // namespace

std::wstring readIniString(const std::wstring& file, const std::wstring& section,
                           const std::wstring& key, const std::wstring& defaultValue)
{
    const auto bytes = readBytes(file);
    const auto text = bytes ? decodeText(*bytes) : std::wstring();
    if (const auto value = findValue(text, trimmed(section), trimmed(key))) {
        return asReturned(*value);
    }
    // The system call also drops trailing spaces and quotes of some defaults; the program
    // passes only the empty one.
    return defaultValue.substr(0, iniValueCapacity - 1);
}

} // namespace platform
