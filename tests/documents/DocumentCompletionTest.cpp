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

#include "WordFixtures.h"

#include <gtest/gtest.h>

#include <filesystem>

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
    std::string wp6 = "\xFFWPC";
    wp6 += std::string("\x20\0\0\0\x01\x0A\x02\x01", 8);
    wp6.resize(32, '\0');
    wp6 += "Text\x80{{a.ref\x80#3}}\xCC";
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
                         "{{REFERENCES}}\nEnd.")
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
        "<w:r><w:t>.</w:t></w:r></w:p>"
        "<w:p><w:pPr><w:pStyle w:val=\"Body\"/></w:pPr><w:r><w:t>{{REFERENCES}}</w:t></w:r></w:p>"
        "<w:p><w:r><w:t>End.</w:t></w:r></w:p><w:sectPr/>";
    const std::string notes = "<w:footnote w:id=\"1\"><w:p><w:r><w:t xml:space=\"preserve\">See "
                              "{{a.ref #4}}.</w:t></w:r></w:p></w:footnote>";
    const std::string docx = test::Docx(body, notes);
    const Outcome r = Complete(docx, "Microsoft Word 97", "paper.docx");
    ASSERT_TRUE(r.ok()) << r.message();
    EXPECT_EQ(report_.outputName, Path("paper_OUT.docx"));
    EXPECT_EQ(report_.citations, 4);
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

TEST(DefaultDocumentFormatTest, ByTheExtension) {
    const struct {
        const char* manuscript;
        const char* format;
    } cases[] = {
        {"paper.rtf", "Rich Text Format (RTF)"},
        {"PAPER.RTF", "Rich Text Format (RTF)"},
        {"thesis.tex", "LaTex"},
        {"notes.txt", "Text (ANSI)"},
        {"dir.rtf/notes", "Text (ANSI)"},
        {"no-extension", "Text (ANSI)"},
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
                std::string documentFormat = {}) {
        ManuscriptJob job;
        job.manuscript = dir_.Write(name, text);
        job.formatFile = std::move(format);
        job.documentFormat = std::move(documentFormat);
        Progress progress;
        report_ = {};
        return CompleteManuscript(job, options_, progress, report_);
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

} // namespace
} // namespace cvx
