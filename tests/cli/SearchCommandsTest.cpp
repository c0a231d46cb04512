// The search verbs as outside scripts use them: search in its modes and output shapes, the
// index build and the index state.

#include "CliRunner.h"
#include "support/FileBytes.h"
#include "support/ReferenceText.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

namespace cvx {
namespace {

class SearchCommandsTest : public testing::CliTest {
protected:
    void SetUp() override {
        testing::CliTest::SetUp();
        path_ = dir_.Write(
            "refs.ref",
            test::JournalBlock("A1", "M\xFCller, H.", "Cardiac genes.", "1985 (3) pp 1-9",
                               "Nature") +
                test::JournalBlock("A2", "Smith, J.", "Endocardium.", "1990 (4) pp 2", "Lancet") +
                test::JournalBlock("A3", "Smith, K.", "Heart.", "2001 (5) pp 3", "Lancet"));
    }

    test::TempDir dir_;
    std::string path_;
};

TEST_F(SearchCommandsTest, SearchPrintsTheMatchesInFileOrder) {
    auto r = Run({"search", path_, "card"});
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out, "1\n2\n");
    r = Run({"search", path_, "AU(smith) AND NOT(TI(heart))", "--json"});
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out, "{\"matches\": [2], \"hit_words\": [\"SMITH\", \"HEART\"]}\n");
    r = Run({"search", path_, "muller"});
    EXPECT_EQ(r.out, "");
    r = Run({"search", path_, "muller", "--ignore-diacritics"});
    EXPECT_EQ(r.out, "1\n");
    r = Run({"search", path_, "lancet", "--get", "--from", "2"});
    EXPECT_EQ(r.out, "3\n");
    r = Run({"search", path_, "lancet", "--get", "--from", "3"});
    EXPECT_EQ(r.out, "2\n") << "getting wraps round";
}

TEST_F(SearchCommandsTest, TagSavesTheTags) {
    ASSERT_EQ(Run({"search", path_, "lancet", "--tag"}).status, 0);
    const auto r = Run({"list", path_});
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_NE(r.out.find("2 C *"), std::string::npos) << r.out;
    EXPECT_NE(r.out.find("1 C -"), std::string::npos) << r.out;
}

TEST_F(SearchCommandsTest, ACompileErrorShowsWhereItIs) {
    const auto r = Run({"search", path_, "heart AND OR genes"});
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.out, "");
    EXPECT_NE(r.err.find("AND, OR and XOR must be separated by text strings."), std::string::npos);
    EXPECT_NE(r.err.find("At character 11"), std::string::npos) << r.err;
    EXPECT_NE(r.err.find("heart AND OR genes\n          ^"), std::string::npos) << r.err;
}

TEST_F(SearchCommandsTest, IndexAndIndexedSearch) {
    auto r = Run({"index-state", path_});
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out, "0\n");
    EXPECT_EQ(Run({"search", path_, "card", "--indexed"}).status, 1);
    r = Run({"index", path_, "--fields", "au,ti,yvp,text"});
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_NE(r.out.find("Indexed 3 references"), std::string::npos) << r.out;
    EXPECT_EQ(Run({"index-state", path_}).out, "1\n");
    EXPECT_EQ(Run({"index-state", path_, "--fields", "so"}).out, "0\n");
    // A prefix of words, not a substring: endocardium is not found.
    EXPECT_EQ(Run({"search", path_, "card", "--indexed"}).out, "1\n");
    EXPECT_EQ(Run({"search", path_, "YVP(1985-1990)", "--indexed", "--json"}).out,
              "{\"matches\": [1, 2], \"hit_words\": [\"1985-1990\"]}\n");
    r = Run({"search", path_, "NEAR(heart, genes)", "--indexed"});
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.err.find("NEAR() operator cannot be used"), std::string::npos);
    r = Run({"search", path_, "SO(lancet)", "--indexed"});
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.err.find("The SO() operator is not available"), std::string::npos);
    // References appended since are not found, and the state says the index is incomplete.
    std::string text = test::ReadBytes(path_);
    test::WriteBytes(path_,
                     text + test::JournalBlock("A4", "Smith, L.", "Cardiology.", "2002", "Lancet"));
    EXPECT_EQ(Run({"index-state", path_}).out, "2\n");
    EXPECT_EQ(Run({"search", path_, "card", "--indexed"}).out, "1\n");
}

TEST_F(SearchCommandsTest, WrongArguments) {
    EXPECT_EQ(Run({"search", path_}).status, 2);
    EXPECT_EQ(Run({"search", path_, "x", "--tag", "--locate"}).status, 2);
    EXPECT_EQ(Run({"search", path_, "x", "--from", "2"}).status, 2);
    EXPECT_EQ(Run({"index", path_, "--fields", "au,xyz"}).status, 1);
    EXPECT_EQ(Run({"index-state"}).status, 2);
}

} // namespace
} // namespace cvx
