// Looking journal names up: spelling variants, scores, ambiguity, the " #n" and " [ISSN]"
// suffixes, look-up by ISSN alone, fallbacks to the full name and the name with its suffixes.

#include "JournalTestFiles.h"

#include "journals/DatabaseJournalLookup.h"
#include "journals/JournalMatching.h"
#include "text/WorkerPool.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace cvx {
namespace {

using test::DatabaseBytes;
using test::TempDir;

// Two journals called "Chirurgie": the first with an ISSN, the second without. "Cell" and an
// alternate name "CELL." of another journal share a normalised name too.
const char* const kList =
    "The Journal of Biological Chemistry,,J Biol Chem,J. Biol. Chem.,,J. Biol. Chem.,0021-9258,1,\n"
    "Zeitschrift f\xC3\xBCr Kinderheilkunde,,Z Kinderheilkd,Z. Kinderheilkd.,,,0044-2917,,\n"
    "Brain and Language,,Brain Lang,Brain Lang.,,,0093-934X,,\n"
    "Chirurgie,,Chirurgie (Paris),Chirurgie (Paris),,,0009-4722,,\n"
    "Chirurgie,,Chirurgie (Basel),Chirurgie (Basel),,,,,\n"
    "Cell,,Cell,Cell,,,0092-8674,,\n"
    "Cellular Letters,CELL.,Cell Lett,Cell. Lett.,,,,,\n"
    "Women's Health,,Womens Health,Womens Health,,,1745-5057,,\n";

class JournalMatching : public ::testing::Test {
protected:
    void SetUp() override {
        path_ = dir_.Write("journals.jdb", DatabaseBytes(kList));
        ASSERT_EQ(db_.Open(path_), JournalError::None);
    }

    JournalHit Find(std::string_view name, JournalForm form = JournalForm::FullName) {
        return LookUpJournal(db_, name, form);
    }

