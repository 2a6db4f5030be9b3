// The one converter: any bytes survive a trip through wide strings, and text to show is valid.

#include "platform/window/Utf8.h"

#include <gtest/gtest.h>

using namespace platform;

TEST(Utf8, AnyBytesRoundTripAndOnlyUtf8Decodes)
{
    EXPECT_EQ(Utf8ToWide("a\xc3\xa9\xe2\x82\xac\xf0\x9f\x8e\xb5"), L"a\u00e9\u20ac\U0001F3B5");
    // A stray continuation, an overlong form, an encoded surrogate, a code point past U+10FFFF
    // and a sequence cut short: each byte travels alone.
    const std::string bytes = "\xff\xc0\xaf\xed\xa0\x80\xf4\x90\x80\x80x\xe2\x82";
    const std::wstring wide = Utf8ToWide(bytes);
    EXPECT_EQ(wide.substr(0, 3), L"\xdcff\xdcc0\xdcaf");
    EXPECT_EQ(wide.size(), bytes.size());
    EXPECT_EQ(WideToUtf8(wide), bytes);
}

TEST(Utf8, ShownTextAndOtherSurrogatesBecomeTheReplacementMark)
{
    EXPECT_EQ(WideToUtf8(ShownText(Utf8ToWide("caf\xe9 \xc3\xa9"))), "caf\xef\xbf\xbd \xc3\xa9");
    EXPECT_EQ(WideToUtf8(std::wstring{wchar_t(0xD800), wchar_t(0x110000)}),
              "\xef\xbf\xbd\xef\xbf\xbd");
}
