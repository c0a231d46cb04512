#include "text/CaseMapping.h"
#include "text/TextMode.h"

#include <gtest/gtest.h>

namespace cvx {
namespace {

TEST(CaseMapping, FixedTablesNotTheLocale) {
    EXPECT_EQ(UpperText("abc \xE9\xF6\xFE\x9A\x9C\xFF\xF7"), "ABC \xC9\xD6\xDE\x8A\x8C\xFF\xF7");
    EXPECT_EQ(LowerText("ABC \xC9\xD6\xDE\xD8\x8A\x8C\x9F\xD7"),
              "abc \xE9\xF6\xFE\xF8\x9A\x9C\x9F\xD7");
    // The single-character forms leave thorn and O-slash alone.
    EXPECT_EQ(UpperChar(0xFE), 0xFE);
    EXPECT_EQ(UpperChar(0xFD), 0xDD);
    EXPECT_EQ(LowerChar(0xD8), 0xD8);
    EXPECT_EQ(LowerChar(0xDE), 0xDE);
    EXPECT_EQ(LowerChar(0xD9), 0xF9);
    EXPECT_EQ(HexByte(0xE9), "E9");
    EXPECT_EQ(HexByte(0x0A), "0A");
}

TEST(CaseMapping, ShiftJisStepsOverDoubleByteCharacters) {
    const std::string text = "ab\x82\x61\xB1x"; // "\x82\x61" is one character; 0xB1 katakana
    EXPECT_EQ(UpperTextJ(text), "AB\x82\x41\xB1X");
    SetTextMode(TextMode::ShiftJis);
    EXPECT_EQ(UpperTextJ(text), "AB\x82\x61\xB1X");
    EXPECT_EQ(LowerTextJ("AB\x82\x41"), "ab\x82\x41");
    SetTextMode(TextMode::Ansi);
    EXPECT_EQ(LowerTextJ("AB\x82\x41"), "ab\x82\x61");
}

} // namespace
} // namespace cvx
