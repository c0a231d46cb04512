#include "CliRunner.h"
#include "support/FileBytes.h"
#include "support/ReferenceText.h"
#include "support/SharedSamples.h"
#include "support/TempDir.h"

#include <filesystem>
#include <gtest/gtest.h>

namespace cvx {
namespace {

using test::TempDir;

class ImportCommandsTest : public testing::CliTest {};

const std::string kSamples = test::SamplePath("");

TEST_F(ImportCommandsTest, ImportsAndPrintsTheCounters) {
    CITAVOX_SKIP_WITHOUT_SAMPLES();
    TempDir dir;
    const std::string out = dir.File("out.ref");
    auto r = Run(
        {"import", kSamples + "medline/jabref_MedlinePlainImporterTestMultipleEntries.txt", out});
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_TRUE(r.out.starts_with("Written: 2\nIncomplete: 0\nQuestioned: 0\nDumped: 5\n"
                                  "Error dump file: "))
        << r.out;
    EXPECT_NE(r.out.find("Citavox/dumps/import-errors.dmp"), std::string::npos);

    // A second import onto the same reference file replaces it only when asked to, keeping the
    // old text as the backup.
    const std::string first = test::ReadBytes(out);
    r = Run({"import", kSamples + "ris/asreview_embase.ris", out, "--type", "ris-embase"});
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.err.find("--replace"), std::string::npos) << r.err;
    EXPECT_EQ(test::ReadBytes(out), first);
    r = Run({"import", kSamples + "ris/asreview_embase.ris", out, "--json", "--type", "ris-embase",
             "--replace"});
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out, "{\"type\": \"ris-embase\", \"written\": 6, \"incomplete\": 0, "
                     "\"questioned\": 0, \"dumped\": 0, \"dump_file\": null}\n");
    EXPECT_EQ(test::ReadBytes(dir.File("out.bak")), first);
}

// The dumps folder of the settings, the default when none is stored or it is stored blank.
TEST_F(ImportCommandsTest, DumpsGoToTheSettingsDumpsFolder) {
    CITAVOX_SKIP_WITHOUT_SAMPLES();
    TempDir dir;
    const std::string source =
        kSamples + "medline/jabref_MedlinePlainImporterTestMultipleEntries.txt";
    const std::string defaultDump = Home() + "/Documents/Citavox/dumps/import-errors.dmp";
    const struct {
        std::string config;
        std::string dumpFile;
    } cases[] = {
        {"", defaultDump},
        {"[Default%20directories]\nDumpDir=\n", defaultDump},
        {"[Default%20directories]\nDumpDir=" + dir.File("mine") + "\n",
         dir.File("mine/import-errors.dmp")},
    };
    for (const auto& c : cases) {
        WriteConfig(c.config);
        const auto r = Run({"import", source, dir.File("out.ref"), "--replace"});
        ASSERT_EQ(r.status, 0) << r.err;
        EXPECT_NE(r.out.find("Error dump file: " + c.dumpFile), std::string::npos) << r.out;
        EXPECT_NE(test::ReadBytes(c.dumpFile).find("FED - Some Editor"), std::string::npos)
            << c.dumpFile;
    }
}

TEST_F(ImportCommandsTest, AppendWithACommonLabel) {
    CITAVOX_SKIP_WITHOUT_SAMPLES();
    TempDir dir;
    const std::string out = dir.File("refs.ref");
    test::WriteBytes(out, test::NumberedFile(2));
    auto r = Run({"import", kSamples + "wos/jabref_IsiImporterTest1.isi", out, "--append",
                  "--label", "Imported \u03b2"});
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_NE(test::ReadBytes(out).find("\r\n Imported #Gb#G\r\n"), std::string::npos);
    r = Run({"list", out});
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_NE(r.out.find("Title number 1 Journal of Tests"), std::string::npos) << r.out;
    EXPECT_NE(r.out.find("3 C - 2006 Brown"), std::string::npos) << r.out;
}

TEST_F(ImportCommandsTest, ListTypesAndDetect) {
    auto r = Run({"import", "--list-types"});
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_NE(r.out.find("ris             Reference managers: RIS\n"), std::string::npos) << r.out;
    EXPECT_NE(r.out.find("medline         NCBI: PubMed (MEDLINE tagged)\n"), std::string::npos);

    CITAVOX_SKIP_WITHOUT_SAMPLES();
    r = Run({"detect", kSamples + "wos/wosfile_wos_plaintext.txt"});
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.out, "wos\n");
    r = Run({"detect", kSamples + "wos/uvt_savedrecs_tab-delimited.txt"});
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.err.find("was not recognised"), std::string::npos);
}

