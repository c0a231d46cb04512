// The file-tool, list and export verbs: their JSON shapes (contracts for scripts), the files they
// write, settings they take, and their usage.

#include "CliRunner.h"
#include "support/FileBytes.h"
#include "support/ReferenceText.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace cvx {
namespace {

using test::JournalBlock;
using test::ReadBytes;
using test::TempDir;
using test::WriteBytes;

class FileToolCommandsTest : public testing::CliTest {
protected:
    void SetUp() override {
        testing::CliTest::SetUp();
        // 1 Smith, 2 a year fault, 3 a duplicate of 1, 4 Adams.
        text_ = JournalBlock("S", "Smith, J.", "First.", "2001 (10) pp 5-9", "Nature") +
                JournalBlock("Y", "Jones, K.", "Second.", "98 (1) pp 1", "Cell") +
                JournalBlock("S2", "Smith, J.", "First again.", "2001 (10) pp 5-9", "Nature") +
                JournalBlock("A", "Adams, K.", "Third.", "1999 (3) pp 1-2", "Science");
        path_ = dir_.Write("refs.ref", text_);
    }

    TempDir dir_;
    std::string text_;
    std::string path_;
};

TEST_F(FileToolCommandsTest, SortCompareCheckAndOrderReportJson) {
    auto r = Run({"sort", path_, dir_.File("sorted.ref"), "--order", "author", "--json"});
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out, "{\"written\": 3, \"duplicates\": 1, \"deleted\": 0, \"unparsed\": []}\n");
    EXPECT_EQ(ReadBytes(path_), text_);

    r = Run({"compare", path_, dir_.File("sorted.ref"), "--json"});
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out, "{\"common\": 4, \"unique\": 0}\n");
    r = Run({"compare",
             dir_.Write("new.ref",
                        JournalBlock("N", "New, N.", "T.", "2010 (1) pp 1", "J") +
                            JournalBlock("S", "Smith, J.", "First.", "2001 (10) pp 5-9", "Nature")),
             path_, "--write", "unique", dir_.File("unique.ref"), "--json"});
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out, "{\"common\": 1, \"unique\": 1}\n");
    EXPECT_EQ(ReadBytes(dir_.File("unique.ref")),
              JournalBlock("N", "New, N.", "T.", "2010 (1) pp 1", "J"));

    r = Run({"check", path_, "--json"});
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out, "{\"faulty\": [2]}\n");
    r = Run({"check", path_, "--scope", "names", "--json"});
    EXPECT_EQ(r.out, "{\"faulty\": []}\n");

    r = Run({"order", path_, "--tag-duplicates", "--json"});
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out, "{\"references\": 4, \"duplicates\": [1], \"tagged\": true}\n");
    EXPECT_TRUE(std::filesystem::exists(dir_.File("refs.srt")));
    EXPECT_NE(Run({"list", path_}).out.find("1 C * "), std::string::npos)
        << "the duplicate is tagged";
}

TEST_F(FileToolCommandsTest, SortInPlaceKeepsTheOldTextAsBackup) {
    auto r = Run({"sort", path_, path_, "--order", "year-descending", "--duplicates", "mark"});
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(ReadBytes(dir_.File("refs.bak")), text_);
    const std::string sorted = ReadBytes(path_);
    EXPECT_EQ(sorted.find(" S2\r\n"), 0U) << sorted;
    EXPECT_NE(sorted.find("DUPLICATE"), std::string::npos);
}

TEST_F(FileToolCommandsTest, MakelistAndExportWriteTheirFiles) {
    auto r = Run(
        {"makelist", path_, dir_.File("list.txt"), "--numbered", "--keep-duplicates", "--json"});
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_NE(r.out.find("\"entries\": 4"), std::string::npos) << r.out;
    EXPECT_EQ(ReadBytes(dir_.File("list.txt")).find("1 Adams"), 0U)
        << ReadBytes(dir_.File("list.txt"));

    ASSERT_EQ(Run({"tag", path_, "4"}).status, 0);
    r = Run({"export", path_, dir_.File("out.ris"), "--as", "ris", "--tagged", "--json"});
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_NE(r.out.find("\"exported\": 1"), std::string::npos) << r.out;
    EXPECT_NE(ReadBytes(dir_.File("out.ris")).find("Adams"), std::string::npos);
}

TEST_F(FileToolCommandsTest, ListSortingSettingIsTheDefaultOrder) {
    WriteConfig("[Lists]\nReference%20sorting=2\n");
    ASSERT_EQ(Run({"makelist", path_, dir_.File("list.txt"), "--keep-duplicates"}).status, 0);
    EXPECT_NE(ReadBytes(dir_.File("list.txt")).find("Smith"), std::string::npos);
    EXPECT_LT(ReadBytes(dir_.File("list.txt")).find("Smith"),
              ReadBytes(dir_.File("list.txt")).find("Adams"))
        << "year descending";
}

TEST_F(FileToolCommandsTest, BadArgumentsGiveUsageAndClearMessages) {
    const struct {
        std::vector<std::string> args;
        int status;
        const char* says;
    } cases[] = {
        {{"sort", "--help"}, 0, "sort FILE.ref OUT.ref"},
        {{"compare", "--help"}, 0, "compare NEW.ref FILTER.ref"},
        {{"export", "--help"}, 0, "--as medline|ris|bibtex|csl-json"},
        {{"sort", "only-one.ref"}, 2, "sort FILE.ref"},
        {{"sort", "a.ref", "b.ref", "--order", "sideways"}, 2, "Unknown order"},
        {{"check", "a.ref", "--scope", "everything"}, 2, "Unknown scope"},
        {{"export", "a.ref", "b", "--as", "word"}, 1, "Unknown export layout"},
        {{"makelist", "a.ref", "b", "--as", "word"}, 1, "give text, rtf, latex, docx or odt"},
        {{"makelist", "a.ref", "b", "--tagged", "--current", "1"}, 2, "makelist FILE.ref"},
        {{"compare", "a.ref", "b.ref", "--write", "both", "c.ref"}, 2, "compare NEW.ref"},
    };
    for (const auto& c : cases) {
        const auto r = Run(c.args);
        EXPECT_EQ(r.status, c.status) << c.args[0] << " " << r.err;
        EXPECT_NE((r.out + r.err).find(c.says), std::string::npos) << r.out << r.err;
    }
    const auto missing = Run({"sort", dir_.File("missing.ref"), dir_.File("o.ref")});
    EXPECT_EQ(missing.status, 1);
    EXPECT_FALSE(missing.err.empty());
}

} // namespace
} // namespace cvx
