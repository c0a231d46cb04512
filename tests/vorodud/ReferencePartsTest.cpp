#include "vorodud/ReferenceParts.h"

#include <gtest/gtest.h>

namespace cvx::vorodud {
namespace {

TEST(ReferencePartsTest, AuthorNames) {
    struct Case {
        std::string name;
        std::string formatted;
    } cases[] = {
        {"Smith, John A.", "Smith, J A."},
        {"Smith JA", "Smith, J A."},
        {"Adler D.G.", "Adler, D G."},
        {"Brown, JM", "Brown, J M."},
        {"Donald E. Knuth", "Knuth, D E."},
        {"Ludwig van Beethoven", "van Beethoven, L."},
        {"Jean-Pierre Dupont", "Dupont, J-P."},
        {"Dupont, J.-P.", "Dupont, J-P."},
        {"W\xF6rmann B", "W\xF6rmann, B."},
        {"Smith, Jr, John", "Smith Jr, J."},
        {"G. Kalbe", "Kalbe, G."},
        {"Plato", "\"Plato\"."},
        {"  ", ""},
        {"Trindade, Ines A", "Trindade, I A."},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(FormatAuthorName(c.name), c.formatted) << c.name;
    }
    EXPECT_EQ(CorporateAuthor("World Health Organization"), "\"World Health Organization\".");
    EXPECT_EQ(SplitNameList("a1l, a1f and a2l, a2f; b"),
              (std::vector<std::string>{"a1l, a1f", "a2l, a2f", "b"}));
}

TEST(ReferencePartsTest, Citations) {
    struct Case {
        std::string text;
        Citation c;
    } cases[] = {
        {"Nature 1998 Jan 15;391(6664):223-7", {"Nature", "1998", "391", "6664", "223-7"}},
        {"IEEE-Trans-Biomed-Eng. ,  \t1993;40(6) : 529-540",
         {"IEEE-Trans-Biomed-Eng", "1993", "40", "6", "529-540"}},
        {"Lancet, 1990, 335(8700), 1234-1236", {"Lancet", "1990", "335", "8700", "1234-1236"}},
        {"J Biol Chem 2001;276:1-9.", {"J Biol Chem", "2001", "276", "", "1-9"}},
        {"A journal without a year", {"A journal without a year", "", "", "", ""}},
    };
    for (const Case& c : cases) {
        const Citation got = ParseCitation(c.text);
        EXPECT_EQ(got.journal, c.c.journal) << c.text;
        EXPECT_EQ(got.year, c.c.year) << c.text;
        EXPECT_EQ(got.volume, c.c.volume) << c.text;
        EXPECT_EQ(got.issue, c.c.issue) << c.text;
        EXPECT_EQ(got.pages, c.c.pages) << c.text;
    }
}

TEST(ReferencePartsTest, YearLinesAndYears) {
    Reference r;
    r.year = "1998";
    r.volume = "12";
    r.issue = "3";
    EXPECT_EQ(YearLine(r, "123-129"), "1998 (12(3)) pp 123-129");
    r.volume.clear();
    EXPECT_EQ(YearLine(r, ""), "1998 ((3))");
    r.year.clear();
    r.issue.clear();
    EXPECT_EQ(YearLine(r, "5"), "\"\" pp 5");
    EXPECT_EQ(FirstYear("2016/12//"), "2016");
    EXPECT_EQ(FirstYear("vol 12345 in 1999"), "1999");
    EXPECT_EQ(FirstYear("no year 42"), "");
    EXPECT_EQ(EndSentence("Why?"), "Why?");
    EXPECT_EQ(EndSentence("A title"), "A title.");
    EXPECT_EQ(WithDigits("No pagination"), "");
}

} // namespace
} // namespace cvx::vorodud