TEST_F(ImportCommandsTest, WrongArgumentsAndFiles) {
    CITAVOX_SKIP_WITHOUT_SAMPLES();
    TempDir dir;
    const std::string out = dir.File("out.ref");
    struct Case {
        std::vector<std::string> args;
        int status;
        std::string errorPart;
    } cases[] = {
        {{"import", kSamples + "ris/asreview_embase.ris"}, 2, "Usage"},
        {{"import", "a", "b", "--bogus"}, 2, "Usage"},
        {{"import", "a", "b", "--type"}, 2, "Usage"},
        {{"detect"}, 2, "Usage"},
        {{"import", kSamples + "ris/asreview_embase.ris", out, "--type", "nope"},
         1,
         "Unknown source type \"nope\""},
        {{"import", dir.File("missing.ris"), out}, 1, "cannot be read"},
        {{"import", dir.File("missing.ris"), out, "--type", "ris"}, 1, "cannot be read"},
        {{"import", kSamples + "wos/uvt_savedrecs_tab-delimited.txt", out},
         1,
         "was not recognised"},
        {{"import", kSamples + "ris/asreview_embase.ris", dir.File("no-dir/out.ref")},
         1,
         "cannot be written"},
        {{"import", kSamples + "ovid/jabref_OvidImporterTest1.txt", out, "--type", "ris"},
         1,
         "No reference of this source type was found"},
        {{"import", "/dev/zero", out}, 1, "is not a regular file"},
        {{"import", "/dev/zero", out, "--type", "ris"}, 1, "is not a regular file"},
        {{"detect", "/dev/zero"}, 1, "is not a regular file"},
        {{"import", kSamples + "ris/asreview_embase.ris", out, "--append", "--replace"},
         2,
         "Usage"},
    };
    for (const Case& c : cases) {
        const auto r = Run(c.args);
        EXPECT_EQ(r.status, c.status) << c.args[0] << " " << r.err;
        EXPECT_NE(r.err.find(c.errorPart), std::string::npos) << r.err;
    }
}

// Every reference was dumped (a record without a title is): nothing was written, which is a
// failure (status 1) with the counters.
TEST_F(ImportCommandsTest, NothingWrittenIsAFailure) {
    TempDir dir;
    const std::string source =
        dir.Write("untitled.enw", "%0 Journal Article\n%A Smith, J\n%D 2001\n\n");
    const std::string out = dir.File("out.ref");
    const auto r = Run({"import", source, out, "--type", "refer"});
    EXPECT_EQ(r.status, 1) << r.out;
    EXPECT_NE(r.out.find("Written: 0\n"), std::string::npos) << r.out;
    EXPECT_NE(r.out.find("Dumped: 1\n"), std::string::npos) << r.out;
    EXPECT_NE(r.err.find("No reference was written"), std::string::npos) << r.err;
    EXPECT_FALSE(std::filesystem::exists(out));
}

// The download itself, by its name, a link or a hard link, is never the destination.
TEST_F(ImportCommandsTest, TheDownloadIsNeverOverwritten) {
    TempDir dir;
    const std::string ris = "TY  - JOUR\nTI  - A title\nAU  - Smith, J\nJO  - Nature\n"
                            "PY  - 2001\nVL  - 1\nSP  - 1\nER  -\n";
    const std::string source = dir.Write("refs.ris", ris);
    std::filesystem::create_symlink(source, dir.File("link.ref"));
    std::filesystem::create_hard_link(source, dir.File("hard.ref"));
    for (const std::string& destination : {source, dir.File("link.ref"), dir.File("hard.ref")}) {
        for (const char* mode : {"--append", "--replace"}) {
            const auto r = Run({"import", source, destination, "--type", "ris", mode});
            EXPECT_EQ(r.status, 1) << destination;
            EXPECT_NE(r.err.find("is the download itself"), std::string::npos) << r.err;
        }
    }
    EXPECT_EQ(test::ReadBytes(source), ris);
}

} // namespace
} // namespace cvx
