#include "platform/shell/codepage.h"

#include <gtest/gtest.h>

namespace {

TEST(CodePage, AnsiRoundTripsEveryByte) {
    std::string all;
    for (int b = 1; b < 256; ++b)
        all.push_back(static_cast<char>(b));
    std::u16string text = shell::AnsiToUtf16(all);
    ASSERT_EQ(text.size(), all.size());
    EXPECT_EQ(text[0x80 - 1], u'\u20AC');  // euro sign
    EXPECT_EQ(text[0xE4 - 1], u'\u00E4');  // a umlaut
    EXPECT_EQ(text[0x9F - 1], u'\u0178');
    EXPECT_EQ(shell::Utf16ToAnsi(text), all);
}

TEST(CodePage, AnsiRejectsUnitsOutsideTheCodePage) {
    EXPECT_EQ(shell::Utf16ToAnsi(u"Stra\u00dfe \u20ac"), std::string("Stra\xdf"
                                                                     "e \x80"));
    EXPECT_FALSE(shell::Utf16ToAnsi(u"\u4e2d").has_value());
    EXPECT_FALSE(shell::Utf16ToAnsi(u"\u0100").has_value());
}

TEST(CodePage, Utf8ConversionsHandleAllLengthsAndBadInput) {
    std::u16string text = u"a\u00e4\u20ac\U0001F600";
    std::string utf8 = shell::Utf16ToUtf8(text);
    EXPECT_EQ(utf8, "a\xc3\xa4\xe2\x82\xac\xf0\x9f\x98\x80");
    EXPECT_EQ(shell::Utf8ToUtf16(utf8), text);

    EXPECT_EQ(shell::Utf16ToUtf8(std::u16string(1, u'\xD800')), "\xef\xbf\xbd");
    EXPECT_EQ(shell::Utf8ToUtf16("\xc3"), u"\uFFFD");            // truncated sequence
    EXPECT_EQ(shell::Utf8ToUtf16("\xc0\xaf"), u"\uFFFD\uFFFD");  // overlong form
    EXPECT_EQ(shell::Utf8ToUtf16("\xff"
                                 "a"),
              u"\uFFFD"
              "a");
}

}  // namespace
