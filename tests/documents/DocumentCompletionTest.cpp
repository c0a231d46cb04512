#include "documents/DocumentCompletion.h"
#include "documents/WordDocument.h"
#include "formats/FormatFile.h"
#include "refstore/ReferenceFile.h"
#include "storage/LittleEndian.h"
#include "text/Catalogue.h"
#include "text/FileNames.h"
#include "text/Progress.h"

#include "support/FileBytes.h"
#include "support/ReferenceText.h"
#include "support/TempDir.h"

#include "FakeConverter.h"
#include "WordFixtures.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <thread>

namespace cvx {
namespace {

using test::JournalBlock;
using test::ReadBytes;
using test::WriteBytes;

const TDocumentLibrary& Library() {
    static const TDocumentLibrary library = [] {
        TDocumentLibrary l;
        EXPECT_TRUE(l.Load(CITAVOX_DOCUMENT_LIBRARY).ok());
        return l;
    }();
    return library;
}

// The file headers of the two WordPerfect generations: product 1, type 10 (a document), major
// version 0 (5.x, the document at 16) or 2 (6.x, the document at 32).
constexpr std::string_view kWordPerfect5Header{"\xFFWPC\x10\0\0\0\x01\x0A\x00\x01\0\0\0\0", 16};
constexpr std::string_view kWordPerfect6Header{
    "\xFFWPC\x20\0\0\0\x01\x0A\x02\x01\0\0\0\0\0\0\0\0\0\0\0\0\0\0\0\0\0\0\0\0", 32};

// The references of most cases: three authors in 1986 (twice), two other papers, one of them
// by Smith alone in 1990.
const std::string kRefs =
    JournalBlock("R1", "Smith, J. Jones, K. Brown, L.", "Muscle fatigue.", "1986 (12) pp 100-110",
                 "J Test") +
    JournalBlock("R2", "Smith, J. Jones, K. Brown, L.", "Muscle repair.", "1986 (14) pp 5-9",
                 "J Test") +
    JournalBlock("R3", "Adams, P.", "Bones.", "1998 (3) pp 1-2", "J Test") +
    JournalBlock("R4", "Smith, J.", "Tendons.", "1990 (7) pp 30-35", "J Test") +
    JournalBlock("R5", "Smith, J. Lee, A. Park, B.", "Nerves.", "1986 (9) pp 40-45", "J Test");

class Completion : public ::testing::Test {
protected:
    void SetUp() override { WriteBytes(dir_.File("a.ref"), kRefs); }

    std::string Path(std::string_view name) const { return dir_.File(name); }

    // Completes a manuscript held in `text` as `documentFormat` with the format as set up.
    Outcome Complete(std::string_view text, std::string_view documentFormat = "Text (ANSI)",
                     std::string_view name = "paper.txt") {
        manuscript_ = Path(name);
        WriteBytes(manuscript_, text);
        CompletionRequest request;
        request.manuscript = manuscript_;
        request.documentFormatName = documentFormat;
        request.documentFormat = Library().FormatIndex(documentFormat);
        request.library = &Library();
        request.format = &format_;
        report_ = CompletionReport{};
        const Outcome r = CompleteDocument(request, report_);
        EXPECT_EQ(ReadBytes(manuscript_), text) << "the manuscript was changed";
        output_ = r ? ReadBytes(report_.outputName) : std::string();
        return r;
    }

    // The text a plain manuscript's "{{...}}" groups are completed into, one per line.
    std::string Citations(std::string_view pseudoCitations) {
        const Outcome r = Complete(std::string(pseudoCitations));
        EXPECT_TRUE(r.ok()) << r.message();
        return output_;
    }

    void Numbered(int sortOrder) {
        format_.record.shortForm = 1;
        format_.record.encloseGroup = 1;
        format_.record.betwCitations = 0;
        format_.record.refListSortOrder = static_cast<std::uint8_t>(sortOrder);
    }

