#include "http/PlayerSettingsSource.hpp"

#include "tests/http/PlayerFolder.hpp"

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include <gtest/gtest.h>

namespace http {
namespace {

using namespace std::string_literals;

std::string letters(std::size_t count)
{
    std::string text;
    for (std::size_t i = 0; i < count; ++i) {
        text += static_cast<char>('a' + i % 26);
    }
    return text;
}

std::wstring wideLetters(std::size_t count)
{
    const auto text = letters(count);
    return std::wstring(text.begin(), text.end());
}

// The text with its byte-order mark, in UTF-16 of the given byte order.
std::string utf16File(std::u16string_view text, bool bigEndian)
{
    std::string bytes;
    for (const char16_t unit : u"\uFEFF" + std::u16string(text)) {
        const auto high = static_cast<char>(unit >> 8);
        const auto low = static_cast<char>(unit & 0xFF);
        bytes += bigEndian ? high : low;
        bytes += bigEndian ? low : high;
    }
    return bytes;
}

struct IniCase {
    const char* name;
    std::string bytes;
    std::wstring key;
    std::wstring expected;
};

// How the player's settings file is read, one case per row. The expectations were taken
// from the Windows call under Wine; the Windows build checks them against that call and
// the native build against the reader of its own.
const std::vector<IniCase> iniCases = {
    {"CR LF line ends", "[Settings]\r\nurl-m3u=http://x/a.m3u\r\n", L"url-m3u", L"http://x/a.m3u"},
    {"LF line ends", "[Settings]\nurl-m3u=http://x/a.m3u\n", L"url-m3u", L"http://x/a.m3u"},
    {"CR line ends", "[Settings]\rurl-m3u=a\rurl-tvg=t\r", L"url-tvg", L"t"},
    {"blank lines and mixed ends", "\r\n\n\r[Settings]\r\r\n\n\rurl-tvg=t\n\r", L"url-tvg", L"t"},
    {"no line end at the end", "[Settings]\r\nurl-m3u=abc", L"url-m3u", L"abc"},
    {"blanks around the equals sign", "[Settings]\r\nurl-m3u \t= \thttp://x \t\r\n", L"url-m3u",
     L"http://x"},
    {"blanks before the key", "[Settings]\r\n  \turl-tvg=t\r\n", L"url-tvg", L"t"},
    {"Ctrl-Z and other control blanks", "[Settings]\r\nurl-tvg=\x1a\v\ft\x1a\v\f\r\n", L"url-tvg",
     L"t"},
    {"blanks inside the value kept", "[Settings]\r\nurl-tvg=  a  b  \r\n", L"url-tvg", L"a  b"},
    {"double quotes removed", "[Settings]\r\nurl-m3u=\"C:\\My Lists\\a.m3u\"\r\n", L"url-m3u",
     L"C:\\My Lists\\a.m3u"},
    {"single quotes removed", "[Settings]\r\nurl-m3u='http://x'\r\n", L"url-m3u", L"http://x"},
    {"blanks inside quotes kept", "[Settings]\r\nurl-m3u = \" v \" \r\n", L"url-m3u", L" v "},
    {"mismatched quotes kept", "[Settings]\r\nurl-m3u=\"v'\r\n", L"url-m3u", L"\"v'"},
    {"opening quote alone kept", "[Settings]\r\nurl-m3u=\"v\r\n", L"url-m3u", L"\"v"},
    {"lone quote kept", "[Settings]\r\nurl-m3u=\"\r\n", L"url-m3u", L"\""},
    {"two quotes give empty", "[Settings]\r\nurl-m3u=\"\"\r\n", L"url-m3u", L""},
    {"text after the closing quote", "[Settings]\r\nurl-m3u=\"a\" b\r\n", L"url-m3u", L"\"a\" b"},
    {"letter case of section and key", "[sEtTiNgS]\r\nURL-M3U=v\r\nM3UAUTOLOAD=1\r\n",
     L"m3uautoload", L"1"},
    {"blanks inside the brackets", "[ Settings ]\r\nurl-m3u=v\r\n", L"url-m3u", L"v"},
    {"text after the section's bracket", "  [Settings] notes\r\nurl-m3u=v\r\n", L"url-m3u", L"v"},
    {"unclosed bracket is a key line", "[Settings]\r\n[Other\r\nurl-m3u=v\r\n", L"url-m3u", L"v"},
    {"first of duplicate keys", "[Settings]\r\nurl-m3u=first\r\nurl-m3u=second\r\n", L"url-m3u",
     L"first"},
    {"only the first section of a name", "[Settings]\r\na=1\r\n[Settings]\r\nurl-m3u=v\r\n",
     L"url-m3u", L""},
    {"key without equals sign hides later ones", "[Settings]\r\nurl-m3u\r\nurl-m3u=v\r\n",
     L"url-m3u", L""},
    {"missing section", "[Other]\r\nurl-m3u=v\r\n", L"url-m3u", L""},
    {"key in another section only", "[Other]\r\nurl-m3u=o\r\n[Settings]\r\na=1\r\n", L"url-m3u",
     L""},
    {"key before any section", "url-m3u=v\r\n[Settings]\r\n", L"url-m3u", L""},
    {"empty value", "[Settings]\r\nurl-m3u=   \r\n", L"url-m3u", L""},
    {"equals sign and semicolon in the value", "[Settings]\r\nurl-m3u=http://x/?a=1&b=2;c\r\n",
     L"url-m3u", L"http://x/?a=1&b=2;c"},
    {"comment line", "[Settings]\r\n;url-m3u=c\r\n", L"url-m3u", L""},
    {"value cut at a NUL", "[Settings]\r\nurl-m3u=a\0b\r\n"s, L"url-m3u", L"a"},
    {"value of 1023 characters", "[Settings]\r\nurl-m3u=" + letters(1023) + "\r\n", L"url-m3u",
     wideLetters(1023)},
    {"longer value cut to 1023", "[Settings]\r\nurl-m3u=" + letters(1500) + "\r\n", L"url-m3u",
     wideLetters(1023)},
    {"quoted value of 1023 loses its last character",
     "[Settings]\r\nurl-m3u=\"" + letters(1023) + "\"\r\n", L"url-m3u", wideLetters(1022)},
    {"UTF-8 file with byte-order mark",
     "\xEF\xBB\xBF[Settings]\r\nurl-m3u=C:\\\xD0\x9A\xD0\xB0\xD0\xBD\xD0\xB0\xD0\xBB\xD1\x8B."
     "m3u\r\n",
     L"url-m3u", L"C:\\\u041a\u0430\u043d\u0430\u043b\u044b.m3u"},
    {"UTF-16 little-endian file", utf16File(u"[Settings]\r\nurl-tvg=\u041a\r\n", false), L"url-tvg",
     L"\u041a"},
    {"UTF-16 big-endian file", utf16File(u"[Settings]\r\nurl-tvg=\u041a\r\n", true), L"url-tvg",
     L"\u041a"},
    {"empty file", "", L"url-m3u", L""},
};

TEST(ReadPlayerSetting, ReadsLikeTheWindowsCall)
{
    PlayerFolder folder;
    int number = 0;
    for (const auto& c : iniCases) {
        SCOPED_TRACE(c.name);
        const auto file = folder.write(L"case" + std::to_wstring(++number) + L".ini", c.bytes);
        EXPECT_EQ(readPlayerSetting(file, L"Settings", c.key, L""), c.expected);
    }
}

TEST(ReadPlayerSetting, MissingFileGivesTheDefault)
{
    PlayerFolder folder;
    EXPECT_EQ(readPlayerSetting(folder.pathOf(L"none.ini"), L"Settings", L"url-m3u", L"fallback"),
              L"fallback");
    EXPECT_EQ(readPlayerSetting(folder.pathOf(L"none.ini"), L"Settings", L"url-m3u", L""), L"");
}

// What the player's channel-list source resolves to.
enum class Resolved { address, localFile, empty };

struct PlaylistCase {
    const char* name;
    std::optional<std::string> autoload;
    std::string address;
    bool localFileExists;
    Resolved expected;
};

TEST(PlayerPlaylistSource, AutoloadAddressOrLocalFile)
{
    const std::string web = "http://host/list.m3u?a=1&b=2";
    const std::string missing = "C:\\nowhere\\list.m3u";
    const std::vector<PlaylistCase> cases = {
        {"autoload web address wins over the local file", "1", web, true, Resolved::address},
        {"autoload https address", "1", "https://host/list.m3u", true, Resolved::address},
        {"autoload empty address falls back", "1", "", true, Resolved::localFile},
        {"autoload missing path falls back", "1", missing, true, Resolved::localFile},
        {"autoload missing path without local file", "1", missing, false, Resolved::address},
        {"no autoload: local file wins over a web address", std::nullopt, web, true,
         Resolved::localFile},
        {"empty autoload", "", web, true, Resolved::localFile},
        {"autoload 0", "0", web, true, Resolved::localFile},
        {"autoload other than exactly 1", "01", web, true, Resolved::localFile},
        {"capital scheme is no web address", "1", "HTTP://HOST/LIST.M3U", true,
         Resolved::localFile},
        {"capital scheme used unchanged without local file", "1", "HTTP://HOST/LIST.M3U", false,
         Resolved::address},
        {"web address without autoload or local file", std::nullopt, web, false, Resolved::address},
        {"nothing at all", std::nullopt, "", false, Resolved::empty},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        PlayerFolder folder;
        std::string ini = "[Settings]\r\nurl-m3u=" + c.address + "\r\n";
        if (c.autoload) {
            ini += "m3uautoload=" + *c.autoload + "\r\n";
        }
        const auto settings = folder.write(L"KelvoPlayer.User.ini", ini);
        if (c.localFileExists) {
            folder.write(L"KelvoPlayer.m3u", "#EXTM3U\n");
        }
        const std::wstring address(c.address.begin(), c.address.end());
        const std::wstring expected = c.expected == Resolved::address ? address
                                      : c.expected == Resolved::localFile
                                          ? folder.pathOf(L"KelvoPlayer.m3u")
                                          : L"";
        EXPECT_EQ(playerPlaylistSource(settings, folder.preferences), expected);
        EXPECT_EQ(effectivePlaylist(folder.preferences), expected);
    }
}

TEST(PlayerPlaylistSource, ExistingPathInTheAddressIsUsable)
{
    PlayerFolder folder;
    const auto list = folder.write(L"other.m3u", "#EXTM3U\n");
    folder.write(L"KelvoPlayer.m3u", "#EXTM3U\n");
    std::string listBytes(list.begin(), list.end());
    const auto settings = folder.write(L"KelvoPlayer.User.ini",
                                       "[Settings]\nm3uautoload=1\nurl-m3u=" + listBytes + "\n");
    EXPECT_EQ(playerPlaylistSource(settings, folder.preferences), list);
}

TEST(PlayerSources, WithoutTheSettingsFileOnlyTheLocalChannelList)
{
    PlayerFolder folder;
    EXPECT_EQ(effectivePlaylist(folder.preferences), L"");
    EXPECT_EQ(effectiveTvGuide(folder.preferences), L"");
    folder.write(L"KelvoPlayer.m3u", "#EXTM3U\n");
    EXPECT_EQ(effectivePlaylist(folder.preferences), folder.pathOf(L"KelvoPlayer.m3u"));
}

TEST(PlayerSources, TvGuideComesFromTheSettingsFile)
{
    PlayerFolder folder;
    const auto settings =
        folder.write(L"KelvoPlayer.User.ini", "[Settings]\r\nurl-tvg=http://host/tv.zip\r\n");
    EXPECT_EQ(playerSettingsPath(folder.preferences), settings);
    EXPECT_EQ(playerTvGuideSource(settings), L"http://host/tv.zip");
    EXPECT_EQ(effectiveTvGuide(folder.preferences), L"http://host/tv.zip");
}

TEST(PlayerSources, CustomSourcesPassUnchanged)
{
    PlayerFolder folder;
    folder.write(L"KelvoPlayer.User.ini", "[Settings]\r\nurl-m3u=http://player/\r\nurl-tvg=x\r\n");
    folder.write(L"KelvoPlayer.m3u", "#EXTM3U\n");
    folder.preferences.sourceMode = 1;
    folder.preferences.playlist = L"HTTP://custom/list.m3u?a=1&b=2";
    folder.preferences.tvGuide = L"";
    EXPECT_EQ(effectivePlaylist(folder.preferences), L"HTTP://custom/list.m3u?a=1&b=2");
    EXPECT_EQ(effectiveTvGuide(folder.preferences), L"");
}

TEST(IsUsableSource, WebPrefixesAndExistingPaths)
{
    PlayerFolder folder;
    const auto existing = folder.write(L"list.m3u", "");
    EXPECT_TRUE(isUsableSource(L"http://a"));
    EXPECT_TRUE(isUsableSource(L"https://a"));
    EXPECT_TRUE(isUsableSource(existing));
    EXPECT_TRUE(isUsableSource(folder.path().wstring()));
    EXPECT_FALSE(isUsableSource(L"Http://a"));
    EXPECT_FALSE(isUsableSource(L"ftp://a"));
    EXPECT_FALSE(isUsableSource(folder.pathOf(L"missing.m3u")));
    EXPECT_FALSE(isUsableSource(L""));
}

} // namespace
} // namespace http
