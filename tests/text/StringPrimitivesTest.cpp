#include "text/StringPrimitives.h"
#include "text/TextMode.h"

#include <gtest/gtest.h>

namespace cvx {
namespace {

TEST(Trimming, BlanksAreAllBytesUpTo32) {
    EXPECT_EQ(TrimBlanks("\r\n\t a b \x01"), "a b");
    EXPECT_EQ(TrimLeftBlanks("  a "), "a ");
    EXPECT_EQ(TrimRightBlanks("  a \r\n"), "  a");
    EXPECT_EQ(DeleteAndTrim("abc def", 1, 4), "def");
    EXPECT_EQ(DropFinalPeriod(" A title.. "), "A title.");
    for (const auto& [text, trimmed] : {std::pair<std::string, std::string>{"\r\n a b \x01", "a b"},
                                        {"a b", "a b"},
                                        {" \t ", ""},
                                        {"", ""}}) {
        std::string inPlace = text;
        TrimBlanksInPlace(inPlace);
        EXPECT_EQ(inPlace, trimmed) << text;
    }
}

TEST(ParenContent, NestingAndUnclosed) {
    EXPECT_EQ(ParenContent("1998 (12(3)) pp 1-2"), "12(3)");
    EXPECT_EQ(ParenContent("Elsevier (Amsterdam)"), "Amsterdam");
    EXPECT_EQ(ParenContent("(open and more"), "open");
    EXPECT_EQ(ParenContent("none"), "");
}

TEST(FirstListItem, QuotedCommasDoNotSeparate) {
    ListItem item = FirstListItem("\"Smith, J\", Brown");
    EXPECT_EQ(item.item, "Smith, J");
    EXPECT_EQ(item.separator, 10u);
    item = FirstListItem("single");
    EXPECT_EQ(item.item, "single");
    EXPECT_EQ(item.separator, 6u);
}

TEST(Numbers, DigitsPatternsAndIncrements) {
    EXPECT_TRUE(IsAllDigits(" 1998 "));
    EXPECT_TRUE(IsAllDigits(""));
    EXPECT_FALSE(IsAllDigits("19a8"));
    EXPECT_TRUE(HasDigit("RN12"));
    EXPECT_EQ(DigitPattern("RN0012 a1b22"), "RN\xFF a\xFF"
                                            "b\xFF");
    EXPECT_EQ(DigitPattern("RN0012"), DigitPattern("RN9"));
    EXPECT_EQ(IncrementNumber("0999"), "1000");
    EXPECT_EQ(IncrementNumber("RN0099"), "RN0100");
    EXPECT_EQ(IncrementNumber("A9"), "A10");
    EXPECT_EQ(IncrementNumber("X7-9"), "X8-9");
    EXPECT_EQ(IncrementNumber("none"), "none");
    EXPECT_EQ(IncrementNumber("99999999999999999999"), "100000000000000000000");
}

TEST(Words, FirstEighthAndNth) {
    EXPECT_EQ(FindEightDigitWord("RN1 12345678 87654321"), "12345678");
    EXPECT_EQ(FindEightDigitWord("RN1 1234567"), "RN1");
    EXPECT_EQ(FirstWord("first second"), "first ");
    EXPECT_EQ(FirstWord("single"), "single");
    EXPECT_EQ(NthWord(2, "a,,b;c", ",;"), "b");
    EXPECT_EQ(NthWord(4, "a,,b;c", ",;"), "");
}

TEST(SplitLines, EveryKindOfLineEnd) {
    using Lines = std::vector<std::string_view>;
    struct Case {
        std::string_view text;
        Lines lines;
    } cases[] = {
        {"", {}},
        {"one", {"one"}},
        {"a\r\nb\nc\rd", {"a", "b", "c", "d"}},
        {"a\r\n", {"a"}},
        {"a\r\n\r\nb", {"a", "", "b"}},
        {"\n\r", {"", ""}},
        {"a\n\r\nb", {"a", "", "b"}},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(SplitLines(c.text), c.lines) << c.text;
    }
    EXPECT_EQ(BlankSeparatedWords(" \tvan der\r\nBerg  "), (Lines{"van", "der", "Berg"}));
}

TEST(IsValidIssn, DigitsHyphenAndCheckCharacter) {
    for (std::string_view issn : {"0123-4567", "0123-976X"}) {
        EXPECT_TRUE(IsValidIssn(issn)) << issn;
    }
    for (std::string_view bad :
         {"0123-976x", "01234567", "0123-45678", "012-34567", "X123-4567", " 0123-4567", ""}) {
        EXPECT_FALSE(IsValidIssn(bad)) << bad;
    }
}

TEST(NormalizePages, RangesAreCompleted) {
    struct Case {
        std::string_view in, out, why;
    } cases[] = {
        {"123-9.", "123-129", "a shortened last page is completed, the full stop dropped"},
        {"(12-15)", "12-15", "parentheses dropped"},
        {"123-45", "123-145", "two digits completed"},
        {"5", "5", "a single page"},
        {"12-", "12-", "an open range"},
        {"e12-e19;", "e12-e19", "a prefix on both pages"},
        {"iv-x", "iv-x", "roman ranges are left alone (not \"iv-ix\")"},
        {"xii-xv", "xii-xv", "roman, the last page shorter"},
        {"S12-5", "S12-S15", "a letter prefix before the digits"},
        {"199-02", "199-202", "the digits alone would fall below the first page"},
        {"409-18", "409-418", "as MEDLINE stores ranges"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(NormalizePages(c.in), c.out) << c.why;
    }
}

TEST(BreakPosition, LastSpaceOrLimit) {
    EXPECT_EQ(BreakPosition("aaa bbb ccc", 9), 8u);
    EXPECT_EQ(BreakPosition("aaaaaaaaaa", 5), 5u);
    SetTextMode(TextMode::ShiftJis);
    EXPECT_EQ(BreakPosition("a\x93\x63\x92\x86xyz", 5), 5u);
    EXPECT_EQ(BreakPosition("ab\x93\x63", 3), 3u);
    SetTextMode(TextMode::Ansi);
}

TEST(JoinSoftBreaks, OnlyIndentedLinesStaySeparate) {
    EXPECT_EQ(JoinSoftBreaks("a\r\nb\r\n c\r\n"), "a b\r\n c");
}

TEST(ParseInt, LenientAndStrict) {
    EXPECT_EQ(ParseInt(" 42 "), 42);
    EXPECT_EQ(ParseInt("-7"), -7);
    EXPECT_EQ(ParseInt(""), 0);
    EXPECT_EQ(ParseInt("", true), std::nullopt);
    EXPECT_EQ(ParseInt("12a"), std::nullopt);
    EXPECT_EQ(ParseInt("-"), std::nullopt);
    EXPECT_EQ(ParseInt("2147483647"), 2147483647);
    EXPECT_EQ(ParseInt("-2147483648"), -2147483647 - 1);
    EXPECT_EQ(ParseInt("2147483648"), std::nullopt);
    EXPECT_EQ(ParseInt("99999999999999999999999"), std::nullopt);
}

TEST(LanguageCode, PrefixOfAKnownLanguage) {
    EXPECT_EQ(LanguageCode("English"), "Eng");
    EXPECT_EQ(LanguageCode("ger"), "Ger");
    EXPECT_EQ(LanguageCode("Klingon"), "Klingon");
    EXPECT_EQ(LanguageCode(""), "");
}

TEST(TidyJapaneseText, SpacesAndBreaks) {
    SetTextMode(TextMode::ShiftJis);
    EXPECT_EQ(TidyJapaneseText("\x93\x63 \x92\x86\tand  so\r\n next ."),
              "\x93\x63\x92\x86 and so\r\n next.");
    SetTextMode(TextMode::Ansi);
    EXPECT_EQ(TidyJapaneseText("a  b"), "a  b");
}

TEST(Links, PathsAndTargets) {
    EXPECT_TRUE(LooksLikePath("C:\\docs\\paper.pdf"));
    EXPECT_TRUE(LooksLikePath("C:\\docs"));
    EXPECT_TRUE(LooksLikePath("/home/ann/paper.pdf"));
    EXPECT_FALSE(LooksLikePath("Smith: a title"));
    EXPECT_EQ(LinkTarget("(http://example.org/a;b)"), "http://example.org/a");
    EXPECT_EQ(LinkTarget(" [/home/ann/x.pdf] "), "/home/ann/x.pdf");
}

} // namespace
} // namespace cvx
