// Loading and compiling format files as a user names them, and rendering reference N of a
// reference file for each output.

#include "formats/RenderJob.h"
#include "formats/FormatFile.h"
#include "refstore/ReferenceJobs.h"
#include "support/FileBytes.h"
#include "support/ReferenceText.h"
#include "support/TempDir.h"
#include "text/LatexText.h"
#include "text/Markup.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace cvx {
namespace {

const std::string kStyles = CITAVOX_SOURCE_DIR "/data/formats";

TEST(LoadFormatFileTest, MissingAndForeignFilesAreRefused) {
    test::TempDir dir;
    const std::string saved = dir.File("mine.for");
    ASSERT_TRUE(WriteFormatFile(DefaultFormatRecord(), saved).ok());
    struct Case {
        std::string name;
        std::string messagePart; // empty: loads
    } cases[] = {
        {saved, ""},
        {"apa", ""}, // a style of the shipped library by its name
        {"apa.for", ""},
        {dir.File("missing.for"), "does not exist"},
        {"no-such-style", "does not exist"},
        {dir.Write("text.for", std::string(3000, 'x')), "is not a format file"},
        {dir.Write("short.for", "FORMAT"), "is not a format file"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TFormatDesc desc;
        const Outcome r = LoadFormatFile(desc, c.name);
        if (c.messagePart.empty()) {
            EXPECT_TRUE(r.ok()) << r.message();
            EXPECT_FALSE(desc.FileName().empty());
        } else {
            EXPECT_FALSE(r.ok());
            EXPECT_NE(r.message().find(c.messagePart), std::string::npos) << r.message();
        }
    }
}

TEST(CompileFormatFileTest, CompilesOrSaysWhereNot) {
    test::TempDir dir;
    const std::string target = dir.File("apa.for");
    ASSERT_TRUE(CompileFormatFile(kStyles + "/apa.txt", target).ok());
    TFormatDesc desc;
    EXPECT_TRUE(LoadFormatFile(desc, target).ok());

    const Outcome missing = CompileFormatFile(dir.File("none.txt"), dir.File("none.for"));
    EXPECT_NE(missing.message().find("There is no file"), std::string::npos) << missing.message();
    const std::string bad = dir.Write("bad.txt", "not a description\n");
    const Outcome wrong = CompileFormatFile(bad, dir.File("bad.for"));
    EXPECT_EQ(wrong.message().rfind(bad + ": ", 0), 0u) << wrong.message();
    EXPECT_NE(wrong.message().find("Line 1"), std::string::npos) << wrong.message();
    EXPECT_FALSE(std::filesystem::exists(dir.File("none.for")));
    EXPECT_FALSE(std::filesystem::exists(dir.File("bad.for")));
}

class RenderJobTest : public ::testing::Test {
protected:
    void SetUp() override {
        const std::string path = dir_.Write(
            "refs.ref", test::JournalBlock("Id1", "Smith, J. Jones, K. Brown, L. Lee, M.",
                                           "A title.", "1998 (12(3)) pp 123-129", "Nature"));
        ASSERT_TRUE(OpenReferenceFile(file_, path, nullptr).ok());
        ASSERT_TRUE(LoadFormatFile(desc_, "apa").ok());
    }

    std::string Render(RenderOutput output, bool longForm = true) {
        std::string text;
        EXPECT_TRUE(RenderStoredReference(file_, 1, desc_, longForm, output, {}, text).ok());
        return text;
    }

    test::TempDir dir_;
    TReferenceFile file_;
    TFormatDesc desc_;
};

TEST_F(RenderJobTest, EachOutputConvertsTheCodes) {
    const std::string codes = Render(RenderOutput::Codes);
    EXPECT_NE(codes.find("#I"), std::string::npos) << codes;
    EXPECT_EQ(Render(RenderOutput::Plain), CodesToPlainText(codes));
    EXPECT_EQ(Render(RenderOutput::Rtf), CodesToRtf(codes));
    // LaTeX output asks the renderer for the et-al markers and resolves them.
    const std::string citation = Render(RenderOutput::Latex, false);
    EXPECT_NE(citation.find("et al."), std::string::npos) << citation;
    EXPECT_EQ(citation.find(kItalicEtAlMarker), std::string::npos);
    EXPECT_EQ(citation.find('#'), std::string::npos) << citation;
    EXPECT_EQ(ConvertRendered("#Ia#I", RenderOutput::Codes), "#Ia#I");

    std::string text;
    EXPECT_FALSE(RenderStoredReference(file_, 2, desc_, true, RenderOutput::Plain, {}, text).ok());
}

TEST_F(RenderJobTest, LabelFollowsTheClipboardSetting) {
    std::string label;
    ASSERT_TRUE(LabelOfReference(file_, 1, {}, label).ok());
    EXPECT_EQ(label, "Smith #Iet al.#I, 1998");
    RenderOptions plain;
    plain.suppressRtf = true;
    ASSERT_TRUE(LabelOfReference(file_, 1, plain, label).ok());
    EXPECT_EQ(label, "Smith et al., 1998");
    EXPECT_FALSE(LabelOfReference(file_, 0, {}, label).ok());
}

} // namespace
} // namespace cvx
