// The scanning search over a file: field scopes by line and reference kind, NEAR's distance, the
// simple expressions, the three modes with narrowing and wrapping, and the failures.

#include "SearchFixture.h"
#include "refstore/ReferenceFile.h"
#include "search/SearchFile.h"
#include "support/TempDir.h"
#include "text/Catalogue.h"
#include "text/Progress.h"

#include <gtest/gtest.h>

namespace cvx {
namespace {

using test::ChapterBlock;
using test::JournalBlock;
using test::MonographBlock;

// Reference numbers (1-based) of the fixture below.
std::string Fixture() {
    return JournalBlock("J1", "Smith, J.; Jones, A.", "Heart  failure in review.",
                        "1998 (12(3)) pp 1-9",
                        "Lancet") + // 1
           JournalBlock("J2", "Jones, A.", "Heart rate failure.", "1985 (4) pp 20-29", "Nature",
                        "A review of smith's work on cardiology.") + // 2
           ChapterBlock("C3", "Brown, C.", "Chapter on catalysis.", "1990 pp 30-39", "Handbook",
                        "Smith, P. (ed)", "Springer (Berlin)", "Comment on M\xFCller.") + // 3
           MonographBlock("M4",
                          "Garc\xED"
                          "a, F.",
                          "Monograph of caf\xE9s.", "2001 pp 400", "Series",
                          "Elsevier (Springer City)") +                                       // 4
           JournalBlock("J5", "Smithson, K.", "Cats and dogs.", "1998 (1) pp 5-6", "J Zool"); // 5
}

class ScanSearchTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(file_.Open(dir_.Write("refs.ref", Fixture())).ok()); }

    // The references (1-based) tagged by a search from a clean state.
    std::vector<int> Tag(std::string_view expression, bool ignoreDiacritics = false) {
        file_.TaggedSet().ClearAll();
        SearchResult result;
        const Outcome r =
            SearchFile(file_, expression, SearchMode::Tag, ignoreDiacritics, nullptr, result);
        EXPECT_TRUE(r.ok()) << expression << ": " << r.message();
        std::vector<int> tagged;
        for (int i = 0; i < file_.RefCount(); ++i) {
            if (file_.TaggedSet().Test(i)) {
                tagged.push_back(i + 1);
            }
        }
        return tagged;
    }

    test::TempDir dir_;
    TReferenceFile file_;
};

using Refs = std::vector<int>;

TEST_F(ScanSearchTest, ExpressionsMatchTheirReferences) {
    const struct {
        std::string_view expression;
        Refs tagged;
    } cases[] = {
        // simple: required and alternative words, substrings without word boundaries
        {"smith|@1998", {1, 5}},
        {"smith|jones", {1, 2, 3, 5}},
        {"@smith|@1998", {1, 5}},
        {"cat", {3, 5}},
        // Boolean, scoped by line
        {"AU(smith) AND NOT(TI(review))", {5}},
        {"AU(smith)", {1, 5}},
        {"TI(review)", {1}},
        {"review", {1, 2}},
        {"AB(review)", {2}},
        {"AB(heart)", {}},
        {"ID(J)", {1, 2, 5}},
        {"YVP(1998)", {1, 5}},
        {"SO(handbook) OR SO(series)", {3, 4}},
        {"ED(smith)", {3}},
        {"PU(springer)", {3}},
        {"CI(springer)", {4}},
        {"CI(berlin) OR PU(elsevier)", {3, 4}},
        {"AB(m\xFCller)", {3}},
        // grouping: a OR (b AND c) against (a AND b) OR c
        {"cats OR heart AND nature", {2, 5}},
        {"cats AND heart OR nature", {2}},
        {"NOT(smith) XOR cat", {3, 4, 5}},
        // lists and NEAR: the distance counts bytes of the stored text
        {"ANY(dogs, catalysis)", {3, 5}},
        {"ALL(heart, lancet)", {1}},
        {"NONE(heart, cat)", {4}},
        {"NEAR(heart, failure, 3)", {1}},
        {"NEAR(heart, failure, 6)", {1, 2}},
        {"NEAR(heart, failure)", {1, 2}},
        {"ANY(\"heart  failure\", zoo)", {1, 5}},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(Tag(c.expression), c.tagged) << c.expression;
    }
}

TEST_F(ScanSearchTest, DiacriticsAreIgnoredOnlyWhenAsked) {
    EXPECT_EQ(Tag("muller"), Refs{});
    EXPECT_EQ(Tag("muller", true), Refs{3});
    EXPECT_EQ(Tag("M\xDCLLER"), Refs{3});
    EXPECT_EQ(Tag("garcia|cafe", true), Refs{4});
}

TEST_F(ScanSearchTest, TaggedAndLocatedTestTheSets) {
    file_.LocatedSet().Set(1);
    EXPECT_EQ(Tag("LOCATED OR cats"), (Refs{2, 5}));
    // A Boolean search clears the marks of the references it does not match.
    file_.TaggedSet().ClearAll();
    file_.TaggedSet().Set(0);
    SearchResult result;
    ASSERT_TRUE(
        SearchFile(file_, "TAGGED AND heart", SearchMode::Locate, false, nullptr, result).ok());
    EXPECT_EQ(result.matches, std::vector<int>{0});
    EXPECT_TRUE(file_.LocatedSet().Test(0));
    EXPECT_FALSE(file_.LocatedSet().Test(1));
}

