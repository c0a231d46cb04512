#include "text/MarkupRuns.h"

#include <gtest/gtest.h>

#include <initializer_list>

namespace cvx {
namespace {

MarkupStyle Bold() {
    MarkupStyle s;
    s.bold = true;
    return s;
}

std::string Describe(const std::vector<MarkupRun>& runs) {
    std::string d;
    for (const MarkupRun& r : runs) {
        d += "[";
        d += r.style.bold ? "B" : "";
        d += r.style.italic ? "I" : "";
        d += r.style.underline ? "U" : "";
        d += r.style.symbol ? "G" : "";
        d += r.style.offset < 0 ? "v" : r.style.offset > 0 ? "^" : "";
        d += r.style.colour == TextColour::Normal ? "" : "c" + std::to_string(int(r.style.colour));
        d += "]" + r.text;
    }
    return d;
}

TEST(ParseMarkup, StylesAndTextAsTheDisplaysShowThem) {
    struct Case {
        std::string_view in;
        MarkupDialect dialect;
        std::string_view runs;
    } cases[] = {
        {"#BBold#B plain", MarkupDialect::RichText, "[B]Bold[] plain"},
        {"#Ba#Ib#B#I c", MarkupDialect::RichText, "[B]a[BI]b[] c"},
        // A "#" that does not act stays, and the character after it is read anew.
        {"x##y", MarkupDialect::RichText, "[]x##y"},
        {"a#Nb#", MarkupDialect::RichText, "[]a#Nb#"},
        {"##B", MarkupDialect::RichText, "[]#"},
        {"H#^2#^O CO#v2#v", MarkupDialect::RichText, "[]H[^]2[]O CO[v]2"},
        {"#P1#P#b2#b", MarkupDialect::RichText, "[B^]1[Bv]2"},
        {"x#^a#vb", MarkupDialect::RichText, "[]x[^]a[v]b"},
        {"#Ga#G", MarkupDialect::RichText, "[G]a"},
        {"a#Lb#Tc", MarkupDialect::RichText,
         "[]a\x0B"
         "b\tc"},
        {"#\xFFwww#\xFF", MarkupDialect::RichText, "[c3]www"},
        {"#&#Ba#B", MarkupDialect::RichText, "[B]a"},
        {"#\xFDhit#\xFD #\xFEtag#\xFE", MarkupDialect::RichText, "[c1]hit[] [c2]tag"},
        // Toggling the same style twice with nothing between leaves one run.
        {"a#B#Bb", MarkupDialect::RichText, "[]ab"},
        // The list line knows only the character styles and the hit colours.
        {"#B1986#B a#Lb#Tc#\xFF", MarkupDialect::ListLine, "[B]1986[] a#Lb#Tc#\xFF"},
        {"#Ix#I#\xFEy#\xFE", MarkupDialect::ListLine, "[I]x[c2]y"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(Describe(ParseMarkup(c.in, c.dialect).runs), c.runs) << c.in;
    }
}

TEST(ParseMarkup, HitsAreShownOnlyWhenAsked) {
    EXPECT_EQ(Describe(ParseMarkup("a #\xFEword#\xFE b", MarkupDialect::RichText, false).runs),
              "[]a word b");
    // The blue of marked addresses does not depend on the hit setting.
    EXPECT_EQ(Describe(ParseMarkup("#\xFFx", MarkupDialect::RichText, false).runs), "[c3]x");
}

TEST(ParseMarkup, ParagraphMarkersChooseTheForm) {
    struct Case {
        std::string_view in;
        ParagraphForm form;
        bool marker;
    } cases[] = {
        {"plain", ParagraphForm::Plain, false},
        {"#%a", ParagraphForm::Plain, true},
        {"#\xA4"
         "a",
         ParagraphForm::Plain, true},
        {"a#&b", ParagraphForm::Hanging, true},
    };
    for (const Case& c : cases) {
        const ParsedMarkup p = ParseMarkup(c.in, MarkupDialect::RichText);
        EXPECT_EQ(p.form, c.form) << c.in;
        EXPECT_EQ(p.paragraphMarker, c.marker) << c.in;
    }
}

TEST(MarkupFromRuns, StylesOpenedLastCloseFirst) {
    EXPECT_EQ(MarkupFromRuns(ParseMarkup("#Ba#Ib#B#I c", MarkupDialect::RichText).runs),
              "#Ba#Ib#I#B c");
    EXPECT_EQ(MarkupFromRuns(ParseMarkup("#BBold#B plain", MarkupDialect::RichText).runs),
              "#BBold#B plain");
    // Two styles opening together close in the reverse order.
    EXPECT_EQ(MarkupFromRuns({{"x",
                               [] {
                                   MarkupStyle s = Bold();
                                   s.italic = true;
                                   return s;
                               }()},
                              {"y", {}}}),
              "#B#Ix#I#By");
}

TEST(MarkupFromRuns, UniformFormattingGivesThePlainText) {
    EXPECT_EQ(MarkupFromRuns({{"all bold", Bold()}}), "all bold");
    EXPECT_EQ(MarkupFromRuns({{"a", Bold()}, {"b", Bold()}}), "ab");
    EXPECT_EQ(MarkupFromRuns({}), "");
}

TEST(MarkupFromRuns, ColoursAreNeverWritten) {
    MarkupStyle hit = Bold();
    hit.colour = TextColour::TagHit;
    EXPECT_EQ(MarkupFromRuns({{"a ", {}}, {"word", hit}}), "a #Bword");
}

TEST(MarkupFromRuns, SubscriptTurningIntoSuperscriptEndsFirst) {
    MarkupStyle sub;
    sub.offset = -1;
    MarkupStyle super;
    super.offset = 1;
    const std::string codes = MarkupFromRuns({{"x", sub}, {"y", super}});
    EXPECT_EQ(codes, "#vx#v#^y");
    EXPECT_EQ(Describe(ParseMarkup(codes, MarkupDialect::RichText).runs), "[v]x[^]y");
}

TEST(MarkupFromRuns, TabsLineBreaksAndEmptyLines) {
    struct Case {
        std::string in, out;
    } cases[] = {
        {"a\tb", "a#Tb"},
        {"a\x0B"
         "b",
         "a#Lb"},
        {"a\r\nb", "a\r\nb"},
        {"a\r\n\r\n\r\nb", "a\r\nb"},
        {"a\r\n \r\nb", "a\r\nb"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(MarkupFromRuns({{c.in, {}}}), c.out) << c.in;
        EXPECT_EQ(MarkupFromRuns({{"x", Bold()}, {c.in, {}}}), "#Bx#B" + c.out) << c.in;
    }
}

// What a display shows survives reading it back: the codes may come back in another spelling,
// but they load as the same runs.
TEST(MarkupFromRuns, ReadingBackLoadsTheSame) {
    const std::string_view texts[] = {
        "#BBold#B plain",      "#Ba#Ib#B#I c",  "x##y and a#Nb",
        "H#^2#^O and CO#v2#v", "#P1#P #b2#b",   "#Ga#G = #U#Iangle#I#U",
        "col#Tumn#Lline",      "#Ix #Uy#I z#U", "#H and #O stay text",
    };
    for (const std::string_view text : texts) {
        const ParsedMarkup first = ParseMarkup(text, MarkupDialect::RichText);
        const std::string back = MarkupFromRuns(first.runs);
        EXPECT_EQ(Describe(ParseMarkup(back, MarkupDialect::RichText).runs), Describe(first.runs))
            << text << " -> " << back;
    }
}

TEST(IsWordSeparator, BlanksPunctuationAndTheHitBytes) {
    for (const int c : std::initializer_list<int>{0x00, 0x20, '!', '/', ':', '@', 0xFD, 0xFF}) {
        EXPECT_TRUE(IsWordSeparator(static_cast<unsigned char>(c))) << c;
    }
    for (const int c : std::initializer_list<int>{'0', '9', 'A', 'z', '[', '_', 0xE5, 0xFC}) {
        EXPECT_FALSE(IsWordSeparator(static_cast<unsigned char>(c))) << c;
    }
}

TEST(CollectLinks, AddressesAndPathsOnceEach) {
    std::vector<std::string> links;
    CollectLinks(
        "See http://example.org/a.html and C:\\refs\\paper.pdf or HTTP://EXAMPLE.ORG/A.HTML"
        " (/home/anna/notes.txt) https://secure.example.org/x",
        links);
    const std::vector<std::string> expected = {"http://example.org/a.html",
                                               "https://secure.example.org/x",
                                               "C:\\refs\\paper.pdf", "/home/anna/notes.txt"};
    EXPECT_EQ(links, expected);
}

TEST(CollectLinks, KeepsLinksAlreadyListed) {
    std::vector<std::string> links = {"HTTP://a.org"};
    CollectLinks("http://a.org http://b.org no:link", links);
    EXPECT_EQ(links, (std::vector<std::string>{"HTTP://a.org", "http://b.org"}));
}

} // namespace
} // namespace cvx