    TempDir dir_;
    std::string path_;
    JournalDatabase db_;
};

TEST_F(JournalMatching, FindsSpellingVariants) {
    const char* const variants[] = {
        "The Journal of Biological Chemistry",
        "the journal of biological chemistry",
        "JOURNAL OF BIOLOGICAL CHEMISTRY",
        "Journal of Biological Chemistry.",
        "Journal of Biological Chemistry  ",
        "J. Biol. Chem.",
        "J Biol Chem",
        "J.Biol.Chem.",
        "Journal of Biological Chemistry [0021-9258]",
        "J\xF3urnal \xF6"
        "f Biol\xF3gical Ch\xE9mistry", // accents
    };
    for (const char* name : variants) {
        const JournalHit hit = Find(name);
        EXPECT_EQ(hit.name, "The Journal of Biological Chemistry") << name;
        EXPECT_EQ(hit.quality, JournalError::None) << name;
        EXPECT_EQ(db_.LastError(), JournalError::None);
    }
    EXPECT_EQ(Find("Zeitschrift fur Kinderheilkunde", JournalForm::Medlar).name, "Z Kinderheilkd");
    EXPECT_EQ(Find("Brain & Language", JournalForm::IndexMedicus).name, "Brain Lang.");
    EXPECT_EQ(Find("Women\x92s Health").name, "Women's Health");
    EXPECT_EQ(Find("Womens\xA0Health").name, "Women's Health");
    EXPECT_FALSE(Find("Journal of Biological").Matched());
    EXPECT_FALSE(Find("").Matched());
}

TEST_F(JournalMatching, GivesEveryDisplayForm) {
    const std::string jbc = "J Biol Chem";
    EXPECT_EQ(Find(jbc, JournalForm::FullName).name, "The Journal of Biological Chemistry");
    EXPECT_EQ(Find(jbc, JournalForm::Medlar).name, "J Biol Chem");
    EXPECT_EQ(Find(jbc, JournalForm::IndexMedicus).name, "J. Biol. Chem.");
    EXPECT_EQ(Find(jbc, JournalForm::ChemicalAbstracts).name, "J. Biol. Chem.");
    EXPECT_EQ(Find(jbc, JournalForm::Issn).name, "0021-9258");
    EXPECT_EQ(Find(jbc, JournalForm::AnyName).name, "J Biol Chem");
    EXPECT_EQ(Find(jbc, JournalForm::WithSuffix).name,
              "The Journal of Biological Chemistry [0021-9258]");
    const JournalHit number = Find(jbc, JournalForm::RecordNumber);
    EXPECT_EQ(db_.Record(std::stoi(number.name))->name, "The Journal of Biological Chemistry");
    EXPECT_EQ(Find("Cellular Letters", JournalForm::Alternate).name, "CELL.");
}

TEST_F(JournalMatching, FallsBackToTheFullName) {
    // No journal here has a BIOSIS name, and this one lacks Chemical Abstracts too.
    const JournalHit biosis = Find("Brain Lang", JournalForm::Biosis);
    EXPECT_EQ(biosis.name, "Brain and Language");
    EXPECT_EQ(biosis.quality, JournalError::FullNameReturned);
    EXPECT_EQ(db_.LastError(), JournalError::FullNameReturned);
    EXPECT_TRUE(biosis.Found());
    EXPECT_EQ(Find("Brain Lang", JournalForm::ChemicalAbstracts).quality,
              JournalError::FullNameReturned);
    // Without an ISSN, the ISSN form falls back as well.
    EXPECT_EQ(Find("Chirurgie #2", JournalForm::Issn).quality, JournalError::FullNameReturned);
}

TEST_F(JournalMatching, EqualNormalisedNamesAreAmbiguousUntilNumbered) {
    const JournalHit both = Find("Chirurgie", JournalForm::Medlar);
    EXPECT_EQ(both.name, "Chirurgie (Paris)/Chirurgie (Basel)");
    EXPECT_EQ(both.quality, JournalError::Ambiguous);
    EXPECT_EQ(db_.LastError(), JournalError::Ambiguous);
    EXPECT_FALSE(both.Found());
    EXPECT_TRUE(both.Matched());

    EXPECT_EQ(Find("Chirurgie #1", JournalForm::Medlar).name, "Chirurgie (Paris)");
    const JournalHit second = Find("Chirurgie #2", JournalForm::Medlar);
    EXPECT_EQ(second.name, "Chirurgie (Basel)");
    EXPECT_EQ(second.quality, JournalError::None);
    EXPECT_FALSE(Find("Chirurgie #3", JournalForm::Medlar).Matched());
    // The ISSN picks the journal that has it, over the one that has none.
    EXPECT_EQ(Find("Chirurgie [0009-4722]", JournalForm::Medlar).name, "Chirurgie (Paris)");
    // Both journals' full names are the same text: one name, no ambiguity in form 1.
    EXPECT_EQ(Find("Chirurgie").quality, JournalError::None);

    // Form 8 numbers the names among equals and adds the ISSN where there is one.
    EXPECT_EQ(Find("Chirurgie (Paris)", JournalForm::WithSuffix).name, "Chirurgie #1 [0009-4722]");
    EXPECT_EQ(Find("Chirurgie (Basel)", JournalForm::WithSuffix).name, "Chirurgie #2");
    const JournalHit numbered = Find("Chirurgie", JournalForm::WithSuffix);
    EXPECT_EQ(numbered.name, "Chirurgie #1 [0009-4722]/Chirurgie #2");
    // What form 8 gives finds its journal again.
    EXPECT_EQ(Find("Chirurgie #2", JournalForm::IndexMedicus).name, "Chirurgie (Basel)");
    EXPECT_EQ(Find("Chirurgie #1 [0009-4722]", JournalForm::IndexMedicus).name,
              "Chirurgie (Paris)");
}

TEST_F(JournalMatching, TheExactSpellingWins) {
    // "Cell" and the alternate name "CELL." normalise alike; the closer spelling decides.
    EXPECT_EQ(Find("Cell", JournalForm::Medlar).name, "Cell");
    EXPECT_EQ(Find("CELL.", JournalForm::Medlar).name, "Cell Lett");
    // The same length as one of them counts too; equally close to both is ambiguous.
    EXPECT_EQ(Find("cell", JournalForm::Medlar).name, "Cell");
    EXPECT_EQ(Find("cell.", JournalForm::Medlar).name, "Cell Lett");
    const JournalHit either = Find("Cell..", JournalForm::Medlar);
    EXPECT_EQ(either.name, "Cell/Cell Lett");
    EXPECT_EQ(either.quality, JournalError::Ambiguous);
}

TEST_F(JournalMatching, FindsAJournalByItsIssnAlone) {
    EXPECT_EQ(Find("[0093-934X]").name, "Brain and Language");
    EXPECT_EQ(Find("[OO93-934X]", JournalForm::Medlar).name, "Brain Lang"); // O read as 0
    EXPECT_EQ(Find(" [0093-934X] ", JournalForm::IndexMedicus).name, "Brain Lang.");
    EXPECT_FALSE(Find("[1234-5678]").Matched());
    // An ISSN also finds a differently spelled name of the same signature.
    EXPECT_FALSE(Find("J Biol Chem Online").Matched());
    EXPECT_EQ(Find("J Biol Chem Online [0021-9258]").name, "The Journal of Biological Chemistry");
    EXPECT_FALSE(Find("J Biol Chem Online [1111-1111]").Matched());
}

TEST_F(JournalMatching, UnusableDatabasesFindNothing) {
    EXPECT_EQ(LookUpJournal("", "Cell", JournalForm::FullName).quality, JournalError::CannotOpen);
    const JournalHit missing =
        LookUpJournal(dir_.File("missing.jdb"), "Cell", JournalForm::FullName);
    EXPECT_EQ(missing.quality, JournalError::CannotOpen);
    EXPECT_TRUE(missing.name.empty());
    EXPECT_EQ(LookUpJournal(path_, "Cell", JournalForm::FullName).name, "Cell");
    JournalDatabase closed;
    EXPECT_EQ(LookUpJournal(closed, "Cell", JournalForm::FullName).quality,
              JournalError::CannotOpen);
}

// A job's look-ups on a worker thread look at the file once, not at every name; the next job,
// whose look-ups run on the same thread, sees the database that replaced it meanwhile.
TEST_F(JournalMatching, TheNextJobSeesAReplacedDatabase) {
    WorkerPool worker(1);
    auto recognised = [&worker](const DatabaseJournalLookup& journals, const char* name) {
        return worker.Start([&journals, name] { return journals.Recognises(name); }).get();
    };
    const DatabaseJournalLookup first(path_);
    EXPECT_TRUE(recognised(first, "Brain and Language"));
    std::filesystem::rename(
        dir_.Write("new.jdb", DatabaseBytes("Annals of Testing,,Ann Test,,,,,,\n")), path_);
    const DatabaseJournalLookup next(path_);
    EXPECT_FALSE(recognised(next, "Brain and Language"));
    EXPECT_TRUE(recognised(next, "Annals of Testing"));
}

} // namespace
} // namespace cvx
