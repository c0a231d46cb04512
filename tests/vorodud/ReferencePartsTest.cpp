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
        // Page lists run on after their first range, to the end of the sentence.
        {"IEEE-Trans-Biomed-Eng 1993 Jun 40(6): 529-40, 545",
         {"IEEE-Trans-Biomed-Eng", "1993", "40", "6", "529-40, 545"}},
        {"Lancet 1998;351:778-84; discussion 785-6. Epub 1997 Dec 2.",
         {"Lancet", "1998", "351", "", "778-84; discussion 785-6"}},
        {"Lancet 1998;351:778 - 84 , 790", {"Lancet", "1998", "351", "", "778 - 84 , 790"}},
        {"Lancet 1998;351:778-84 (abstract)", {"Lancet", "1998", "351", "", "778-84"}},
        {"PHYS REV B, 1995, V51, N13, P8542-50, 8555",
         {"PHYS REV B", "1995", "51", "13", "8542-50, 8555"}},
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

// The parts after a first range that are no pages end the list: a date, a count of references.
TEST(ReferencePartsTest, PageTextEndsAtWhatIsNoPage) {
    struct Case {
        std::string_view text, year, pages;
    } cases[] = {
        {"1048-64, 1070, September 2015.", "2015", "1048-64, 1070"},
        {"1048-1064, September 2015.", "2015", "1048-1064"},
        {"103-106, 2015", "2015", "103-106"},
        {"103-106, April 2015", "", "103-106"},
        {"12-15, 18 refs", "1990", "12-15"},
        {"S12-4, S20", "1990", "S12-4, S20"},
        {"123-5; author reply 126", "1990", "123-5; author reply 126"},
        {"No pagination", "1990", ""},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(PageTextAt(c.text, c.year), c.pages) << c.text;
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

// "publisher, city" with commas inside either: the city's parts name places, a body's do not.
TEST(ReferencePartsTest, PublisherAndCity) {
    struct Case {
        std::string_view text, publisher, city;
    } cases[] = {
        {"Cambridge University Press, Cambridge", "Cambridge University Press", "Cambridge"},
        {"Springer, Berlin, Heidelberg", "Springer", "Berlin, Heidelberg"},
        {"Swiss Agency for Environment, Forest and Landscape SAEFL, Berne",
         "Swiss Agency for Environment, Forest and Landscape SAEFL", "Berne"},
        {"Sage Publications, Inc., Thousand Oaks", "Sage Publications, Inc.", "Thousand Oaks"},
        {"Suhrkamp, Frankfurt am Main", "Suhrkamp", "Frankfurt am Main"},
        {"Wiley & Sons, Ltd, Chichester", "Wiley & Sons, Ltd", "Chichester"},
        {"Academic Press, 2nd floor, London", "Academic Press, 2nd floor", "London"},
        {", Berlin", "", "Berlin"},
        {"IEEE", "IEEE", ""},
        {"", "", ""},
    };
    for (const Case& c : cases) {
        const PublisherPlace p = SplitPublisherAndCity(c.text);
        EXPECT_EQ(p.publisher, c.publisher) << c.text;
        EXPECT_EQ(p.city, c.city) << c.text;
    }
}

} // namespace
} // namespace cvx::vorodud