    test::TempDir dir_;
    TFormatDesc format_;
    std::string manuscript_;
    CompletionReport report_;
    std::string output_;
};

TEST_F(Completion, NumbersRangesAndOrderInsideGroups) {
    Numbered(2); // numbered in alphabetical order of the references cited
    EXPECT_EQ(Citations("{{a.ref #3}} {{a.ref #1}} {{a.ref #2}}"), "[1-3]");
    // Adams 1, Smith 1990 2 (a shorter author list first), Smith, Jones and Brown 1986 3.
    EXPECT_EQ(Citations("{{a.ref #3}} {{a.ref #4}} {{a.ref #1}}. {{a.ref #1}}{{a.ref #3}}"),
              "[1-3]. [1; 3]");
    EXPECT_EQ(Citations("{{a.ref #3}} {{a.ref #3}} {{a.ref #1}}"), "[1; 2]"); // once per group
    EXPECT_EQ(Citations("x {{a.ref #3}} y {{a.ref #1}}."), "x [1] y [2].");

    Numbered(4); // numbered in citation order
    EXPECT_EQ(Citations("{{a.ref #3}} {{a.ref #1}}; {{a.ref #1}}"), "[1; 2]; [2]");

    format_.record.citationStyle = 4; // superscript: no enclosure, numbers joined directly
    format_.record.betwCitations = 1;
    EXPECT_EQ(Citations("{{a.ref #5}}{{a.ref #4}}{{a.ref #3}}{{a.ref #1}}"), "1-4");
}

TEST_F(Completion, LettersForEqualAuthorYearCitations) {
    // Two 1986 papers by the same three authors: letters in the text and in the list.
    // The marker follows the group with nothing but white space between: it belongs to the
    // group, which is replaced by its citations and then the list.
    EXPECT_EQ(Citations("{{a.ref #1}} {{a.ref #2}}\r\n{{REFERENCES}}").substr(0, 40),
              "(Smith, Jones and Brown, 1986a-b)\r\nSmith");
    EXPECT_NE(output_.find("(1986a) Muscle fatigue"), std::string::npos) << output_;
    EXPECT_NE(output_.find("(1986b) Muscle repair"), std::string::npos) << output_;
    EXPECT_EQ(Citations("{{a.ref #2}} and {{a.ref #1}}"),
              "(Smith, Jones and Brown, 1986b) and (Smith, Jones and Brown, 1986a)");
}

TEST_F(Completion, YearLettersFollowTheYearElement) {
    // Two 1986 papers of the same authors whose titles name a year: the letter goes after the
    // year the form writes, wherever that stands and whatever follows it.
    WriteBytes(Path("b.ref"),
               JournalBlock("B1", "Smith, J.", "The 1986 season.", "1986 (2) pp 1-5", "J Test") +
                   JournalBlock("B2", "Smith, J.", "After 1986.", "1986 (3) pp 7-9", "J Test"));
    FormDef& journalLong = format_.record.Form(FormSlot::JournalLong);
    journalLong.order = {};
    journalLong.order[0] = static_cast<std::uint8_t>(FieldIndex::Title);
    journalLong.order[1] = static_cast<std::uint8_t>(FieldIndex::Year);
    journalLong.count = 2;
    FieldProps& shortYear =
        format_.record.Form(FormSlot::JournalShort).props[static_cast<int>(FieldIndex::Year)];
    ASSERT_TRUE(SetPoolString(format_, shortYear.textAfter, " ed. 2").ok());
    struct Case {
        std::string_view text, why;
    } cases[] = {
        {"(Smith, 1986a ed. 2, 1986b ed. 2)",
         "in the citation before the text after the year, not after its last word"},
        {"The 1986 season. (1986a) ", "in the entry after the year element, not in the title"},
        {"After 1986. (1986b) ", "the second entry likewise"},
    };
    const std::string out = Citations("{{b.ref #1}} {{b.ref #2}} {{REFERENCES}}");
    for (const Case& c : cases) {
        EXPECT_NE(out.find(c.text), std::string::npos) << c.why << "\n" << out;
    }
}

TEST_F(Completion, YearLettersRunOrListAsTheFormatSays) {
    struct Case {
        std::uint8_t yearLetters;
        std::string_view group, why;
    } cases[] = {
        {0, "(Smith, Jones and Brown, 1986a-b)", "the default: a run of letters"},
        {1, "(Smith, Jones and Brown, 1986a, 1986b)", "listed, as APA, Harvard and Chicago write"},
    };
    for (const Case& c : cases) {
        format_.record.yearLetters = c.yearLetters;
        EXPECT_EQ(Citations("{{a.ref #1}} {{a.ref #2}}"), c.group) << c.why;
    }
}

TEST_F(Completion, EtAlContractionAtLaterCitations) {
    format_.record.allowEtAl = 1;
    // Smith, Lee and Park 1986 contracts to "Smith et al., 1986" too, so only R1 cited with R3
    // contracts; cited with R5, both keep their full citations.
    EXPECT_EQ(Citations("{{a.ref #1}} {{a.ref #3}}. {{a.ref #1}}"),
              "(Smith, Jones and Brown, 1986; Adams, 1998). (Smith et al., 1986)");
    EXPECT_EQ(Citations("{{a.ref #1}} {{a.ref #5}}. {{a.ref #1}}"),
              "(Smith, Jones and Brown, 1986; Smith, Lee and Park, 1986). "
              "(Smith, Jones and Brown, 1986)");
    // The check runs after the letters: R1 and R2 contract to different texts.
    EXPECT_EQ(Citations("{{a.ref #1}} {{a.ref #2}}. {{a.ref #2}}"),
              "(Smith, Jones and Brown, 1986a-b). (Smith et al., 1986b)");
    format_.record.allowEtAl = 0;
    EXPECT_EQ(Citations("{{a.ref #1}}. {{a.ref #1}}"),
              "(Smith, Jones and Brown, 1986). (Smith, Jones and Brown, 1986)");
}

TEST_F(Completion, OptionsOfPseudoCitations) {
    EXPECT_EQ(Citations("{{a.ref #3/Year; x}}"), "(1998)");
    EXPECT_EQ(Citations("{{a.ref #3/Authors; x}}"), "(Adams)");
    EXPECT_EQ(Citations("{{a.ref #3/Hide; x}}"), "");
    EXPECT_EQ(Citations("{{a.ref #3/-; x}}"), "Adams, 1998");
    EXPECT_EQ(Citations("{{a.ref #3/>see ; x}} {{a.ref #4}}"), "(see Adams, 1998; Smith, 1990)");
    EXPECT_EQ(Citations("{{a.ref #4}} {{a.ref #3/<, Fig. #2; x}}"),
              "(Smith, 1990; Adams, 1998, Fig. #2)");
    EXPECT_EQ(Citations("{{a.ref #4/!; x}} {{a.ref #3}}"), "(Smith, 1990; Adams, 1998)");
    // The same authors merge; chronological order is the format's default.
    EXPECT_EQ(Citations("{{a.ref #4}} {{a.ref #3}} {{a.ref #1}} {{a.ref #2}}"),
              "(Smith, Jones and Brown, 1986a-b; Smith, 1990; Adams, 1998)");
    format_.record.groupSort = 0;
    EXPECT_EQ(Citations("{{a.ref #4}} {{a.ref #3}}"), "(Adams, 1998; Smith, 1990)");

    Numbered(2);
    EXPECT_EQ(Citations("{{a.ref #1/>see ; x}}"), "[see Ref. 1]");
    EXPECT_EQ(Citations("{{a.ref #1/<, p. 4; x}} {{a.ref #3}} {{a.ref #4}}"),
              "[Ref. 3, p. 4; 1; 2]");
}

TEST_F(Completion, TheReferenceListAsTheFormatLaysItOut) {
    Numbered(2);
    format_.record.numberingStyle = 4; // "[1]"
    format_.record.paragraphStyle = 0; // "#L" before every entry
    ASSERT_TRUE(Complete("{{a.ref #4}} {{a.ref #3}}\r\n{{REFERENCES}}\r\nEnd.").ok());
    EXPECT_EQ(output_.substr(0, 8), "[1; 2]\r\n");
    EXPECT_NE(output_.find("\r\n[1] Adams P. (1998) Bones. J Test 3, 1-2. "), std::string::npos)
        << output_;
    EXPECT_NE(output_.find("\r\n[2] Smith J. (1990) Tendons."), std::string::npos) << output_;
    EXPECT_TRUE(output_.ends_with("\r\nEnd."));
    EXPECT_TRUE(report_.referenceListMade);

    // Repeated authors replaced by the substitute text.
    format_ = TFormatDesc();
    format_.record.skipRepeats = 1;
    format_.record.paragraphStyle = 0;
    ASSERT_TRUE(SetPoolString(format_, format_.record.substAuthors, "---").ok());
    ASSERT_TRUE(Complete("{{a.ref #1}} {{a.ref #2}} {{REFERENCES}}").ok());
    EXPECT_NE(output_.find("Smith J., Jones K. and Brown L. (1986a)"), std::string::npos);
    EXPECT_NE(output_.find("\r\n--- (1986b) Muscle repair"), std::string::npos) << output_;

    // A long form without authors has no author part to compare: nothing is replaced.
    FormDef& journalLong = format_.record.Form(FormSlot::JournalLong);
    journalLong.order[0] = static_cast<std::uint8_t>(FieldIndex::Year);
    journalLong.order[1] = static_cast<std::uint8_t>(FieldIndex::Title);
    journalLong.count = 2;
    ASSERT_TRUE(Complete("{{a.ref #1}} {{a.ref #2}} {{REFERENCES}}").ok());
    EXPECT_EQ(output_.find("---"), std::string::npos) << output_;
}

TEST_F(Completion, OneReferenceInTwoFiles) {
    WriteBytes(Path("b.ref"),
               JournalBlock("X", "Adams, P.", "Bones", "1998 (3) pp 1-2", "J. Test [1234-5678]") +
                   JournalBlock("Y", "Adams, P.", "", "1998 (3) pp 1-2", "J Test"));
    Numbered(4);
    EXPECT_EQ(Citations("{{a.ref #3}} {{b.ref #1}} {{REFERENCES}}").substr(0, 3), "[1]");
    EXPECT_EQ(report_.uniqueCitations, 1);
    EXPECT_EQ(report_.files.size(), 2u);
    // An empty title is no match for anything.
    EXPECT_EQ(Citations("{{a.ref #3}} {{b.ref #2}}"), "[1; 2]");
}

TEST_F(Completion, EveryStopConditionWithItsMessageAndNothingWritten) {
    WriteBytes(Path("empty.ref"), "");
    WriteBytes(Path("d.ref"), kRefs);
    {
        TReferenceFile file;
        ASSERT_TRUE(file.Open(Path("d.ref")).ok());
        ASSERT_TRUE(file.GoTo(1).ok());
        ASSERT_TRUE(file.DeleteCurrent().ok());
    }
    std::string many;
    for (int i = 0; i <= 100; ++i) {
        WriteBytes(Path("f" + std::to_string(i) + ".ref"), kRefs);
        many += "{{f" + std::to_string(i) + ".ref #1}} ";
    }
    struct Case {
        std::string manuscript;
        std::string message;
        std::string format = "Text (ANSI)";
    };
    const Case cases[] = {
        {"x\r\n{{a.ref #x3}}",
         Msg(msg::Manusproduction::UnreadableReferenceNumber, "1", "a.ref #x3") +
             Msg(msg::Documents::AtLine, "2")},
        {"{{a.ref #1}} {{a.ref #0}}",
         Msg(msg::Manusproduction::UnreadableReferenceNumber, "2", "a.ref #0")},
        {"{{a.ref #6}}",
         Msg(msg::FileOpen::ReferenceBeyondEnd, "6", DisplayPath(Path("a.ref")), "5")},
        {"{{missing.ref #1}}",
         Msg(msg::FileOpen::PseudoCitationFileMissing, "1", DisplayPath(Path("missing.ref")))},
        {"{{empty #1}}",
         Msg(msg::FileOpen::PseudoCitationFileMissing, "1", DisplayPath(Path("empty.ref")))},
        {"{{d.ref #2}}",
         Msg(msg::CreateFormDocs::CitedReferenceDeleted, "1", "2", DisplayPath(Path("d.ref")))},
        {many, Msg(msg::Manusproduction::TooManyReferenceFiles)},
        {"no citations {{x}}", Msg(msg::Manusproduction::NoCitations)},
        {"{{a.ref #1}}",
         Msg(msg::Documents::WrongKind, DisplayPath(Path("paper.txt")), "Rich Text Format (RTF)"),
         "Rich Text Format (RTF)"},
        {"{{a.ref #1}}", Msg(msg::Documents::NotAWordDocument, DisplayPath(Path("paper.txt"))),
         "Microsoft Word 97"},
        // A mistyped name is refused with the names that can be chosen.
        {"{{a.ref #1}}",
         Msg(msg::Documents::NotInLibrary, "Rich Txt Format", Library().FormatNames()),
         "Rich Txt Format"},
    };
    for (const Case& c : cases) {
        const Outcome r = Complete(c.manuscript, c.format);
        ASSERT_FALSE(r.ok()) << c.manuscript;
        EXPECT_NE(r.message().find(c.message), std::string::npos)
            << r.message() << "\n expected: " << c.message;
        EXPECT_FALSE(std::filesystem::exists(Path("paper_OUT.txt")));
    }
}

TEST_F(Completion, WhatCannotBeTakenIsLeftAndReported) {
    ASSERT_TRUE(
        Complete("{{a.ref #3}} {{x}} {{a.ref #1 oops\r\n{{REFERENCES}}\r\n{{a.ref #4}}").ok());
    EXPECT_EQ(output_.substr(0, 25), "(Adams, 1998) {{x}} {{a.r");
    EXPECT_TRUE(output_.ends_with("\r\n{{a.ref #4}}")) << output_;
    EXPECT_EQ(report_.lackingEnd, 1);
    EXPECT_EQ(report_.citations, 1);
    ASSERT_EQ(report_.warnings.size(), 2u);
    EXPECT_EQ(report_.warnings[0], Msg(msg::Documents::LacksEndNote, "1"));
    EXPECT_EQ(report_.warnings[1], Msg(msg::Documents::AfterMarkerNote, "3"));
}

TEST_F(Completion, WarnsWhenALabelDisagreesWithItsReference) {
    ASSERT_TRUE(Complete("{{a.ref #3; Adams, 1998}} {{a.ref #4; Jones, 1990}} "
                         "{{a.ref #1; Smith, Jones & Brown, 1986}}")
                    .ok());
    ASSERT_EQ(report_.warnings.size(), 1u);
    EXPECT_NE(report_.warnings[0].find("Jones, 1990"), std::string::npos);
    EXPECT_NE(report_.warnings[0].find("reference #4"), std::string::npos);
}

TEST_F(Completion, RtfTextsAreEscapedAndPathsWithAccentsWork) {
    const std::filesystem::path accented = dir_.Path() / "R\xC3\xA9"
                                                         "f\xC3\xA9rences";
    std::filesystem::create_directories(accented);
    WriteBytes((accented / "M\xC3\xB6ller.ref").string(), kRefs);
    const std::string base = dir_.Path().string();
    const std::string rtf = "{\\rtf1\\ansi\\ansicpg1252 {\\fonttbl{\\f0 Times;}}\r\n"
                            "A {\\i \\{\\{" +
                            base +
                            "/R\\'e9f\\u233?rences/M\\u246\\'f6ller.ref #3/<, "
                            "\\{x\\} \\\\y\\'e9}{\\v ; Adams, 1998\\}\\}} B.\\par\r\n}";
    const Outcome r = Complete(rtf, "Rich Text Format (RTF)", "paper.rtf");
    ASSERT_TRUE(r.ok()) << r.message();
    EXPECT_NE(output_.find("A {\\i (Adams, 1998, \\{x\\} \\\\y\\'e9)}{} B."), std::string::npos)
        << output_;
}

TEST_F(Completion, WordPerfect6DocumentsGetTheirSizeAndSoftSpaces) {
    const std::string wp6 = std::string(kWordPerfect6Header) + "Text\x80{{a.ref\x80#3}}\xCC";
    ASSERT_TRUE(Complete(wp6, "WordPerfect 6.0/6.1", "paper.wpd").ok());
    EXPECT_EQ(GetLe32(output_, 20), output_.size());
    EXPECT_EQ(output_.substr(32), "Text\x80(Adams,\x80"
                                  "1998)\xCC");
}

TEST_F(Completion, AManuscriptOf4096PseudoCitations) {
    std::string text;
    for (int i = 0; i < 4096; ++i) {
        text +=
            "Sentence " + std::to_string(i) + " {{a.ref #" + std::to_string(i % 5 + 1) + "}}.\r\n";
    }
    text += "{{REFERENCES}}\r\n";
    Numbered(4);
    ASSERT_TRUE(Complete(text).ok());
    EXPECT_EQ(report_.citations, 4096);
    EXPECT_EQ(report_.groups, 4096);
    EXPECT_EQ(report_.uniqueCitations, 5);
    EXPECT_TRUE(report_.warnings.empty());
    EXPECT_EQ(output_.find("{{"), std::string::npos);
    EXPECT_NE(output_.find("Sentence 4095 [1]."), std::string::npos);
}

// Completing only the first 4096 would hand back a manuscript half done: it is refused whole,
// with one message naming the line of the first pseudo-citation too many.
TEST_F(Completion, AManuscriptOfTooManyPseudoCitationsIsRefusedWhole) {
    std::string text;
    for (int i = 0; i < 4100; ++i) {
        text += "Sentence {{a.ref #" + std::to_string(i % 5 + 1) + "}}.\r\n";
    }
    Numbered(4);
    const Outcome r = Complete(text);
    ASSERT_FALSE(r.ok());
    EXPECT_EQ(r.message(), Msg(msg::Documents::TooManyPseudoCitations, "4097", "4096"));
    EXPECT_FALSE(std::filesystem::exists(Path("paper_OUT.txt")));
    EXPECT_TRUE(report_.warnings.empty());
}

TEST(ManuscriptPath, ABareNameIsLookedForInTheDocumentDirectory) {
    test::TempDir documents;
    WriteBytes(documents.File("paper.rtf"), "x");
    struct Case {
        std::string name, directory, path, why;
    } cases[] = {
        {"paper.rtf", documents.Path().string(), documents.File("paper.rtf"),
         "not in the current folder: found in the document directory"},
        {"paper.rtf", documents.Path().string() + "/", documents.File("paper.rtf"),
         "a directory with its final slash"},
        {"other.rtf", documents.Path().string(), "other.rtf", "found nowhere: as given"},
        {"./paper.rtf", documents.Path().string(), "./paper.rtf", "a name with a folder is kept"},
        {"paper.rtf", " ", "paper.rtf", "no document directory stored"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(ManuscriptPath(c.name, c.directory), c.path) << c.why;
    }
    // A file of that name in the current folder is the one meant.
    const std::string local = "citavox-manuscript-path-test.rtf";
    WriteBytes(documents.File(local), "x");
    WriteBytes(local, "y");
    EXPECT_EQ(ManuscriptPath(local, documents.Path().string()), local);
    std::filesystem::remove(local);
}

TEST_F(Completion, TheOutputAppearsOnlyWhenComplete) {
    // The _OUT name is taken by a folder: the write fails with the catalogue's fatal-write message,
    // and no temporary file is left behind.
    std::filesystem::create_directories(Path("paper_OUT.txt"));
    const Outcome r = Complete("{{a.ref #3}}");
    ASSERT_FALSE(r.ok());
    EXPECT_EQ(r.message(),
              Msg(msg::Manusproduction::FatalWrite, DisplayPath(Path("paper_OUT.txt"))));
    for (const auto& e : std::filesystem::directory_iterator(Path(""))) {
        EXPECT_FALSE(e.path().string().ends_with(".tmp")) << e.path();
    }
}

// The non-empty lines of a text, without their line ends.
std::vector<std::string> Lines(std::string_view text) {
    std::vector<std::string> lines;
    std::size_t start = 0;
    while (start <= text.size()) {
        std::size_t end = text.find('\n', start);
        end = end == std::string_view::npos ? text.size() : end;
        std::string line(text.substr(start, end - start));
        if (!line.empty() && line.back() == '\r') {
            line.pop_back();
        }
        if (!line.empty()) {
            lines.push_back(line);
        }
        start = end + 1;
    }
    return lines;
}

std::string PartOf(const std::string& container, const std::string& name) {
    ZipPackage package;
    std::string bytes;
    EXPECT_TRUE(package.Open(container, "out").ok());
    EXPECT_TRUE(package.Read(name, bytes).ok()) << name;
    return bytes;
}

// A .docx manuscript as word processors write it: pseudo-citations split over runs and spell
// marks, their file parts hidden, one inserted and one deleted by tracked changes, one in a
// footnote. It completes into the citations and list of the same text as a plain manuscript,
// and the runs keep the formatting of the run where each pseudo-citation began.
TEST_F(Completion, DocxGivesTheCitationsAndListOfTheSameText) {
    Numbered(4);
    format_.record.citationStyle = 4; // superscript
    format_.record.paragraphStyle = 2;
    ASSERT_TRUE(Complete("A {{a.ref #3}}\nSee {{a.ref #4}}.\n B {{a.ref #1}} {{a.ref #3}}.\n"
                         "Also {{a.ref #5}}.\n{{REFERENCES}}\nEnd.")
                    .ok());
    const std::vector<std::string> plain = Lines(output_);
    const std::string arial = "<w:rPr><w:rFonts w:ascii=\"Arial\"/></w:rPr>";
    const std::string hidden = "<w:rPr><w:rFonts w:ascii=\"Arial\"/><w:vanish/></w:rPr>";
    const std::string body =
        "<w:p><w:r><w:t xml:space=\"preserve\">A </w:t></w:r><w:r>" + arial +
        "<w:t>{{</w:t></w:r><w:r>" + hidden +
        "<w:t xml:space=\"preserve\">a.ref #3; </w:t></w:r><w:proofErr w:type=\"spellStart\"/>"
        "<w:r><w:t>Adams, 1998}}</w:t></w:r><w:proofErr w:type=\"spellEnd\"/><w:r>"
        "<w:footnoteReference w:id=\"1\"/></w:r></w:p>"
        "<w:p><w:r><w:t xml:space=\"preserve\"> B {{a.ref #1}} </w:t></w:r>"
        "<w:del w:id=\"7\" w:author=\"x\"><w:r><w:delText>{{a.ref #2}}</w:delText></w:r></w:del>"
        "<w:ins w:id=\"8\" w:author=\"x\"><w:r><w:t>{{a.ref #3}}</w:t></w:r></w:ins>"
        "<w:r><w:t>.</w:t></w:r><w:r><w:endnoteReference w:id=\"2\"/></w:r></w:p>"
        "<w:p><w:pPr><w:pStyle w:val=\"Body\"/></w:pPr><w:r><w:t>{{REFERENCES}}</w:t></w:r></w:p>"
        "<w:p><w:r><w:t>End.</w:t></w:r></w:p><w:sectPr/>";
    const std::string notes = "<w:footnote w:id=\"1\"><w:p><w:r><w:t xml:space=\"preserve\">See "
                              "{{a.ref #4}}.</w:t></w:r></w:p></w:footnote>";
    const std::string endnotes =
        "<w:endnote w:type=\"separator\" w:id=\"0\"><w:p><w:r><w:separator/></w:r></w:p>"
        "</w:endnote><w:endnote w:id=\"2\"><w:p><w:r><w:t xml:space=\"preserve\">Also "
        "</w:t></w:r><w:r><w:rPr><w:i/></w:rPr><w:t>{{a.ref #5}}</w:t></w:r><w:r><w:t>.</w:t>"
        "</w:r></w:p></w:endnote>";
    const std::string docx = test::Docx(body, notes, endnotes);
    const Outcome r = Complete(docx, "Microsoft Word 97", "paper.docx");
    ASSERT_TRUE(r.ok()) << r.message();
    EXPECT_EQ(report_.outputName, Path("paper_OUT.docx"));
    EXPECT_EQ(report_.citations, 5);
    WordDocument completed;
    const Outcome loaded = completed.Load(output_, "out");
    ASSERT_TRUE(loaded.ok()) << loaded.message() << PartOf(output_, "word/document.xml");
    EXPECT_EQ(Lines(completed.Text()), plain) << completed.Text();

    const std::string xml = PartOf(output_, "word/document.xml");
    EXPECT_NE(xml.find("<w:r><w:rPr><w:rFonts w:ascii=\"Arial\"/><w:vertAlign "
                       "w:val=\"superscript\"/></w:rPr><w:t xml:space=\"preserve\">1</w:t></w:r>"),
              std::string::npos)
        << xml;
    EXPECT_NE(xml.find("<w:p><w:pPr><w:pStyle w:val=\"Body\"/><w:ind w:left=\"720\" "
                       "w:hanging=\"720\"/></w:pPr>"),
              std::string::npos)
        << xml;
    EXPECT_NE(xml.find("<w:delText>{{a.ref #2}}</w:delText>"), std::string::npos);
    // The endnote's citation, the fourth cited, in the endnote's italic run; the separator stays.
    const std::string endnotesXml = PartOf(output_, "word/endnotes.xml");
    EXPECT_NE(endnotesXml.find("<w:r><w:rPr><w:i/><w:vertAlign w:val=\"superscript\"/></w:rPr>"
                               "<w:t xml:space=\"preserve\">4</w:t></w:r>"),
              std::string::npos)
        << endnotesXml;
    EXPECT_NE(endnotesXml.find("<w:separator/>"), std::string::npos);
    EXPECT_EQ(endnotesXml.find("{{"), std::string::npos) << endnotesXml;
    EXPECT_NE(xml.find("<w:p><w:r><w:t>End.</w:t></w:r></w:p><w:sectPr/>"), std::string::npos);
    EXPECT_EQ(PartOf(output_, "[Content_Types].xml"), PartOf(docx, "[Content_Types].xml"));
}

// An .odt manuscript likewise, with its footnote inline and the styles it needs added.
TEST_F(Completion, OdtGivesTheCitationsAndListOfTheSameText) {
    Numbered(4);
    format_.record.citationStyle = 2; // bold
    ASSERT_TRUE(Complete("Text {{a.ref #3}} {{a.ref #1}}.See {{a.ref #4}}.\n{{REFERENCES}}").ok());
    const std::vector<std::string> plain = Lines(output_);
    const std::string odt = test::Odt(
        "<text:p text:style-name=\"Standard\">Text <text:span>{{a.ref</text:span> #3}} "
        "{{a.ref #1}}.<text:note text:id=\"n1\" text:note-class=\"footnote\"><text:note-citation>1"
        "</text:note-citation><text:note-body><text:p>See {{a.ref #4}}.</text:p></text:note-body>"
        "</text:note></text:p><text:p text:style-name=\"Standard\">{{REFERENCES}}</text:p>");
    const Outcome r = Complete(odt, "Microsoft Word 97", "paper.odt");
    ASSERT_TRUE(r.ok()) << r.message();
    WordDocument completed;
    const Outcome loaded = completed.Load(output_, "out");
    ASSERT_TRUE(loaded.ok()) << loaded.message() << PartOf(output_, "content.xml");
    EXPECT_EQ(Lines(completed.Text()), plain) << completed.Text();
    const std::string xml = PartOf(output_, "content.xml");
    EXPECT_NE(xml.find("<office:automatic-styles><style:style style:name=\"Citavox_C1\" "
                       "style:family=\"text\"><style:text-properties fo:font-weight=\"bold\"/>"),
              std::string::npos)
        << xml;
    EXPECT_NE(
        xml.find("Text <text:span>[<text:span text:style-name=\"Citavox_C1\">1; 2</text:span>]"),
        std::string::npos)
        << xml;
    EXPECT_EQ(PartOf(output_, "mimetype"), "application/vnd.oasis.opendocument.text");
}

// The list paragraphs take the marker paragraph's style, not its numbering or the section break
// it may end: the section break stays once, in the paragraph's part after the list, and that part
// is no new item of the numbered list.
TEST_F(Completion, DocxListParagraphsTakeNoNumberingOrSectionBreak) {
    Numbered(4);
    format_.record.paragraphStyle = 2;
    const std::string numbering = "<w:numPr><w:ilvl w:val=\"0\"/><w:numId w:val=\"3\"/></w:numPr>";
    const std::string section = "<w:sectPr><w:pgSz w:w=\"11906\" w:h=\"16838\"/></w:sectPr>";
    const std::string docx =
        test::Docx("<w:p><w:r><w:t>Text {{a.ref #3}} {{a.ref #4}}.</w:t></w:r></w:p>"
                   "<w:p><w:pPr><w:pStyle w:val=\"Body\"/>" +
                   numbering + section +
                   "</w:pPr><w:r><w:t>{{REFERENCES}}</w:t></w:r></w:p>"
                   "<w:p><w:r><w:t>Appendix</w:t></w:r></w:p><w:sectPr/>");
    const Outcome r = Complete(docx, "Microsoft Word 97", "paper.docx");
    ASSERT_TRUE(r.ok()) << r.message();
    WordDocument completed;
    ASSERT_TRUE(completed.Load(output_, "out").ok());
    const std::string xml = PartOf(output_, "word/document.xml");
    const auto count = [&](const std::string& what) {
        std::size_t n = 0;
        for (std::size_t at = xml.find(what); at != std::string::npos;
             at = xml.find(what, at + 1)) {
            ++n;
        }
        return n;
    };
    EXPECT_EQ(count(section), 1u) << xml;
    EXPECT_EQ(count(numbering), 1u) << xml;
    const std::string entry = "<w:p><w:pPr><w:pStyle w:val=\"Body\"/><w:ind w:left=\"720\" "
                              "w:hanging=\"720\"/></w:pPr>";
    EXPECT_EQ(count(entry), 2u) << xml;
    const std::size_t lastEntry = xml.rfind(entry);
    ASSERT_NE(lastEntry, std::string::npos);
    EXPECT_LT(xml.find(numbering), xml.find(entry)) << "the marker's item stays before the list";
    EXPECT_GT(xml.find(section), lastEntry) << "the section ends after the list";
    EXPECT_LT(xml.find(section), xml.find("Appendix")) << xml;
}

// The outdented list's paragraph style is based on the marker paragraph's, so the list keeps its
// font and size; an automatic style cannot be a parent, so its parent and its text properties
// are taken instead.
TEST_F(Completion, OdtHangingListKeepsTheMarkerParagraphsFont) {
    Numbered(4);
    format_.record.paragraphStyle = 2;
    const std::string automatic =
        "<style:style style:name=\"P1\" style:family=\"paragraph\" "
        "style:parent-style-name=\"Text_20_body\"><style:paragraph-properties "
        "fo:margin-top=\"0cm\"/><style:text-properties style:font-name=\"Arial\" "
        "fo:font-size=\"14pt\"/></style:style>"
        "<style:style style:name=\"T1\" style:family=\"text\"><style:text-properties "
        "fo:font-weight=\"bold\"/></style:style>";
    const struct {
        const char* marker;
        std::string style;
    } cases[] = {
        {"P1", "<style:style style:name=\"Citavox_List\" style:family=\"paragraph\" "
               "style:parent-style-name=\"Text_20_body\"><style:paragraph-properties "
               "fo:margin-left=\"1.27cm\" fo:text-indent=\"-1.27cm\"/><style:text-properties "
               "style:font-name=\"Arial\" fo:font-size=\"14pt\"/></style:style>"},
        {"Standard", "<style:style style:name=\"Citavox_List\" style:family=\"paragraph\" "
                     "style:parent-style-name=\"Standard\"><style:paragraph-properties "
                     "fo:margin-left=\"1.27cm\" fo:text-indent=\"-1.27cm\"/></style:style>"},
    };
    for (const auto& c : cases) {
        const std::string odt =
            test::Odt("<text:p text:style-name=\"Standard\">Text {{a.ref #3}}.</text:p><text:p "
                      "text:style-name=\"" +
                          std::string(c.marker) + "\">{{REFERENCES}}</text:p>",
                      automatic);
        const Outcome r = Complete(odt, "Microsoft Word 97", "paper.odt");
        ASSERT_TRUE(r.ok()) << r.message();
        const std::string xml = PartOf(output_, "content.xml");
        EXPECT_NE(xml.find(c.style), std::string::npos) << c.marker << "\n" << xml;
        EXPECT_NE(xml.find("<text:p text:style-name=\"Citavox_List\">"), std::string::npos);
        WordDocument completed;
        EXPECT_TRUE(completed.Load(output_, "out").ok()) << c.marker;
    }
}

TEST(DefaultDocumentFormatTest, ByTheExtension) {
    test::TempDir dir;
    const std::string wp5(kWordPerfect5Header);
    const std::string wp6(kWordPerfect6Header);
    const struct {
        std::string manuscript;
        const char* format;
    } cases[] = {
        {dir.Write("six.wpd", wp6 + "text"), "WordPerfect 6.0/6.1"},
        {dir.Write("five.wpd", wp5 + "text"), "WordPerfect 5.1/5.2"},
        {dir.Write("renamed.wp6", wp5 + "text"), "WordPerfect 5.1/5.2"}, // the header decides
        {dir.Write("renamed.WP5", wp6 + "text"), "WordPerfect 6.0/6.1"},
        {dir.Write("plain.wpd", "no header"), "WordPerfect 6.0/6.1"}, // the scan then says so
        {dir.File("missing.wp5"), "WordPerfect 5.1/5.2"},
        {dir.File("missing.wp6"), "WordPerfect 6.0/6.1"},
        {dir.File("missing.wpd"), "WordPerfect 6.0/6.1"},
        {"paper.rtf", "Rich Text Format (RTF)"},
        {"PAPER.RTF", "Rich Text Format (RTF)"},
        {"thesis.tex", "LaTex"},
        {"notes.txt", "Text (ANSI)"},
        {"dir.rtf/notes", "Text (ANSI)"},
        {"no-extension", "Text (ANSI)"},
        {"manual.texinfo", "Text (ANSI)"}, // the whole extension counts
        {"paper.docx", "Microsoft Word 97"},
        {"paper.ODT", "Microsoft Word 97"},
        {"old.doc", "Microsoft Word 97"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(DefaultDocumentFormat(c.manuscript), c.format) << c.manuscript;
    }
}

// The whole job as a front end runs it: the output format by its name, the document format by
// the manuscript's extension, the library from the options.
class ManuscriptJobTest : public ::testing::Test {
protected:
    void SetUp() override {
        WriteBytes(dir_.File("a.ref"), kRefs);
        options_.documentDefinitions = CITAVOX_DOCUMENT_LIBRARY;
    }

    Outcome Run(std::string_view name, std::string_view text, std::string format = "apa",
                std::string documentFormat = {}, Progress* progress = nullptr) {
        ManuscriptJob job;
        job.manuscript = dir_.Write(name, text);
        job.formatFile = std::move(format);
        job.documentFormat = std::move(documentFormat);
        Progress own;
        report_ = {};
        return CompleteManuscript(job, options_, progress != nullptr ? *progress : own, report_);
    }

    test::TempDir dir_;
    CompletionOptions options_;
    CompletionReport report_;
};

TEST_F(ManuscriptJobTest, CompletesWithTheFormatOfTheExtension) {
    const Outcome r = Run("paper.txt", "As shown {{a.ref #3; Adams, 1998}}.\r\n{{REFERENCES}}\r\n");
    ASSERT_TRUE(r.ok()) << r.message();
    EXPECT_EQ(report_.outputName, dir_.File("paper_OUT.txt"));
    EXPECT_EQ(report_.citations, 1);
    EXPECT_TRUE(report_.referenceListMade);
    const std::string out = ReadBytes(report_.outputName);
    EXPECT_NE(out.find("As shown (Adams, 1998)."), std::string::npos) << out;
}

// A WordPerfect document is completed as the generation its header names, whatever its
// extension says: soft spaces and the size in the header as that generation writes them.
TEST_F(ManuscriptJobTest, WordPerfectDocumentsByTheirHeader) {
    const std::string wp5 = std::string(kWordPerfect5Header) + "Text {{a.ref #3}}.";
    const std::string wp6 = std::string(kWordPerfect6Header) + "Text\x80{{a.ref\x80#3}}\xCC";
    const struct {
        const char* name;
        const std::string& document;
        std::size_t header;
        std::string_view text;
    } cases[] = {
        {"six.wpd", wp6, 32,
         "Text\x80(Adams,\x80"
         "1998)\xCC"},
        {"six.wp5", wp6, 32,
         "Text\x80(Adams,\x80"
         "1998)\xCC"},
        {"five.wp6", wp5, 16, "Text (Adams, 1998)."},
    };
    for (const auto& c : cases) {
        const Outcome r = Run(c.name, c.document);
        ASSERT_TRUE(r.ok()) << c.name << ": " << r.message();
        const std::string out = ReadBytes(report_.outputName);
        EXPECT_EQ(out.substr(c.header), c.text) << c.name;
        EXPECT_EQ(out.substr(0, 11), c.document.substr(0, 11)) << c.name;
    }
}

// A manuscript named without a folder is looked for in the document directory of the options.
TEST_F(ManuscriptJobTest, ABareNameIsFoundInTheDocumentDirectory) {
    options_.documentDirectory = dir_.Path().string();
    dir_.Write("bare.txt", "As shown {{a.ref #3; Adams, 1998}}.\r\n");
    ManuscriptJob job;
    job.manuscript = "bare.txt";
    job.formatFile = "apa";
    Progress progress;
    const Outcome r = CompleteManuscript(job, options_, progress, report_);
    ASSERT_TRUE(r.ok()) << r.message();
    EXPECT_EQ(report_.outputName, dir_.File("bare_OUT.txt"));
}

// Refusals before anything is written: the output format, the library, the document format.
TEST_F(ManuscriptJobTest, RefusalsWriteNothing) {
    const std::string text = "As shown {{a.ref #3; Adams, 1998}}.\r\n";
    Outcome r = Run("paper.txt", text, "no-such-style");
    EXPECT_NE(r.message().find("does not exist"), std::string::npos) << r.message();
    r = Run("paper.rtf", "{\\rtf1 " + text + "}", "apa", "Microsoft Word 97");
    EXPECT_NE(r.message().find("is not a Word"), std::string::npos) << r.message();
    options_.documentDefinitions = dir_.File("missing.dat");
    r = Run("paper.txt", text);
    EXPECT_FALSE(r.ok());
    EXPECT_FALSE(std::filesystem::exists(dir_.File("paper_OUT.txt")));
    EXPECT_FALSE(std::filesystem::exists(dir_.File("paper_OUT.rtf")));
    // LaTeX needs no library.
    r = Run("paper.tex", "As shown \\{\\{a.ref \\#3; Adams, 1998\\}\\}.\n");
    EXPECT_TRUE(r.ok()) << r.message();
}

// A binary Word 97 document: a compound file with the stream of its text.
const std::string kWord97 = test::CompoundFile({{"WordDocument", test::WordDocumentStream(false)}});

// Binary documents: without LibreOffice a .doc is refused with what to install; a password is
// found before LibreOffice is asked; a .doc named .docx is told to be a .doc. Nothing is written.
TEST_F(ManuscriptJobTest, BinaryWordDocumentsThatCannotBeCompleted) {
    const char* path = std::getenv("PATH");
    const std::string saved = path != nullptr ? path : "";
    setenv("PATH", dir_.Path().c_str(), 1); // a folder without soffice
    const std::string locked =
        test::CompoundFile({{"WordDocument", test::WordDocumentStream(true)}});
    const std::string lockedPackage =
        test::CompoundFile({{"EncryptionInfo", std::string(200, '\x04')},
                            {"EncryptedPackage", std::string(5000, 'x')}});
    const struct {
        const char* name;
        const std::string& bytes;
        msg::Documents message;
        const char* output;
    } cases[] = {
        {"legacy.doc", kWord97, msg::Documents::LibreOfficeMissing, "legacy_OUT.doc"},
        {"LEGACY.DOC", kWord97, msg::Documents::LibreOfficeMissing, "LEGACY_OUT.DOC"},
        {"locked.doc", locked, msg::Documents::DocumentEncrypted, "locked_OUT.doc"},
        {"renamed.docx", kWord97, msg::Documents::Word97Misnamed, "renamed_OUT.docx"},
        {"renamed.odt", kWord97, msg::Documents::Word97Misnamed, "renamed_OUT.odt"},
        {"locked.docx", lockedPackage, msg::Documents::DocumentEncrypted, "locked_OUT.docx"},
        {"locked.odt", locked, msg::Documents::DocumentEncrypted, "locked_OUT.odt"},
    };
    for (const auto& c : cases) {
        const Outcome r = Run(c.name, c.bytes);
        const std::string expected = c.message == msg::Documents::LibreOfficeMissing
                                         ? Msg(c.message)
                                         : Msg(c.message, DisplayPath(dir_.File(c.name)));
        EXPECT_EQ(r.message(), expected) << c.name;
        EXPECT_FALSE(std::filesystem::exists(dir_.File(c.output))) << c.name;
    }
    setenv("PATH", saved.c_str(), 1);
}

// A .doc is converted to .docx, completed and converted back, each by the "soffice" of the
// PATH (here one that hands over the .docx it was given and takes the completed one back as it
// is); an abort while it converts ends the converter and writes nothing.
TEST_F(ManuscriptJobTest, BinaryWordDocumentsGoThroughLibreOffice) {
    {
        test::FakeConverter office(
            test::FakeConverter::Mode::Convert,
            test::Docx("<w:p><w:r><w:t>As shown {{a.ref #3; Adams, 1998}}.</w:t></w:r></w:p>"));
        const Outcome r = Run("legacy.doc", kWord97);
        ASSERT_TRUE(r.ok()) << r.message();
        EXPECT_EQ(report_.outputName, dir_.File("legacy_OUT.doc"));
        WordDocument completed;
        ASSERT_TRUE(completed.Load(ReadBytes(report_.outputName), "out").ok());
        EXPECT_EQ(completed.Text(), "As shown (Adams, 1998).\n");
    }
    test::FakeConverter office(test::FakeConverter::Mode::Hang);
    Progress progress;
    std::thread user([&] {
        office.WaitForPid("child.pid");
        progress.RequestAbort();
    });
    const Outcome r = Run("aborted.doc", kWord97, "apa", {}, &progress);
    user.join();
    EXPECT_TRUE(r.aborted()) << r.message();
    EXPECT_FALSE(std::filesystem::exists(dir_.File("aborted_OUT.doc")));
}

} // namespace
} // namespace cvx
