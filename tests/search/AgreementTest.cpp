// The scanning and the indexed search side by side on a generated file: they agree on whole words
// in every field, lists, years and diacritics, and differ exactly where one reads substrings of
// the stored text and the other word prefixes (or year ranges) of the index.

#include "SearchFixture.h"
#include "refstore/ReferenceFile.h"
#include "search/IndexedSearch.h"
#include "search/SearchFile.h"
#include "search/WordIndexBuilder.h"
#include "search/WordIndexFormat.h"
#include "support/TempDir.h"
#include "text/Catalogue.h"

#include <algorithm>
#include <gtest/gtest.h>

namespace cvx {
namespace {

enum class Expect {
    Same,           // both find the same, non-empty set
    ScanFindsMore,  // substrings inside words, or years written in another part of the text
    IndexFindsMore, // a phrase or year range that the stored text does not hold as typed
    IndexRefuses,   // NEAR()
};

struct Row {
    std::string_view expression;
    Expect expect;
    bool ignoreDiacritics = true;
};

constexpr Row kRows[] = {
    // one word, as a prefix of words
    {"heart", Expect::Same},
    {"hearts", Expect::Same},
    {"heartbeat", Expect::Same},
    {"failure", Expect::Same},
    {"cardiology", Expect::Same},
    {"card", Expect::ScanFindsMore}, // endocardium
    {"ology", Expect::ScanFindsMore},
    {"gene", Expect::Same},
    {"lancet", Expect::Same},
    {"smith", Expect::Same},
    // simple lists
    {"heart|cancer", Expect::Same},
    {"@heart|@failure", Expect::Same},
    {"smith|@review", Expect::Same},
    {"@breast|therapy|gene", Expect::Same},
    {"jones|brown|nguyen", Expect::Same},
    // Boolean
    {"heart AND failure", Expect::Same},
    {"heart OR cancer", Expect::Same},
    {"heart XOR review", Expect::Same},
    {"NOT(heart)", Expect::Same},
    {"cancer AND NOT(breast)", Expect::Same},
    {"(heart OR cancer) AND (review OR therapy)", Expect::Same},
    {"gene AND therapy OR cardiology", Expect::Same},
    {"heartbeat OR hearts OR failure OR gene OR review", Expect::Same},
    {"NOT(NOT(cancer))", Expect::Same},
    // field scopes
    {"AU(smith)", Expect::Same},
    {"AU(jones) AND TI(heart)", Expect::Same},
    {"TI(cardiac)", Expect::Same},
    {"TI(review) OR AB(review)", Expect::Same},
    {"AB(cancer)", Expect::Same},
    {"SO(lancet) AND TI(gene)", Expect::Same},
    {"SO(handbook)", Expect::Same},
    {"ED(smith)", Expect::Same},
    {"PU(springer)", Expect::Same},
    {"CI(berlin)", Expect::Same},
    {"CI(london) OR PU(elsevier)", Expect::Same},
    {"AU(smith) AND NOT(TI(review))", Expect::Same},
    {"AU(son)", Expect::ScanFindsMore}, // Smithson, Nguyen? only inside words
    // lists of whole words
    {"ANY(cancer, review)", Expect::Same},
    {"ALL(breast, failure)", Expect::Same},
    {"NONE(cancer, review)", Expect::Same},
    {"ANY(heart, cancer)", Expect::ScanFindsMore}, // hearts and heartbeat are other words
    {"ALL(heart, failure)", Expect::ScanFindsMore},
    {"NONE(heart, cancer)", Expect::IndexFindsMore},
    {"ANY(smith) AND ANY(gene)", Expect::ScanFindsMore}, // Smithson is no whole word smith
    {"ALL(hearts, review)", Expect::Same},
    // years
    {"YVP(1995)", Expect::Same},
    {"YVP(1990) OR YVP(1991)", Expect::Same},
    {"YVP(1985-1990)", Expect::IndexFindsMore},
    {"1990-95", Expect::IndexFindsMore},
    {"YVP(>2005)", Expect::IndexFindsMore},
    {"AU(jones) AND YVP(<1985)", Expect::IndexFindsMore},
    // diacritics: the index always folds them; the scan when asked
    {"muller", Expect::Same},
    {"ostergaard", Expect::IndexFindsMore}, // the scan keeps the slashed O
    {"AU(garcia)", Expect::Same},
    {"cafe", Expect::Same},
    {"muller", Expect::IndexFindsMore, false},
    {"M\xFCller", Expect::Same, false},
    {"cafe OR ostergaard", Expect::IndexFindsMore, false},
    // phrases: the scan reads them as typed, the index as words that all occur
    {"\"heart failure\"", Expect::IndexFindsMore},
    // NEAR
    {"NEAR(heart, failure)", Expect::IndexRefuses},
    {"NEAR(gene, therapy, 2) OR cancer", Expect::IndexRefuses},
};

class AgreementTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        dir_ = new test::TempDir;
        path_ = new std::string(dir_->Write("gen.ref", test::GeneratedFile(400)));
        ASSERT_TRUE(CreateWordIndex(FileSystem::Default(), *path_, kIndexableMask, nullptr).ok());
    }
    static void TearDownTestSuite() {
        delete path_;
        delete dir_;
    }

    static test::TempDir* dir_;
    static std::string* path_;
};

test::TempDir* AgreementTest::dir_ = nullptr;
std::string* AgreementTest::path_ = nullptr;

bool IsSubset(const std::vector<int>& a, const std::vector<int>& b) {
    return std::includes(b.begin(), b.end(), a.begin(), a.end());
}

TEST_F(AgreementTest, ScanningAndIndexedSearchAgreeWhereTheyShould) {
    static_assert(std::size(kRows) >= 50);
    TReferenceFile file;
    ASSERT_TRUE(file.Open(*path_).ok());
    for (const Row& row : kRows) {
        SCOPED_TRACE(row.expression);
        file.TaggedSet().ClearAll();
        SearchResult scanned;
        ASSERT_TRUE(SearchFile(file, row.expression, SearchMode::Tag, row.ignoreDiacritics, nullptr,
                               scanned)
                        .ok());
        file.TaggedSet().ClearAll();
        SearchResult indexed;
        const Outcome r =
            IndexedSearch(file, row.expression, SearchMode::Tag, {}, nullptr, indexed);
        if (row.expect == Expect::IndexRefuses) {
            EXPECT_FALSE(r.ok());
            EXPECT_EQ(r.message(), Message(msg::RefWin::NearNotIndexed));
            EXPECT_FALSE(scanned.matches.empty());
            continue;
        }
        ASSERT_TRUE(r.ok()) << r.message();
        // Both mark the same words in the displayed text.
        if (row.ignoreDiacritics) {
            EXPECT_EQ(indexed.hitWords, scanned.hitWords);
        }
        const std::vector<int>& s = scanned.matches;
        const std::vector<int>& i = indexed.matches;
        switch (row.expect) {
        case Expect::Same:
            EXPECT_FALSE(s.empty());
            EXPECT_EQ(s, i);
            break;
        case Expect::ScanFindsMore:
            EXPECT_TRUE(IsSubset(i, s));
            EXPECT_GT(s.size(), i.size());
            break;
        case Expect::IndexFindsMore:
            EXPECT_TRUE(IsSubset(s, i));
            EXPECT_GT(i.size(), s.size());
            break;
        case Expect::IndexRefuses:
            break;
        }
    }
}

} // namespace
} // namespace cvx
