// citavox-cli render, label and format: exit statuses and output, on a copy of the format tests'
// reference file (opening it writes its companions) with relative names, as a user types them.

#include "CliRunner.h"
#include "support/FileBytes.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <regex>

namespace cvx {
namespace {

const std::string kStyles = CITAVOX_FORMATS_DIR;
const std::string kDescriptions = CITAVOX_SOURCE_DIR "/data/formats";

class FormatCommandsTest : public testing::CliTest {
protected:
    void SetUp() override {
        CliTest::SetUp();
        std::filesystem::copy_file(CITAVOX_TEST_DATA "/formats/styles.ref",
                                   dir.Path() / "styles.ref");
        dir.Write("broken.txt", "citavox-format 1\n[citations]\nshort-form sometimes\n");
    }

    test::TempDir dir;
};

TEST_F(FormatCommandsTest, StatusAndOutput) {
    struct Case {
        std::vector<std::string> args;
        int status;
        std::string pattern; // searched in standard output and error together
    };
    const Case cases[] = {
        {{"render", "styles.ref", "1", "--format", "missing.for"},
         1,
         R"(The format file "missing.for" does not exist)"},
        {{"render", "styles.ref", "1", "--format", "styles.ref"},
         1,
         R"(The file "styles.ref" is not a format file)"},
        {{"render", "styles.ref", "1", "--format", kStyles + "/vancouver.for"},
         0,
         "^Halpern SD, Ubel PA, Caplan AL. Solid-organ"},
        // A bare name is a style of the shipped library.
        {{"render", "styles.ref", "1", "--format", "vancouver"},
         0,
         "^Halpern SD, Ubel PA, Caplan AL. Solid-organ"},
        {{"render", "styles.ref", "1", "--format", kStyles + "/apa.for", "--short", "--as",
          "plain"},
         0,
         "^Halpern et al., 2002\n$"},
        {{"render", "styles.ref", "6", "--format", kStyles + "/nature.for", "--latex"},
         0,
         R"(Rose, M. E. et al.\\ Regulation)"}, // one blank before "et al."
        {{"render", "styles.ref", "1", "--format", kStyles + "/apa.for", "--as", "pdf"}, 2, ""},
        {{"label", "styles.ref", "1"}, 0, "^Halpern, Ubel & Caplan, 2002\n$"},
        {{"format", "new", "new.for"}, 0, "Wrote new.for"},
        {{"format", "compile", kDescriptions + "/nature.txt", "-o", "compiled.for"},
         0,
         "Wrote compiled.for"},
        {{"format", "compile", "broken.txt", "-o", "broken.for"},
         1,
         R"(broken.txt: Line 3: "sometimes" is not a value)"},
    };
    for (const Case& c : cases) {
        const testing::CliResult r = Run(c.args, dir.Path().string());
        EXPECT_EQ(r.status, c.status) << c.args[0] << " " << c.args.back() << "\n" << r.err;
        EXPECT_TRUE(std::regex_search(r.out + r.err, std::regex(c.pattern)))
            << c.args[0] << " " << c.args.back() << ": " << r.out << r.err;
    }
}

TEST_F(FormatCommandsTest, DumpGivesTheDescriptionTheFormatWasCompiledFrom) {
    const testing::CliResult r = Run({"format", "dump", kStyles + "/default.for"});
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out, test::ReadBytes(kDescriptions + "/default.txt"));
}

} // namespace
} // namespace cvx
