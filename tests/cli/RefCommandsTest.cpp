#include "CliRunner.h"
#include "support/FileBytes.h"
#include "support/ReferenceText.h"
#include "support/TempDir.h"

#include <chrono>
#include <filesystem>
#include <gtest/gtest.h>
#include <sys/stat.h>

namespace cvx {
namespace {

using test::TempDir;
using test::WriteBytes;

class RefCommandsTest : public testing::CliTest {
protected:
    void SetUp() override {
        testing::CliTest::SetUp();
        path_ = dir_.File("refs.ref");
        std::string text =
            test::JournalBlock("Id1", "M\xFCller, H. Smith, J.", "Gene \"expression\".",
                               "1998 (12(3)) pp 123-129", "Nature");
        text += test::JournalBlock("Id2", "Jones, K.", "Second.", "98 (1) pp 1", "Cell");
        text += " Id3\r\n Lee, L.\r\n A chapter.\r\n 2001 pp 5-9\r\n E: The Book\r\n Ed, E.\r\n"
                " Pub (City)\r\n\r\n";
        WriteBytes(path_, text);
    }

    TempDir dir_;
    std::string path_;
};

TEST_F(RefCommandsTest, ListShowsStatusTagAndShortForm) {
    ASSERT_EQ(Run({"tag", path_, "3"}).status, 0);
    const auto r = Run({"list", path_});
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out, "1 C - 1998 M\u00fcller, Smith: Gene \"expression\" Nature\n"
                     "2 S - 98 Jones: Second Cell\n"
                     "3 C * 2001 Lee: A chapter, The Book\n");
}

TEST_F(RefCommandsTest, ShowAsJson) {
    const auto r = Run({"show", path_, "1", "--json"});
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_NE(r.out.find("{\"number\": 1, \"status\": \"correct\", \"source_type\": \"journal\", "
                         "\"parts\": {\"identification\": \"Id1\""),
              std::string::npos)
        << r.out;
    EXPECT_NE(r.out.find("\"Authors\": \"M\u00fcller, H. Smith, J.\""), std::string::npos) << r.out;
    EXPECT_NE(r.out.find("\"Title\": \"Gene \\\"expression\\\"\""), std::string::npos) << r.out;
    EXPECT_NE(r.out.find("\"TranslBookTitle\": \"\"}}"), std::string::npos) << r.out;
    const auto chapter = Run({"show", path_, "3", "--json"});
    EXPECT_NE(chapter.out.find("\"source_type\": \"chapter\""), std::string::npos);
}

TEST_F(RefCommandsTest, BadArgumentsAndFiles) {
    struct Case {
        std::vector<std::string> args;
        int status;
        std::string errorPart;
    } cases[] = {
        {{"show", path_, "4"}, 1, "contains only 3 references"},
        {{"show", path_, "x"}, 1, "valid reference number"},
        {{"show", dir_.File("none.ref"), "1"}, 1, "There is no file with the name"},
        {{"list"}, 2, "Usage"},
        {{"frobnicate"}, 2, "Unknown command"},
        {{"list", path_, "--bogus"}, 2, "Usage"},
        {{"tag", path_, "99999999999999"}, 1, "represent valid reference sequences"},
        {{"reprint", path_, "apply", "RN"}, 1, "at least one digit"},
    };
    for (const auto& c : cases) {
        const auto r = Run(c.args);
        EXPECT_EQ(r.status, c.status) << c.args[0];
        EXPECT_NE(r.err.find(c.errorPart), std::string::npos) << r.err;
    }
    WriteBytes(dir_.File("empty.ref"), "\r\n");
    EXPECT_NE(Run({"list", dir_.File("empty.ref")}).err.find("is empty"), std::string::npos);
}

TEST_F(RefCommandsTest, EditingCommands) {
    ASSERT_EQ(Run({"reprint", path_, "apply", "RN001", "--current", "2"}).status, 0);
    EXPECT_NE(Run({"show", path_, "2", "--json"}).out.find("\"IdString\": \"RN001 Id2\""),
              std::string::npos);
    ASSERT_EQ(Run({"delete", path_, "1", "3"}).status, 0);
    EXPECT_EQ(Run({"list", path_}).out.substr(0, 14), "1 D - Deleted\n");
    const std::string other = dir_.File("other.ref");
    const auto appended = Run({"append", path_, other});
    ASSERT_EQ(appended.status, 0) << appended.err;
    EXPECT_EQ(Run({"list", other}).out, "1 S - 98 Jones: Second Cell\n");
    ASSERT_EQ(Run({"compress", path_}).status, 0);
    EXPECT_EQ(Run({"list", path_}).out, "1 S - 98 Jones: Second Cell\n");
    ASSERT_EQ(Run({"tag", path_, "1"}).status, 0);
    ASSERT_EQ(Run({"delete-tagged", path_}).status, 0);
    EXPECT_EQ(Run({"list", path_}).out, "1 D - Deleted\n");
}

// What is no reference file is refused with status 1, at once: a folder, a pipe, a device, a
// file of NUL bytes, a companion or backup (whose own companions are those of another file). So
// is a pipe given as a format file or as a manuscript: it is never waited on.
TEST_F(RefCommandsTest, RefusesWhatIsNoReferenceFile) {
    std::filesystem::create_directory(dir_.File("folder.ref"));
    const std::string fifo = dir_.File("pipe.ref");
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    const std::string fifoFormat = dir_.File("pipe.for");
    ASSERT_EQ(::mkfifo(fifoFormat.c_str(), 0600), 0);
    const std::string fifoManuscript = dir_.File("pipe.rtf");
    ASSERT_EQ(::mkfifo(fifoManuscript.c_str(), 0600), 0);
    WriteBytes(dir_.File("zeros.ref"), std::string(100000, '\0'));
    ASSERT_EQ(Run({"list", path_}).status, 0); // refs.map, refs.stp
    const std::string map = test::ReadBytes(dir_.File("refs.map"));
    std::filesystem::copy_file(path_, dir_.File("refs.bak"));
    WriteBytes(dir_.File("x.smp"), "tags of some file");
    const struct {
        std::vector<std::string> args;
        std::string errorPart;
    } cases[] = {
        {{"list", dir_.File("folder.ref")}, "folder"},
        {{"compress", dir_.File("folder.ref")}, "folder"},
        {{"tag", dir_.File("folder.ref"), "1"}, "folder"},
        {{"list", fifo}, "pipe"},
        {{"fix-line-ends", fifo}, "pipe"},
        {{"append", path_, fifo}, "pipe"},
        {{"list", "/dev/zero"}, "pipe"},
        {{"list", dir_.File("zeros.ref")}, "binary data"},
        {{"list", dir_.File("refs.bak")}, "refs-bak.ref"},
        {{"delete", dir_.File("refs.bak"), "2"}, "refs-bak.ref"},
        {{"tag", dir_.File("x.smp"), "1"}, "cannot be opened as a reference file"},
        {{"append", path_, dir_.File("x.smp")}, "cannot be opened as a reference file"},
        {{"render", path_, "1", "--format", fifoFormat}, "is not a format file"},
        {{"complete", fifoManuscript, "--format", CITAVOX_FORMATS_DIR "/apa.for"},
         "not a regular file"},
    };
    for (const auto& c : cases) {
        const auto start = std::chrono::steady_clock::now();
        const auto r = Run(c.args);
        EXPECT_EQ(r.status, 1) << c.args[0] << " " << c.args[1];
        EXPECT_NE(r.err.find(c.errorPart), std::string::npos) << r.err;
        EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(5));
    }
    EXPECT_EQ(test::ReadBytes(dir_.File("refs.map")), map);
    EXPECT_EQ(test::ReadBytes(dir_.File("refs.bak")), test::ReadBytes(path_));
    EXPECT_EQ(test::ReadBytes(dir_.File("x.smp")), "tags of some file");
}

// A journal-name database in the settings that is a pipe does not hold up listing.
TEST_F(RefCommandsTest, APipeAsJournalDatabaseIsNotWaitedOn) {
    const std::string fifo = dir_.File("journals.dat");
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    WriteConfig("[Specific%20files]\nJournalDatabase=" + fifo + "\n");
    const auto r = Run({"list", path_});
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_NE(r.out.find("2001 Lee"), std::string::npos);
}

TEST_F(RefCommandsTest, LineEndRepair) {
    const std::string lf = dir_.File("lf.ref");
    WriteBytes(lf, " Id\n Smith, J.\n T.\n 1998 (1) pp 1\n Nature\n\n");
    const auto refused = Run({"list", lf});
    EXPECT_EQ(refused.status, 1);
    EXPECT_NE(refused.err.find("LF-only"), std::string::npos) << refused.err;
    EXPECT_NE(refused.err.find("fix-line-ends"), std::string::npos) << refused.err;
    ASSERT_EQ(Run({"fix-line-ends", lf}).status, 0);
    EXPECT_EQ(Run({"list", lf}).out, "1 C - 1998 Smith: T Nature\n");
}

} // namespace
} // namespace cvx