TEST_F(ScanSearchTest, SimpleLocateAndGetWithoutAlternativesNarrowTheTags) {
    file_.TaggedSet().Set(0);
    file_.TaggedSet().Set(1);
    file_.TaggedSet().Set(4);
    file_.LocatedSet().Set(0);
    file_.LocatedSet().Set(1);
    SearchResult result;
    // Only tagged references are examined: a match is marked, a non-match loses its mark and
    // untagged references keep theirs.
    file_.LocatedSet().Set(2);
    ASSERT_TRUE(SearchFile(file_, "@1998", SearchMode::Locate, false, nullptr, result).ok());
    EXPECT_EQ(result.matches, (std::vector<int>{0, 4}));
    EXPECT_TRUE(file_.LocatedSet().Test(0));
    EXPECT_FALSE(file_.LocatedSet().Test(1));
    EXPECT_TRUE(file_.LocatedSet().Test(2));
    EXPECT_TRUE(file_.LocatedSet().Test(4));
    // Getting examines only tagged references too.
    ASSERT_TRUE(file_.GoTo(0).ok());
    ASSERT_TRUE(SearchFile(file_, "@J", SearchMode::Get, false, nullptr, result).ok());
    EXPECT_EQ(result.current, 1);
    ASSERT_TRUE(SearchFile(file_, "@J", SearchMode::Get, false, nullptr, result).ok());
    EXPECT_EQ(result.current, 4) << "J5 is tagged, C3 and M4 are not";
}

TEST_F(ScanSearchTest, GetFindsTheNextMatchAndWraps) {
    ASSERT_TRUE(file_.GoTo(4).ok()); // J5, the last one
    SearchResult result;
    ASSERT_TRUE(SearchFile(file_, "heart", SearchMode::Get, false, nullptr, result).ok());
    EXPECT_TRUE(result.found);
    EXPECT_EQ(result.current, 0);
    EXPECT_EQ(file_.CurrentPosition(), 0);
    EXPECT_TRUE(result.wrapped) << "past the end to the first";
    ASSERT_TRUE(SearchFile(file_, "heart", SearchMode::Get, false, nullptr, result).ok());
    EXPECT_EQ(result.current, 1);
    EXPECT_FALSE(result.wrapped);
    // The current reference is examined last: the only match is found from itself.
    ASSERT_TRUE(SearchFile(file_, "dogs", SearchMode::Get, false, nullptr, result).ok());
    EXPECT_FALSE(result.wrapped) << "from J2 on to J5";
    ASSERT_TRUE(SearchFile(file_, "dogs", SearchMode::Get, false, nullptr, result).ok());
    EXPECT_EQ(result.current, 4);
    EXPECT_TRUE(result.wrapped);
    ASSERT_TRUE(SearchFile(file_, "zebra", SearchMode::Get, false, nullptr, result).ok());
    EXPECT_FALSE(result.wrapped) << "nothing found";
}

TEST_F(ScanSearchTest, NoMatchKeepsTheCurrentReferenceAndSaysSo) {
    ASSERT_TRUE(file_.GoTo(2).ok());
    for (const SearchMode mode : {SearchMode::Tag, SearchMode::Get, SearchMode::Locate}) {
        SearchResult result;
        ASSERT_TRUE(SearchFile(file_, "zebra", mode, false, nullptr, result).ok());
        EXPECT_FALSE(result.found);
        EXPECT_EQ(file_.CurrentPosition(), 2);
        EXPECT_EQ(result.notice.empty(), mode == SearchMode::Locate);
    }
    SearchResult result;
    ASSERT_TRUE(SearchFile(file_, "cats", SearchMode::Tag, false, nullptr, result).ok());
    EXPECT_EQ(result.current, 4);
    EXPECT_TRUE(result.showHits);
    EXPECT_EQ(result.hitWords, std::vector<std::string>{"CATS"});
}

TEST_F(ScanSearchTest, CompileErrorsChangeNothing) {
    file_.TaggedSet().Set(3);
    SearchResult result;
    const Outcome r = SearchFile(file_, "(heart AND cat", SearchMode::Tag, false, nullptr, result);
    ASSERT_FALSE(r.ok());
    EXPECT_EQ(r.message(), Message(msg::Searching::LackingClosing));
    EXPECT_EQ(file_.TaggedSet().Count(), 1);
    EXPECT_FALSE(SearchFile(file_, " || ", SearchMode::Tag, false, nullptr, result).ok());
}

TEST_F(ScanSearchTest, AnAbortStopsTheScan) {
    ASSERT_TRUE(file_.Open(dir_.Write("many.ref", test::NumberedFile(1000))).ok());
    Progress progress;
    progress.RequestAbort();
    SearchResult result;
    const Outcome r = SearchFile(file_, "heart", SearchMode::Tag, false, &progress, result);
    EXPECT_TRUE(r.aborted());
}

TEST_F(ScanSearchTest, DeletedReferencesNeverMatch) {
    ASSERT_TRUE(file_.GoTo(0).ok());
    ASSERT_TRUE(file_.DeleteCurrent().ok());
    EXPECT_EQ(Tag("heart"), Refs{2});
}

} // namespace
} // namespace cvx
