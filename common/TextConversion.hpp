#pragma once

#include <string>
#include <string_view>

// Wide text to the bytes the HTTP side writes. Always UTF-8: every document the
// server sends declares that encoding. Empty when the text cannot be converted.
std::string toNarrow(std::wstring_view text);

// Narrow text from the platform's own narrow encoding (the ANSI code page on
// Windows, where exception texts come from; UTF-8 elsewhere) to wide text.
// Empty when the text cannot be converted.
std::wstring toWide(std::string_view text);
