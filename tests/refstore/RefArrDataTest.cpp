#include "refstore/RefArrData.h"

#include <gtest/gtest.h>

namespace cvx {
namespace {

std::string Block(std::initializer_list<std::string_view> lines) {
    std::string b;
    for (std::string_view l : lines) {
        b += " ";
        b += l;
        b += "\r\n";
    }
    return b + "\r\n";
}

TEST(ParseReference, JournalReference) {
    const ParsedReference p = ParseReference(
        Block({"Id", "Smith, J.", "A title.", "1998 (12(3)) pp 123-129", "Nature"}), false);
    const TRefArrData& d = p.data;
    EXPECT_EQ(d.sourceType, SourceType::Journal);
    EXPECT_EQ(d[FieldIndex::IdString], "Id");
    EXPECT_EQ(d[FieldIndex::Authors], "Smith, J.");
    EXPECT_EQ(d[FieldIndex::Title], "A title");
    EXPECT_EQ(d[FieldIndex::Year], "1998");
    EXPECT_EQ(d[FieldIndex::Volume], "12");
    EXPECT_EQ(d[FieldIndex::Issue], "3");
    EXPECT_EQ(d[FieldIndex::PageFirst], "123");
    EXPECT_EQ(d[FieldIndex::PageLast], "129");
    EXPECT_EQ(d[FieldIndex::Journal], "Nature");
    EXPECT_FALSE(p.ruined);
    EXPECT_FALSE(p.suspect);
}

TEST(ParseReference, YearLines) {
    struct Case {
        std::string_view line, year, volume, issue, first, last;
        bool suspect;
    } cases[] = {
        {"98 (12) 5", "98", "12", "", "5", "", true},
        {"1998 (12) 5-9", "1998", "12", "", "5", "9", false},
        {"1998", "1998", "", "", "", "", false},
        {"1998 ((3)) pp 7", "1998", "", "3", "7", "", false},
        {"1998 (Suppl 2) pp e12-e19", "1998", "Suppl 2", "", "e12", "e19", false},
        {"in press", "in", "", "", "press", "", true},
    };
    for (const auto& c : cases) {
        const ParsedReference p =
            ParseReference(Block({"Id", "Smith, J.", "T.", c.line, "Nature"}), false);
        EXPECT_EQ(p.data[FieldIndex::Year], c.year) << c.line;
        EXPECT_EQ(p.data[FieldIndex::Volume], c.volume) << c.line;
        EXPECT_EQ(p.data[FieldIndex::Issue], c.issue) << c.line;
        EXPECT_EQ(p.data[FieldIndex::PageFirst], c.first) << c.line;
        EXPECT_EQ(p.data[FieldIndex::PageLast], c.last) << c.line;
        EXPECT_EQ(p.suspect, c.suspect) << c.line;
    }
}

TEST(ParseReference, ChaptersAndMonographs) {
    ParsedReference p =
        ParseReference(Block({"Id", "Smith, J.", "A chapter.", "2001 pp 5-9", "E: The Book.",
                              "Editor, E. Other, O.", "Elsevier (Amsterdam)", "A comment",
                              "Address: Lund University"}),
                       true);
    EXPECT_EQ(p.data.sourceType, SourceType::Chapter);
    EXPECT_EQ(p.data[FieldIndex::BookTitle], "The Book");
    EXPECT_EQ(p.data[FieldIndex::Editors], "Editor, E. Other, O.");
    EXPECT_EQ(p.data[FieldIndex::Publisher], "Elsevier");
    EXPECT_EQ(p.data[FieldIndex::City], "Amsterdam");
    EXPECT_EQ(p.data[FieldIndex::Comments], "A comment");
    EXPECT_EQ(p.data[FieldIndex::Address], "Lund University");
    EXPECT_FALSE(p.ruined);
    EXPECT_FALSE(p.suspect);

    p = ParseReference(
        Block({"Id", "Smith, J.", "A book.", "2001", "S: Series title", "Wiley (New York)"}), true);
    EXPECT_EQ(p.data.sourceType, SourceType::Monograph);
    EXPECT_EQ(p.data[FieldIndex::BookTitle], "Series title");
    EXPECT_EQ(p.data[FieldIndex::Publisher], "Wiley");
    EXPECT_FALSE(p.ruined);

    // A chapter with an editor line but no publisher line is ruined.
    p = ParseReference(
        Block({"Id", "Smith, J.", "A chapter.", "2001 pp 5-9", "E: Book", "Editor, E."}), false);
    EXPECT_TRUE(p.ruined);
}

TEST(ParseReference, RuinedTexts) {
    ParsedReference p = ParseReference(" Only an identification line\r\n\r\n", false);
    EXPECT_TRUE(p.ruined);
    EXPECT_EQ(p.data[FieldIndex::Authors], "");
    EXPECT_EQ(p.data.sourceType, SourceType::Unparsed);

    p = ParseReference(Block({"Id", "Smith, J.", "Title"}), false);
    EXPECT_TRUE(p.ruined);
    EXPECT_EQ(p.data[FieldIndex::Title], "Title");

    p = ParseReference(" " + std::string(300, 'x') + "\r\n\r\n", false);
    EXPECT_TRUE(p.ruined);
    EXPECT_EQ(p.data[FieldIndex::IdString], std::string(kMaxIdStringLength - 1, 'x'));
}

TEST(ParseReference, SoftWrapsAndLabelledLines) {
    const std::string block =
        " Id\r\n Smith, J.\r\n A title wrapped\r\nover two lines.\r\n 1998 (1) pp 1-2\r\n"
        " Nature\r\n An abstract\r\n Translated title: \"Titre.\"\r\n\r\n";
    const ParsedReference p = ParseReference(block, false);
    EXPECT_EQ(p.data[FieldIndex::Title], "A title wrapped over two lines");
    EXPECT_EQ(p.data[FieldIndex::TranslTitle], "Titre");
    EXPECT_EQ(p.data[FieldIndex::Comments], "An abstract");

    const ParsedReference q =
        ParseReference(Block({"Id", "Smith, J.", "T.", "1998 (1) pp 1", "J", "Address: Somewhere",
                              "Middle line", "Translated book title: \"Buch\"", "Last line"}),
                       false);
    EXPECT_EQ(q.data[FieldIndex::Address], "Somewhere");
    EXPECT_EQ(q.data[FieldIndex::TranslBookTitle], "Buch");
    EXPECT_EQ(q.data[FieldIndex::Comments], "Middle line\r\n Last line");
}

TEST(ParseReference, CommentLinesNeverDecideTheKindOrTheLabels) {
    // The kind comes from the fifth line alone, and a label counts only at the start of a line:
    // comments that happen to read like them stay comments.
    struct Case {
        std::string block;
        SourceType type;
        std::string journal, publisher, address, translated, comments, why;
    } cases[] = {
        {Block({"Id", "Smith, J.", "T.", "1998 (1) pp 1-2", "J Biol", "S: sample of 40 patients",
                "Second line"}),
         SourceType::Journal, "J Biol", "", "", "", "S: sample of 40 patients\r\n Second line",
         "a comment line beginning \"S: \" (not a monograph, no publisher)"},
        {Block({"Id", "Smith, J.", "T.", "1998 (1) pp 1-2", "J Biol", "E: enzyme units"}),
         SourceType::Journal, "J Biol", "", "", "", "E: enzyme units",
         "a comment line beginning \"E: \" (not a chapter)"},
        {Block({"Id", "Smith, J.", "T.", "2001", "S: A Book.", "Wiley (New York)", "E: errata"}),
         SourceType::Monograph, "", "Wiley", "", "", "E: errata",
         "a monograph whose comment begins \"E: \""},
        {Block({"Id", "Smith, J.", "T.", "1998 (1) pp 1-2", "J Biol",
                "Send mail to the lab Address: Main Street 1", "Address: Lund"}),
         SourceType::Journal, "J Biol", "", "Lund", "",
         "Send mail to the lab Address: Main Street 1",
         "the label inside a line is text; the one that begins a line is the address"},
        {Block({"Id", "Smith, J.", "T.", "1998 (1) pp 1-2", "J Biol",
                "We quote the Translated title: \"x\" of the paper"}),
         SourceType::Journal, "J Biol", "", "", "",
         "We quote the Translated title: \"x\" of the paper", "a translated-title label in a line"},
    };
    for (const Case& c : cases) {
        const ParsedReference p = ParseReference(c.block, false);
        EXPECT_EQ(p.data.sourceType, c.type) << c.why;
        EXPECT_EQ(p.data[FieldIndex::Journal], c.journal) << c.why;
        EXPECT_EQ(p.data[FieldIndex::Publisher], c.publisher) << c.why;
        EXPECT_EQ(p.data[FieldIndex::Address], c.address) << c.why;
        EXPECT_EQ(p.data[FieldIndex::TranslTitle], c.translated) << c.why;
        EXPECT_EQ(p.data[FieldIndex::Comments], c.comments) << c.why;
        EXPECT_FALSE(p.ruined) << c.why;
    }
}

TEST(ReferenceFormatFaulty, KindsAndRules) {
    TRefArrData d =
        ParseReference(Block({"Id", "Smith, J.", "T.", "1998 (1) pp 1", "J Biol"}), false).data;
    const FormalCheck noDb;
    EXPECT_FALSE(ReferenceFormatFaulty(d, CheckKind::All, noDb));
    d[FieldIndex::Volume].clear();
    EXPECT_TRUE(ReferenceFormatFaulty(d, CheckKind::All, noDb));
    EXPECT_TRUE(ReferenceFormatFaulty(d, CheckKind::YearVolumePages, noDb));
    EXPECT_FALSE(ReferenceFormatFaulty(d, CheckKind::Names, noDb));
    EXPECT_FALSE(ReferenceFormatFaulty(d, CheckKind::JournalNames, noDb));
    d[FieldIndex::Volume] = "1";
    d[FieldIndex::Authors] = "Smith J.";
    EXPECT_TRUE(ReferenceFormatFaulty(d, CheckKind::Names, noDb));
    EXPECT_FALSE(ReferenceFormatFaulty(d, CheckKind::Source, noDb));

    EXPECT_TRUE(JournalNameSuspect("1998 (12) pp 1", noDb));
    EXPECT_TRUE(JournalNameSuspect("E: Book", noDb));
    EXPECT_FALSE(JournalNameSuspect("J Biol Chem", noDb));
}

TEST(ComposeReferenceText, LayoutAndRoundTrip) {
    TRefArrData d;
    d.sourceType = SourceType::Chapter;
    d[FieldIndex::Authors] = "Smith, J.";
    d[FieldIndex::Title] = "A chapter";
    d[FieldIndex::Year] = "2001";
    d[FieldIndex::Volume] = "";
    d[FieldIndex::Issue] = "3";
    d[FieldIndex::PageFirst] = "123";
    d[FieldIndex::PageLast] = "9";
    d[FieldIndex::BookTitle] = "The Book";
    d[FieldIndex::Editors] = "Editor, E.";
    d[FieldIndex::Publisher] = "Elsevier";
    d[FieldIndex::City] = "Amsterdam";
    d[FieldIndex::TranslTitle] = "Ein Kapitel";
    d[FieldIndex::Comments] = "First line\r\n  indented line\r\nwrapped";
    d[FieldIndex::Address] = "Lund";
    const std::string text = ComposeReferenceText(d);
    EXPECT_EQ(text,
              " Id string\r\n Smith, J.\r\n A chapter\r\n 2001 ((3)) pp 123-129\r\n E: The Book\r\n"
              " Editor, E.\r\n Elsevier (Amsterdam)\r\n Translated title: \"Ein Kapitel\"\r\n"
              " First line\r\n  indented line\r\nwrapped\r\n Address: Lund\r\n\r\n");
    const ParsedReference back = ParseReference(text, false);
    EXPECT_EQ(back.data[FieldIndex::Issue], "3");
    EXPECT_EQ(back.data[FieldIndex::PageLast], "129");
    EXPECT_EQ(back.data[FieldIndex::TranslTitle], "Ein Kapitel");
    EXPECT_EQ(back.data[FieldIndex::Address], "Lund");
    EXPECT_EQ(back.data[FieldIndex::Editors], "Editor, E.");
}

TEST(ComposeReferenceText, LineBreaksInFieldsNeverSplitTheBlock) {
    TRefArrData d;
    d.sourceType = SourceType::Journal;
    d[FieldIndex::IdString] = "Id";
    d[FieldIndex::Authors] = "'";
    d[FieldIndex::Title] = "A title\r\n\r\n   continued\nand\rmore";
    d[FieldIndex::Year] = "1998";
    d[FieldIndex::Volume] = "1";
    d[FieldIndex::Journal] = "Nature";
    d[FieldIndex::Comments] = "abstract\r\n\r\n\r\n second paragraph";
    const std::string text = ComposeReferenceText(d);
    EXPECT_EQ(text.find("\r\n\r\n"), text.size() - 4) << text;
    EXPECT_EQ(text.find("\r\n  "), std::string::npos);
    const ParsedReference back = ParseReference(text, false);
    EXPECT_EQ(back.data[FieldIndex::Authors], "\"\"");
    EXPECT_EQ(back.data[FieldIndex::Title], "A title continued and more");
    EXPECT_EQ(back.data[FieldIndex::Journal], "Nature");
    EXPECT_EQ(back.data[FieldIndex::Comments], "abstract\r\n second paragraph");
}

} // namespace
} // namespace cvx
