#include "TestState.h"
#include "journals/JournalLookup.h"
#include "lexmill/FieldBuilders.h"
#include "refstore/RefArrData.h"

#include <gtest/gtest.h>

#include <csignal>
#include <filesystem>
#include <sys/resource.h>

namespace cvx::lexmill {
namespace {

using test::LexmillRun;

// A collected journal reference with every field the writer needs.
void CollectJournalReference(ConversionState& s, std::string_view title = "A title.") {
    s.ResetCollectData();
    s.mLine = 1;
    s.allLines[0] = "source line";
    s.ref.idString = "12345.";
    AddToAuthors(s, "Smith, J A.");
    DumpTitle(s, title);
    s.ref.yearVolPage = "1998 (12(3)) pp 123-129";
    DumpLongJournalName(s, "J. Biol. Chem.");
}

TEST(ReferenceWriterTest, WritesTheReferenceLayout) {
    LexmillRun run("");
    CollectJournalReference(run.state);
    run.state.WriteToFile();
    EXPECT_EQ(run.Output(), " 12345\r\n Smith, J A.\r\n A title.\r\n 1998 (12(3)) pp 123-129\r\n"
                            " J Biol Chem\r\n\r\n");
    EXPECT_EQ(run.state.Counters().refsWritten, 1);
    const ParsedReference parsed = ParseReference(" 12345\r\n Smith, J A.\r\n A title.\r\n"
                                                  " 1998 (12(3)) pp 123-129\r\n J Biol Chem\r\n",
                                                  true);
    EXPECT_FALSE(parsed.ruined || parsed.suspect);
}

TEST(ReferenceWriterTest, EmptyFieldsNeverSplitTheReference) {
    // No identification, no authors, no year, a NUL byte, a language added to the title on a
    // line of its own and a title continued on a second line: every line of the reference stays
    // a line of the reference.
    LexmillRun run("");
    ConversionState& s = run.state;
    s.ResetCollectData();
    s.mLine = 1;
    DumpTitle(s, std::string(60, 'a') + " " + std::string(15, 'b') + std::string("\0c.", 3));
    DumpLongJournalName(s, "Journal ?? of Unknown.");
    s.ref.yearVolPage = "   ";
    s.ref.language = "GERMAN";
    s.addLangToTitle = true;
    s.SetCommonLabel(" my label ");
    s.WriteToFile();
    const std::string out = run.Output();
    EXPECT_EQ(out, " Id\r\n \"\"\r\n " + std::string(60, 'a') + " " + std::string(15, 'b') +
                       " c.\r\n(GERMAN)\r\n \"\"\r\n Journal ?? of Unknown\r\n my label\r\n\r\n");
    const ParsedReference parsed = ParseReference(out.substr(0, out.size() - 2), false);
    EXPECT_EQ(parsed.data[FieldIndex::Title],
              std::string(60, 'a') + " " + std::string(15, 'b') + " c. (GERMAN)");
    EXPECT_EQ(parsed.data[FieldIndex::Year], "\"\"");
    EXPECT_EQ(parsed.data[FieldIndex::Journal], "Journal ?? of Unknown");
    // The "??" of an unknown journal does not make the reference questioned; "???" would.
    EXPECT_EQ(s.Counters().refsQuestioned, 0);
}

TEST(ReferenceWriterTest, LanguageNames) {
    struct Case {
        std::string language;
        std::string titleEnd;
    } cases[] = {{"eng", "Title."},
                 {"Estonian", "Title. (Estonian)"},
                 {"fre", "Title. (French)"},
                 {"xyz", "Title. (XYZ)"}};
    for (const Case& c : cases) {
        LexmillRun run("");
        CollectJournalReference(run.state, "Title.");
        run.state.addLangToTitle = true;
        run.state.SetLanguage(c.language);
        run.state.WriteToFile();
        EXPECT_NE(run.Output().find(" " + c.titleEnd + "\r\n"), std::string::npos) << c.language;
    }
}

TEST(ReferenceWriterTest, DumpingAndItsCounters) {
    LexmillRun run("");
    ConversionState& s = run.state;
    // No title: dumped. The reference marked as not a journal does not stay incomplete.
    s.ResetCollectData();
    s.mLine = 2;
    s.allLines[0] = "TI  -";
    s.allLines[1] = "SO  - x";
    DumpLongJournalName(s, "x");
    s.IncNotJournals();
    s.WriteToFile();
    EXPECT_EQ(s.Counters().refsDumped, 1);
    EXPECT_EQ(s.Counters().incomplete, 0);
    // Nothing to dump: counted, nothing written.
    s.ResetCollectData();
    s.mLine = 0;
    s.WriteToFile();
    EXPECT_EQ(s.Counters().refsDumped, 2);
    // "???" makes a written reference questioned.
    CollectJournalReference(s, "What ??? is this.");
    s.WriteToFile();
    EXPECT_EQ(s.Counters().refsQuestioned, 1);
    const std::string dump = run.Dump();
    EXPECT_NE(dump.find("Reference 1 of \"" + run.SourcePath() + "\" could not be converted:"),
              std::string::npos);
    EXPECT_NE(dump.find("\r\nTI  -\r\nSO  - x\r\n"), std::string::npos);
    EXPECT_EQ(dump.find("Reference 2"), std::string::npos);
}

TEST(ReferenceWriterTest, UnwritableDumpFileIsReportedAndCounted) {
    for (const std::string& name : {std::string("no-such-dir/errors.dmp"), std::string()}) {
        LexmillRun run("");
        run.state.errorFileName = name.empty() ? name : run.dir.File(name);
        for (int i = 0; i < 2; ++i) {
            CollectJournalReference(run.state);
            run.state.ref.skipThisRef = true;
            run.state.WriteToFile();
        }
        EXPECT_TRUE(run.state.ErrFileError());
        EXPECT_EQ(run.state.Counters().refsDumped, 2);
        EXPECT_EQ(run.state.Counters().refsWritten, 0);
    }
}

class FakeJournals final : public JournalLookup {
public:
    bool Recognises(std::string_view) const override { return true; }
    std::optional<JournalMatch> LookUp(std::string_view name, JournalForm form) const override {
        lastForm = form;
        if (name == "J Biol Chem" || name == "J. Biol. Chem.") {
            return JournalMatch{"Journal of Biological Chemistry [0021-9258]", 0, false};
        }
        if (name == "Journal of Biological Chemistry") {
            return JournalMatch{"J. Biol. Chem.", 0, false};
        }
        if (name == "Journal of Physics: Condensed Matter") {
            return JournalMatch{"Journal of Physics. Condensed Matter", 0, false};
        }
        return std::nullopt;
    }
    std::optional<std::string> SortAbbreviation(std::string_view) const override {
        return std::nullopt;
    }
    mutable JournalForm lastForm = JournalForm::FullName;
};

TEST(ReferenceWriterTest, JournalNamesInTheDisplayForm) {
    LexmillRun run("");
    FakeJournals journals;
    run.state.journals = &journals;
    run.state.displayForm = JournalForm::IndexMedicus;
    CollectJournalReference(run.state);
    run.state.WriteToFile();
    // The found name carries an ISSN: its name part is looked up again; periods go.
    EXPECT_NE(run.Output().find("\r\n J Biol Chem\r\n"), std::string::npos);
    EXPECT_EQ(journals.lastForm, JournalForm::IndexMedicus);
}

// The database's name that differs from the download's only in punctuation leaves the
// download's spelling, colon included.
TEST(ReferenceWriterTest, JournalNameKeepsItsOwnPunctuation) {
    LexmillRun run("");
    FakeJournals journals;
    run.state.journals = &journals;
    CollectJournalReference(run.state);
    DumpLongJournalName(run.state, "Journal of Physics: Condensed Matter");
    run.state.WriteToFile();
    EXPECT_NE(run.Output().find("\r\n Journal of Physics: Condensed Matter\r\n"), std::string::npos)
        << run.Output();
}

// A full disk stops the run; only references that reached the disk whole count as written.
TEST(ReferenceWriterTest, FullDiskStopsTheRun) {
    if (!std::filesystem::exists("/dev/full")) {
        GTEST_SKIP() << "no /dev/full";
    }
    test::TempDir dir;
    test::WriteBytes(dir.File("s.txt"), "x\n");
    ConversionState s;
    ASSERT_EQ(s.PrepareReadWrite(dir.File("s.txt"), "/dev/full", false),
              ConversionState::PrepareResult::Ok);
    for (int i = 0; i < 200; ++i) {
        CollectJournalReference(s);
        s.WriteToFile();
    }
    s.CloseFiles();
    ASSERT_TRUE(s.RunError().has_value());
    EXPECT_EQ(*s.RunError(), "Error when writing to disk - disk full?");
    EXPECT_EQ(s.Counters().refsWritten, 0);
}

// The references already in an appended-to destination survive a failing write, and no part
// of an unfinished reference is left behind.
TEST(ReferenceWriterTest, AppendingWithAFailingWriteKeepsTheFileWhole) {
    test::TempDir dir;
    test::WriteBytes(dir.File("s.txt"), "x\n");
    const std::string existing =
        " Old\r\n Old, A.\r\n Old title.\r\n 1990 (1) pp 1-2\r\n Old J\r\n\r\n";
    const std::string out = dir.File("out.ref");
    test::WriteBytes(out, existing);
    std::signal(SIGXFSZ, SIG_IGN);
    rlimit old{};
    getrlimit(RLIMIT_FSIZE, &old);
    rlimit limited = old;
    limited.rlim_cur = 40000;
    ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &limited), 0);
    ConversionState s;
    ASSERT_EQ(s.PrepareReadWrite(dir.File("s.txt"), out, true), ConversionState::PrepareResult::Ok);
    int attempts = 0;
    while (!s.RunError() && attempts < 10000) {
        CollectJournalReference(s);
        s.WriteToFile();
        ++attempts;
    }
    s.CloseFiles();
    setrlimit(RLIMIT_FSIZE, &old);
    ASSERT_TRUE(s.RunError().has_value());
    const std::string text = test::ReadBytes(out);
    const std::string one = " 12345\r\n Smith, J A.\r\n A title.\r\n 1998 (12(3)) pp 123-129\r\n"
                            " J Biol Chem\r\n\r\n";
    ASSERT_EQ(text.substr(0, existing.size() + 4), existing + "\r\n\r\n");
    const std::string added = text.substr(existing.size() + 4);
    EXPECT_EQ(added.size() % one.size(), 0u);
    EXPECT_EQ(static_cast<int>(added.size() / one.size()), s.Counters().refsWritten);
    EXPECT_GT(s.Counters().refsWritten, 0);
}

} // namespace
} // namespace cvx::lexmill
