#include "common/TextConversion.hpp"

#include <climits>

#include <windows.h>

namespace {

// Both directions first ask for the converted length of exactly the input, without a
// terminator, then convert into a buffer of that size; any failure gives empty text.
bool fitsInt(std::size_t size)
{
    return size <= static_cast<std::size_t>(INT_MAX);
}

} // namespace

std::string toNarrow(std::wstring_view text)
{
    if (text.empty() || !fitsInt(text.size())) {
        return {};
    }
    const int inputLength = static_cast<int>(text.size());
    const int length =
        WideCharToMultiByte(CP_UTF8, 0, text.data(), inputLength, nullptr, 0, nullptr, nullptr);
    if (length <= 0) {
        return {};
    }
    std::string result(static_cast<std::size_t>(length), '\0');
    if (WideCharToMultiByte(CP_UTF8, 0, text.data(), inputLength, result.data(), length, nullptr,
                            nullptr) != length) {
        return {};
    }
    return result;
}

std::wstring toWide(std::string_view text)
{
    if (text.empty() || !fitsInt(text.size())) {
        return {};
    }
    const int inputLength = static_cast<int>(text.size());
    const int length = MultiByteToWideChar(CP_ACP, 0, text.data(), inputLength, nullptr, 0);
    if (length <= 0) {
        return {};
    }
    std::wstring result(static_cast<std::size_t>(length), L'\0');
    if (MultiByteToWideChar(CP_ACP, 0, text.data(), inputLength, result.data(), length) != length) {
        return {};
    }
    return result;
}
