#include "common/TextConversion.hpp"

#include <gtest/gtest.h>

TEST(TextConversion, NarrowIsUtf8OnEveryPlatform)
{
    EXPECT_EQ(toNarrow(L"Kelvo Player Remote Server"), "Kelvo Player Remote Server");
    EXPECT_EQ(toNarrow(L"\u0421\u0435\u0440\u0432\u0435\u0440"),
              "\xD0\xA1\xD0\xB5\xD1\x80\xD0\xB2\xD0\xB5\xD1\x80");
    EXPECT_EQ(toNarrow(L"a\u20ACb"), "a\xE2\x82\xAC"
                                     "b");
    EXPECT_EQ(toNarrow(L""), "");
}

TEST(TextConversion, NarrowKeepsEmbeddedNul)
{
    EXPECT_EQ(toNarrow(std::wstring_view(L"a\0b", 3)), std::string("a\0b", 3));
}

TEST(TextConversion, WideRoundTripsAscii)
{
    EXPECT_EQ(toWide("bind: address in use"), L"bind: address in use");
    EXPECT_EQ(toWide(""), L"");
}
