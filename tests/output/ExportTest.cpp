// The export engine: the selection, references that cannot be parsed, citation keys, the escapes
// of the Unicode layouts, and an export that fails or is aborted leaving no file behind.

#include "output/CitationKeys.h"
#include "output/ExportText.h"
#include "output/Exporter.h"
#include "refstore/ReferenceMap.h"
#include "refstore/ReferenceReader.h"
#include "storage/FileSystem.h"
#include "support/FaultFileSystem.h"
#include "support/FileBytes.h"
#include "support/ReferenceText.h"
#include "support/TempDir.h"
#include "text/Progress.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <utility>
#include <vector>

namespace cvx {
namespace {

using test::JournalBlock;
using test::ReadBytes;
using test::TempDir;

const std::string kBroken = " Broken\r\n Nobody, N.\r\n Only a title\r\n\r\n";

// Two papers of one author and year, a deleted block, one that cannot be parsed, and a title with
// markup and characters that BibTeX and JSON must escape.
std::string Fixture() {
    return JournalBlock("A", "M\xfcller, J.", "First paper.", "2001 (10) pp 5-9", "Nature") +
           JournalBlock("B", "M\xfcller, J.", "Second paper.", "2001 (11) pp 15-19", "Nature") +
           std::string(kDeletedMarker) + kBroken +
           JournalBlock("C", "Smith, K.", "#IIn vivo#I 50% & {braces} \"quoted\" $x_1$ #Ga#G.",
                        "1999 (3) pp 1-2", "Science");
}

struct ExportRun {
    TempDir dir;
    std::string path = dir.Write("refs.ref", Fixture());
    std::shared_ptr<const ReferenceReader> reader;
    ExportRun() {
        EXPECT_TRUE(OpenReferenceReader(FileSystem::Default(), path, nullptr, false, reader).ok());
    }

