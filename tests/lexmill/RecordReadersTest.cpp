#include "lexmill/RecordReaders.h"
#include "TestState.h"

#include <gtest/gtest.h>

namespace cvx::lexmill {
namespace {

using Lines = std::vector<std::string>;
using test::LexmillRun;

TEST(RecordReadersTest, ReferenceMemberMarkersAndPagePrompts) {
    // Two consecutive marker lines stay in one record; "MORE" replaces the line before it and the
    // line after it never ends the record; ETB REC becomes blanks.
    LexmillRun run("junk\nAN 1\nAN 1b\nTI a\nlost\nMORE\nAN x\n\x17RECTI c\nAN 2\nTI d\n");
    ReadTheWholeReference(run.state, "AN");
    EXPECT_EQ(run.Lines(), (Lines{"AN 1", "AN 1b", "TI a", "MORE", "AN x", "    TI c"}));
    EXPECT_TRUE(run.state.InRef());
    EXPECT_EQ(run.state.pendingLine, "AN 2");
    ReadTheWholeReference(run.state, "AN");
    EXPECT_EQ(run.Lines(), (Lines{"AN 2", "TI d"}));
    ReadTheWholeReference(run.state, "AN");
    EXPECT_EQ(run.state.mLine, 0);
    EXPECT_TRUE(run.state.FilSlut());
}

TEST(RecordReadersTest, AlternativeMarkerDelimitsTheWholeCall) {
    LexmillRun run("UI  - 1\nTI  - a\nAN  - x\nUI  - 2\nTI  - b\n");
    ReadTheWholeReference(run.state, "UI  -$AN  -");
    EXPECT_EQ(run.Lines(), (Lines{"UI  - 1", "TI  - a", "AN  - x"}));
    ReadTheWholeReference(run.state, "UI  -$AN  -");
    EXPECT_EQ(run.Lines(), (Lines{"UI  - 2", "TI  - b"}));
}

TEST(RecordReadersTest, RecordOfMoreThan250LinesIsQuestionedAndConsumed) {
    std::string source = "AN 1\n";
    for (int i = 0; i < 300; ++i) {
        source += "   line " + std::to_string(i) + "\n";
    }
    source += "AN 2\nTI next\n";
    LexmillRun run(source);
    ReadTheWholeReference(run.state, "AN");
    EXPECT_EQ(run.state.mLine, 250);
    EXPECT_TRUE(run.state.ref.questioned);
    EXPECT_EQ(run.state.Line(249), "   line 248");
    ReadTheWholeReference(run.state, "AN");
    EXPECT_EQ(run.Lines(), (Lines{"AN 2", "TI next"}));
    EXPECT_FALSE(run.state.ref.questioned);
}

TEST(RecordReadersTest, TwoMarkersNeedFiveLinesBeforeAMarkerEnds) {
    LexmillRun run("A1 x\nB2 y\nA1 z\nl4\nl5\nB2 next\nl7\n\nA1 after blank\n");
    ReadTheWholeReferenceTwoC(run.state, "A1", "B2");
    EXPECT_EQ(run.Lines(), (Lines{"A1 x", "B2 y", "A1 z", "l4", "l5"}));
    ReadTheWholeReferenceTwoC(run.state, "A1", "B2");
    EXPECT_EQ(run.Lines(), (Lines{"B2 next", "l7"}));
    ReadTheWholeReferenceTwoC(run.state, "A1", "B2");
    EXPECT_EQ(run.Lines(), (Lines{"A1 after blank"}));
}

// A record ends with its "ER" line; what follows up to the next tag line is no record's.
TEST(RecordReadersTest, RisTagLinesAndContinuations) {
    LexmillRun run("Record #1\nTY  - JOUR\nTI  - Title\nwrapped text\n   indented\n\nER  -\n1.\n"
                   "TY - BOOK\nAU - one blank\n");
    ReadTheWholeReferenceRIS(run.state, "TY  -");
    EXPECT_EQ(run.Lines(),
              (Lines{"TY  - JOUR", "TI  - Title", "    wrapped text", "    indented", "ER  -"}));
    ReadTheWholeReferenceRIS(run.state, "TY  -");
    EXPECT_EQ(run.Lines(), (Lines{"TY - BOOK", "AU - one blank"}));
    LexmillRun oneBlank("TY - JOUR\nTI - a\nER -\nTY - BOOK\n");
    ReadTheWholeReferenceRIS(oneBlank.state, "TY -");
    EXPECT_EQ(oneBlank.Lines(), (Lines{"TY - JOUR", "TI - a", "ER -"}));
    ReadTheWholeReferenceRIS(oneBlank.state, "TY -");
    EXPECT_EQ(oneBlank.Lines(), (Lines{"TY - BOOK"}));
}

// A record whose type line is missing is read on its own, between the records around it.
TEST(RecordReadersTest, RisRecordWithoutTypeLine) {
    LexmillRun run("TY  - JOUR\nTI  - one\nER  -\n\nTI  - two\nAU  - X\nER  -\nTY  - BOOK\n"
                   "TI  - three\n");
    ReadTheWholeReferenceRIS(run.state, "TY  -");
    EXPECT_EQ(run.Lines(), (Lines{"TY  - JOUR", "TI  - one", "ER  -"}));
    ReadTheWholeReferenceRIS(run.state, "TY  -");
    EXPECT_EQ(run.Lines(), (Lines{"TI  - two", "AU  - X", "ER  -"}));
    ReadTheWholeReferenceRIS(run.state, "TY  -");
    EXPECT_EQ(run.Lines(), (Lines{"TY  - BOOK", "TI  - three"}));
}

TEST(RecordReadersTest, IgakuDeliversTheNextRecordStartAsItsFirstLine) {
    LexmillRun run("#01\nTI: one\ncontinued\n#02\nTI: two\n");
    ReadTheWholeReferenceIGAKU(run.state);
    EXPECT_EQ(run.Lines(), (Lines{"#01", "TI: one", "   continued"}));
    ReadTheWholeReferenceIGAKU(run.state);
    EXPECT_EQ(run.Lines(), (Lines{"#02", "TI: two"}));
}

TEST(RecordReadersTest, EntrezPageEntitiesAndFields) {
    LexmillRun run("<HTML>\n<P><EM>Nature 1998;12:1-9</EM>\n<P><H2>A &Auml; b &auml; c & d "
                   "&LE; 5</H2>\n<P><H4>Smith J, Jones K</h4>\n<I>Dept.</I>\n"
                   "<P>Abstract text.\n<P><UL><LI>One</LI><LI>Two</LI></UL>\n<A HREF=x>\n"
                   "<HR><EM>next record</EM>\n</HTML>\n");
    ReadTheWholeRef_Entrez(run.state);
    EXPECT_EQ(run.Lines(),
              (Lines{"SO  - Nature 1998;12:1-9", "TI  - A \xE4 b \xE4 c & d #G\xA3#G 5",
                     "AU  - Smith J, Jones K", "AD  - Dept.", "AB  - Abstract text.", "KW  - One",
                     "      Two"}));
    EXPECT_TRUE(run.state.InRef());
}

TEST(RecordReadersTest, NumberedListExpectsTheNextNumber) {
    // Mode 2 expects 2 after 1, then 3: the item numbered 4 runs on in the second record.
    LexmillRun run("1. Smith J. First.\n2. Jones K. Second.\n4. Brown L. Fourth.\n");
    ReadFreeFormatBlock(run.state, 2, 2);
    EXPECT_EQ(run.Lines(), (Lines{"1. Smith J. First."}));
    ReadFreeFormatBlock(run.state, 2, 2);
    EXPECT_EQ(run.Lines(), (Lines{"2. Jones K. Second.", "4. Brown L. Fourth."}));
    EXPECT_TRUE(run.state.FilSlut());
}

TEST(RecordReadersTest, TaggedRecordsOfTodaysDownloads) {
    // Blocks end at blank lines, at the end tag (which belongs to the record) and before a start
    // tag; the lines of a skipped field take no room.
    LexmillRun run("FN header\nVR 1.0\n\nPT J\nAU A\n   B\nCR ref one\n   ref two\nPY 2001\nER\n"
                   "PT J\nTI x\n");
    ReadTaggedRecord(run.state, "PT ", "ER", "CR ");
    EXPECT_EQ(run.Lines(), (Lines{"FN header", "VR 1.0"}));
    ReadTaggedRecord(run.state, "PT ", "ER", "CR ");
    EXPECT_EQ(run.Lines(), (Lines{"PT J", "AU A", "   B", "PY 2001", "ER"}));
    ReadTaggedRecord(run.state, "PT ", "ER", "CR ");
    EXPECT_EQ(run.Lines(), (Lines{"PT J", "TI x"}));
}

TEST(RecordReadersTest, JicstConvertsFullWidthCharacters) {
    // Full-width "A", "1", "(" and a kanji that stays.
    EXPECT_EQ(JicstToSingleByte("\x82\x60\x82\x50\x81\x69\x88\x9F"), "A1(\x88\x9F");
    LexmillRun run("TI \x82\x81\x82\x82\n");
    ReadTheWholeReferenceJICST(run.state, "TI");
    EXPECT_EQ(run.Lines(), (Lines{"TI ab"}));
    EXPECT_EQ(run.state.convCharSet, TextMode::ShiftJis);
}

TEST(RecordReadersTest, EmptyAndBinarySourcesDeliverNothingSafely) {
    LexmillRun empty("");
    ReadTheWholeReferenceRIS(empty.state, "TY  -");
    EXPECT_EQ(empty.state.mLine, 0);
    EXPECT_TRUE(empty.state.FilSlut());
    EXPECT_EQ(empty.state.InSize(), 0);

    std::string binary;
    for (int i = 0; i < 70000; ++i) {
        binary.push_back(static_cast<char>((i * 7919) % 256));
    }
    LexmillRun run(binary);
    int records = 0;
    while (!run.state.FilSlut() && records < 100000) {
        ReadTheWholeReference(run.state, "A");
        ++records;
    }
    EXPECT_TRUE(run.state.FilSlut());
    EXPECT_LE(run.state.AbsPos(), run.state.InSize());
}

TEST(RecordReadersTest, AbsPosCountsConsumedBytesOfLfOnlyFiles) {
    LexmillRun run("TY  - a\nER  -\nTY  - b\nER  -\n");
    while (!run.state.FilSlut()) {
        ReadTheWholeReferenceRIS(run.state, "TY  -");
    }
    EXPECT_EQ(run.state.AbsPos(), run.state.InSize());
}

} // namespace
} // namespace cvx::lexmill
