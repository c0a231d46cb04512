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

#include <filesystem>

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
