#include "common/TextConversion.hpp"

#include <optional>

// wchar_t holds one Unicode code point here, and the narrow encoding is UTF-8.
namespace {

constexpr char32_t maxCodePoint = 0x10FFFF;

bool isSurrogate(char32_t c)
{
    return c >= 0xD800 && c <= 0xDFFF;
}

void appendUtf8(std::string& out, char32_t c)
{
    if (c < 0x80) {
        out += static_cast<char>(c);
    } else if (c < 0x800) {
        out += static_cast<char>(0xC0 | (c >> 6));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else if (c < 0x10000) {
        out += static_cast<char>(0xE0 | (c >> 12));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (c >> 18));
        out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    }
}

// Decodes one UTF-8 sequence at `pos`, rejecting overlong forms and surrogates.
std::optional<char32_t> decodeUtf8(std::string_view text, std::size_t& pos)
{
    const auto lead = static_cast<unsigned char>(text[pos++]);
    if (lead < 0x80) {
        return lead;
    }
    int continuation = 0;
    char32_t c = 0;
    char32_t minimum = 0;
    if ((lead & 0xE0) == 0xC0) {
        continuation = 1, c = lead & 0x1F, minimum = 0x80;
    } else if ((lead & 0xF0) == 0xE0) {
        continuation = 2, c = lead & 0x0F, minimum = 0x800;
    } else if ((lead & 0xF8) == 0xF0) {
        continuation = 3, c = lead & 0x07, minimum = 0x10000;
    } else {
        return std::nullopt;
    }
    for (; continuation > 0; --continuation) {
        if (pos >= text.size()) {
            return std::nullopt;
        }
        const auto byte = static_cast<unsigned char>(text[pos++]);
        if ((byte & 0xC0) != 0x80) {
            return std::nullopt;
        }
        c = (c << 6) | (byte & 0x3F);
    }
    if (c < minimum || c > maxCodePoint || isSurrogate(c)) {
        return std::nullopt;
    }
    return c;
}

} // namespace

std::string toNarrow(std::wstring_view text)
{
    std::string result;
    result.reserve(text.size());
    for (const wchar_t w : text) {
        const auto c = static_cast<char32_t>(w);
        if (c > maxCodePoint || isSurrogate(c)) {
            return {};
        }
        appendUtf8(result, c);
    }
    return result;
}

std::wstring toWide(std::string_view text)
{
    std::wstring result;
    result.reserve(text.size());
    for (std::size_t pos = 0; pos < text.size();) {
        const auto c = decodeUtf8(text, pos);
        if (!c) {
            return {};
        }
        result += static_cast<wchar_t>(*c);
    }
    return result;
}