    ExportReport Export(FileSystem& fs, ExportLayout layout, std::optional<RefSet> tagged,
                        Progress& progress) const {
        return ExportReferences(fs, {reader, dir.File("out"), layout, std::move(tagged)}, {},
                                progress);
    }
    std::string Output() const { return ReadBytes(dir.File("out")); }
};

TEST(Exporter, EveryLayoutCarriesUnparsedReferencesAndSkipsDeletedOnes) {
    const struct {
        ExportLayout layout;
        const char* recordStart;
    } layouts[] = {{ExportLayout::Medline, "TI  - "},
                   {ExportLayout::Ris, "TI  - "},
                   {ExportLayout::Bibtex, "title = {"},
                   {ExportLayout::CslJson, "\"title\": "}};
    for (const auto& l : layouts) {
        ExportRun run;
        Progress progress;
        const ExportReport r = run.Export(FileSystem::Default(), l.layout, std::nullopt, progress);
        ASSERT_TRUE(r.outcome.ok()) << r.outcome.message();
        EXPECT_EQ(r.exported, 4);
        EXPECT_EQ(r.journals, 3);
        EXPECT_EQ(r.unparsed, std::vector<int>{4});
        const std::string out = run.Output();
        std::size_t records = 0;
        for (std::size_t at = out.find(l.recordStart); at != std::string::npos;
             at = out.find(l.recordStart, at + 1)) {
            ++records;
        }
        EXPECT_EQ(records, 4U) << static_cast<int>(l.layout);
        EXPECT_NE(out.find("Only a title"), std::string::npos)
            << "the unparsed reference keeps its text " << static_cast<int>(l.layout);
        EXPECT_EQ(out.find("DELETED"), std::string::npos);
    }
}

TEST(Exporter, NeverWritesOverItsReferenceFile) {
    ExportRun run;
    Progress progress;
    const std::string link = run.dir.File("link.ref");
    std::filesystem::create_hard_link(run.path, link);
    for (const std::string& output : {run.path, link}) {
        const ExportReport r =
            ExportReferences(FileSystem::Default(),
                             {run.reader, output, ExportLayout::Ris, std::nullopt}, {}, progress);
        EXPECT_FALSE(r.outcome.ok()) << output;
    }
    EXPECT_EQ(ReadBytes(run.path), Fixture());
}

TEST(Exporter, TaggedReferencesOnly) {
    ExportRun run;
    RefSet tagged(run.reader->Count());
    tagged.Set(1);
    tagged.Set(2); // deleted: never exported
    Progress progress;
    const ExportReport r = run.Export(FileSystem::Default(), ExportLayout::Ris, tagged, progress);
    ASSERT_TRUE(r.outcome.ok());
    EXPECT_EQ(r.exported, 1);
    EXPECT_NE(run.Output().find("Second paper"), std::string::npos);
    EXPECT_EQ(run.Output().find("First paper"), std::string::npos);
}

TEST(Exporter, UnicodeLayoutsEscapeAndKeyEveryReference) {
    ExportRun run;
    Progress progress;
    ASSERT_TRUE(run.Export(FileSystem::Default(), ExportLayout::Bibtex, std::nullopt, progress)
                    .outcome.ok());
    const std::string bib = run.Output();
    // Keys from author and year, letters for clashes, ASCII only.
    EXPECT_NE(bib.find("{Muller2001,"), std::string::npos) << bib;
    EXPECT_NE(bib.find("{Muller2001a,"), std::string::npos) << bib;
    EXPECT_NE(bib.find("\\emph{In vivo}"), std::string::npos) << bib;
    EXPECT_NE(bib.find("50\\%"), std::string::npos) << bib;
    EXPECT_NE(bib.find("\\&"), std::string::npos) << bib;
    EXPECT_NE(bib.find("\\{braces\\}"), std::string::npos) << bib;
    EXPECT_NE(bib.find("\\$x\\_1\\$"), std::string::npos) << bib;
    EXPECT_NE(bib.find("M\xc3\xbcller"), std::string::npos) << "UTF-8 text";
    EXPECT_NE(bib.find("\xce\xb1"), std::string::npos) << "a Symbol-font letter as Greek";
    int depth = 0;
    for (char c : bib) {
        depth += c == '{' ? 1 : c == '}' ? -1 : 0;
        ASSERT_GE(depth, 0);
    }
    EXPECT_EQ(depth, 0) << "braces balance";

    ASSERT_TRUE(run.Export(FileSystem::Default(), ExportLayout::CslJson, std::nullopt, progress)
                    .outcome.ok());
    const std::string json = run.Output();
    EXPECT_NE(json.find("\\\"quoted\\\""), std::string::npos) << json;
    EXPECT_NE(json.find("<i>In vivo</i>"), std::string::npos) << json;
    EXPECT_NE(json.find("&#38;"), std::string::npos) << json;
}

// One record of a tagged layout, written by its writer alone.
std::string RecordOf(ExportLayout layout, const TRefArrData& record) {
    std::string out;
    MakeExportWriter(layout, nullptr)->Record({record, 3, 9, "refs.ref", false, {}, {}}, out);
    return out;
}

TRefArrData Article() {
    TRefArrData r;
    r.sourceType = SourceType::Journal;
    r[FieldIndex::IdString] = "90019168 Fre";
    r[FieldIndex::Authors] = "Zuze, P. Smith, J A.";
    r[FieldIndex::Title] = "A title";
    r[FieldIndex::Year] = "1990";
    r[FieldIndex::Volume] = "12";
    r[FieldIndex::Issue] = "3";
    r[FieldIndex::PageFirst] = "1506";
    r[FieldIndex::PageLast] = "1508";
    r[FieldIndex::Journal] = "Nature";
    return r;
}

TRefArrData Chapter(std::string title) {
    TRefArrData r;
    r.sourceType = SourceType::Chapter;
    r[FieldIndex::Authors] = "Zuze, P.";
    r[FieldIndex::Title] = std::move(title);
    r[FieldIndex::Year] = "2003";
    r[FieldIndex::PageFirst] = "343";
    r[FieldIndex::PageLast] = "352";
    r[FieldIndex::BookTitle] = "The book";
    r[FieldIndex::Editors] = "Wasson, B.";
    r[FieldIndex::Publisher] = "Springer";
    r[FieldIndex::City] = "Dordrecht,";
    return r;
}

// The lines and the leaving out of the MEDLINE and RIS records, row by row.
TEST(ExportLayouts, RecordsHaveTheirLines) {
    TRefArrData noJournal = Article();
    noJournal[FieldIndex::Journal] = "";
    noJournal[FieldIndex::Issue] = "";
    noJournal[FieldIndex::PageLast] = "";
    noJournal[FieldIndex::IdString] = "Smith1990 in French";
    TRefArrData noKind = Chapter("Kept apart");
    noKind.sourceType = SourceType::Unparsed;
    const struct {
        const char* what;
        ExportLayout layout;
        TRefArrData record;
        std::vector<std::string> lines; // each a whole line, in this order
        std::vector<std::string> absent;
    } cases[] = {
        {"article",
         ExportLayout::Medline,
         Article(),
         {"#3 (refs.ref)", "UI  - 90019168", "AU  - Zuze P", "AU  - Smith JA", "TI  - A title",
          "SO  - Nature 1990;12(3):1506-8", "TA  - Nature", "DP  - 1990", "VI  - 12", "IP  - 3",
          "PG  - 1506-1508", "LA  - French"},
         {"AB  - ", "BK  - "}},
        {"article",
         ExportLayout::Ris,
         Article(),
         {"TY  - JOUR", "A1  - Zuze,P.", "A1  - Smith,J. A.", "TI  - A title", "JO  - Nature",
          "Y1  - 1990", "VL  - 12", "IS  - 3", "SP  - 1506", "EP  - 1508", "N1  - 90019168 Fre",
          "M1  - Ref #3 of 9 in refs.ref", "ER  -"},
         {"AB  - "}},
        {"no journal, no eight digits",
         ExportLayout::Medline,
         noJournal,
         {"UI  - Smith1990 in French", "SO  - Unknown journal 1990;12:1506",
          "TA  - Unknown journal", "PG  - 1506"},
         {"LA  - ", "IP  - "}},
        {"chapter",
         ExportLayout::Medline,
         Chapter("In the book"),
         {"TI  - In the book", "SO  - Springer, Dordrecht 2003;343-352", "BK  - The book",
          "ED  - Wasson B", "PG  - 343-352"},
         {"TA  - ", "VI  - "}},
        {"chapter",
         ExportLayout::Ris,
         Chapter("In the book"),
         {"TY  - CHAP", "CT  - In the book", "SP  - 343", "T2  - The book", "ED  - Wasson,B.",
          "CY  - Dordrecht,", "PB  - Springer"},
         {"TI  - "}},
        {"chapter without a title",
         ExportLayout::Ris,
         Chapter(""),
         {"TY  - BOOK", "T2  - The book"},
         {"CT  - ", "TY  - CHAP"}},
        {"no known kind",
         ExportLayout::Ris,
         noKind,
         {"TY  - UNPB", "TI  - Kept apart", "Y1  - 2003"},
         {"T2  - ", "PB  - "}},
    };
    for (const auto& c : cases) {
        const std::string out = RecordOf(c.layout, c.record);
        const std::string where = std::string(c.what) +
                                  (c.layout == ExportLayout::Ris ? " (RIS)\n" : " (MEDLINE)\n") +
                                  out;
        std::vector<std::string> lines;
        for (std::size_t pos = 0; pos < out.size();) {
            const std::size_t end = out.find("\r\n", pos);
            ASSERT_NE(end, std::string::npos) << where;
            lines.push_back(out.substr(pos, end - pos));
            pos = end + 2;
        }
        auto next = lines.begin();
        for (const std::string& line : c.lines) {
            next = std::find(next, lines.end(), line);
            ASSERT_NE(next, lines.end()) << line << " in " << where;
        }
        for (const std::string& tag : c.absent) {
            for (const std::string& line : lines) {
                EXPECT_NE(line.rfind(tag, 0), 0U) << where;
            }
        }
        ASSERT_GE(lines.size(), 2U);
        EXPECT_EQ(lines.back(), "") << "the record ends with an empty line: " << where;
        EXPECT_NE(lines[lines.size() - 2], "") << where;
    }
    // A reference of no known kind that parsed gives an empty MEDLINE record.
    EXPECT_EQ(RecordOf(ExportLayout::Medline, noKind), "\r\n\r\n");
}

// Long texts go on in lines of at most 74 characters after the tag, broken at blanks (a word too
// long for a line is cut), the lines after the first indented by six blanks in MEDLINE and not at
// all in RIS; the text comes back whole when the lines are joined.
TEST(ExportLayouts, LongTextsWrapAt74Characters) {
    std::string words;
    for (int i = 0; i < 40; ++i) {
        words += (i == 0 ? "" : " ") + std::string("word") + std::to_string(i);
    }
    const std::string longWord(100, 'x');
    for (const std::string& text : {words, longWord + " " + words}) {
        TRefArrData r = Article();
        r[FieldIndex::Comments] = text;
        for (const auto& [layout, continuation] :
             {std::pair{ExportLayout::Medline, std::string("      ")},
              std::pair{ExportLayout::Ris, std::string()}}) {
            const std::string out = RecordOf(layout, r);
            const std::size_t start = out.find("AB  - ");
            ASSERT_NE(start, std::string::npos);
            std::string joined;
            std::size_t pos = start;
            for (bool first = true;; first = false) {
                const std::size_t end = out.find("\r\n", pos);
                const std::string line = out.substr(pos, end - pos);
                if (!first && line.compare(0, continuation.size(), continuation) != 0) {
                    break;
                }
                if (!first && line.size() > 2 && line[2] == ' ' && line[4] == '-') {
                    break; // the next tag
                }
                const std::string body = line.substr(first ? 6 : continuation.size());
                EXPECT_LE(body.size(), 74U) << line;
                EXPECT_FALSE(body.empty());
                EXPECT_NE(body.front(), ' ') << line;
                joined += (joined.empty() || body.front() == 'x' ? "" : " ") + body;
                pos = end + 2;
            }
            EXPECT_EQ(joined, text) << out;
        }
    }
}

// Field texts of the tagged layouts: one line, codes gone, "#T" and "#L" a blank like a tab and a
// line break, the blanks after a line break (with codes among them) joined into one.
TEST(ExportText, FlatTextIsOneTrimmedLine) {
    const struct {
        std::string_view field;
        std::string_view flat;
    } cases[] = {
        {"  plain title.  ", "plain title."},
        {"\"\"", ""},
        {"#IIn vivo#I study", "In vivo study"},
        {"#Tindented", "indented"},
        {"a#Tb", "a b"},
        {"a\t\tb", "a  b"},
        {"a#L#L  b", "a b"},
        {"line one\r\n  line two", "line one line two"},
        {"a \r\n b", "a b"},
        {"a\r\n#I b#I", "a b"},
        {"50# and #", "50# and #"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(FlatText(c.field), c.flat) << c.field;
    }
}

// Fields long enough to be looked through many characters at a time: a tab, a code or a line
// break is found wherever it stands, and a plain field comes back as a view of itself.
TEST(ExportText, FlatTextFindsCodesAnywhereInLongFields) {
    const std::string base = "abcdefghijklmnopqrstuvwxyz0123456789ABCDEFGHIJ";
    std::string room;
    for (std::size_t at = 1; at < base.size(); ++at) {
        const std::string head = base.substr(0, at);
        const std::string tail = base.substr(at);
        const struct {
            std::string field;
            std::string flat;
        } cases[] = {
            {head + "\t" + tail, head + " " + tail},
            {head + "#I" + tail, head + tail},
            {head + "\r\n  " + tail, head + " " + tail},
            {" " + head + " " + tail + "\r\n", head + " " + tail},
        };
        for (const auto& c : cases) {
            EXPECT_EQ(FlatText(c.field), c.flat) << at;
            EXPECT_EQ(FlatView(c.field, room), c.flat) << at;
        }
        const std::string plain = "  " + head + " " + tail + " ";
        const std::string_view view = FlatView(plain, room);
        EXPECT_EQ(view, head + " " + tail);
        EXPECT_EQ(view.data(), plain.data() + 2);
    }
}

TEST(CitationKeys, ClashesGetLettersInFileOrder) {
    TRefArrData a;
    a[FieldIndex::Authors] = "O'Brien-Smith, J. Other, K.";
    a[FieldIndex::Year] = "2001";
    TRefArrData anonymous;
    CitationKeys keys;
    EXPECT_EQ(keys.Next(a), "OBrienSmith2001");
    EXPECT_EQ(keys.Next(a), "OBrienSmith2001a");
    EXPECT_EQ(keys.Next(a), "OBrienSmith2001b");
    const std::string first = keys.Next(anonymous);
    EXPECT_FALSE(first.empty());
    EXPECT_NE(keys.Next(anonymous), first);
}

// A full disk or a failing folder at any step leaves no output file, or an old one unchanged.
TEST(Exporter, FailureAtAnyStepLeavesNoPartialFile) {
    int steps = 0;
    std::string complete;
    {
        ExportRun run;
        test::FaultFileSystem fs;
        Progress progress;
        ASSERT_TRUE(run.Export(fs, ExportLayout::CslJson, std::nullopt, progress).outcome.ok());
        steps = fs.Steps();
        complete = run.Output();
    }
    for (int crashAt = 1; crashAt <= steps; ++crashAt) {
        ExportRun run;
        test::WriteBytes(run.dir.File("out"), "old");
        test::FaultFileSystem fs(crashAt);
        Progress progress;
        const ExportReport r = run.Export(fs, ExportLayout::CslJson, std::nullopt, progress);
        const std::string out = run.Output();
        EXPECT_FALSE(r.outcome.ok()) << "step " << crashAt;
        EXPECT_TRUE(out == "old" || out == complete) << "step " << crashAt;
    }
    ExportRun aborted;
    Progress progress;
    progress.RequestAbort();
    EXPECT_TRUE(aborted.Export(FileSystem::Default(), ExportLayout::Ris, std::nullopt, progress)
                    .outcome.aborted());
    EXPECT_FALSE(std::filesystem::exists(aborted.dir.File("out")));
}

} // namespace
} // namespace cvx
