// The database the program ships: every journal of its list finds itself and its own
// abbreviations, and the journal names of the sample downloads are found however they are
// spelled.

#include "JournalTestFiles.h"

#include "journals/DatabaseJournalLookup.h"
#include "journals/JournalMatching.h"
#include "refstore/RefArrData.h"
#include "refstore/SortRec.h"
#include "text/CaseMapping.h"
#include "text/Cp1252.h"
#include "text/StringPrimitives.h"

#include <gtest/gtest.h>

#include <sstream>

namespace cvx {
namespace {

const std::string kDatabase = CITAVOX_JOURNAL_DATABASE;
const std::string kList = std::string(CITAVOX_SOURCE_DIR) + "/data/journals/journals.csv";
const std::string kSamples = std::string(CITAVOX_SOURCE_DIR) + "/data/journals/sample-journals.tsv";

class ShippedDatabase : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_EQ(db_.Open(kDatabase), JournalError::None) << kDatabase; }

    // The name in a form, for a journal whose full name other journals share: its ISSN tells
    // it apart, or else its number among the equal names (as its name in form 8 carries it).
    JournalHit Find(const JournalDefinition& journal, JournalForm form) {
        JournalHit hit = LookUpJournal(db_, journal.texts[1], form);
        if (hit.quality == JournalError::Ambiguous && !journal.texts[6].empty()) {
            hit = LookUpJournal(db_, journal.texts[1] + " [" + journal.texts[6] + "]", form);
        }
        if (hit.quality == JournalError::Ambiguous) {
            ++homonyms_;
            hit = LookUpJournal(db_, SuffixedName(journal), form);
        }
        return hit;
    }

    // The full name with its suffixes, found through the journal's Medlar name (NLM's
    // abbreviations are unique).
    std::string SuffixedName(const JournalDefinition& journal) {
        const JournalHit record = LookUpJournal(db_, journal.texts[2], JournalForm::RecordNumber);
        EXPECT_EQ(record.quality, JournalError::None) << journal.texts[2];
        return db_.FormName(std::stoi(record.name), JournalForm::WithSuffix).value_or("");
    }

    int homonyms_ = 0;
    JournalDatabase db_;
};

std::vector<JournalDefinition> ShippedList() {
    std::vector<JournalDefinition> journals;
    const JournalCsvProblem problem = ReadJournalCsv(test::ReadBytes(kList), journals);
    EXPECT_EQ(problem.kind, JournalCsvProblem::Kind::None) << problem.line;
    return journals;
}

TEST_F(ShippedDatabase, EveryJournalFindsItselfAndItsAbbreviations) {
    const std::vector<JournalDefinition> journals = ShippedList();
    ASSERT_GT(journals.size(), 15000u);
    for (const JournalDefinition& j : journals) {
        const JournalHit full = Find(j, JournalForm::FullName);
        ASSERT_EQ(full.name, j.texts[1]);
        ASSERT_EQ(full.quality, JournalError::None) << j.texts[1];
        for (const JournalForm form : {JournalForm::Medlar, JournalForm::IndexMedicus}) {
            const std::string& own = j.texts[static_cast<std::size_t>(form)];
            const JournalHit hit = Find(j, form);
            EXPECT_EQ(hit.name, own.empty() ? j.texts[1] : own) << j.texts[1];
            EXPECT_EQ(hit.quality,
                      own.empty() ? JournalError::FullNameReturned : JournalError::None)
                << j.texts[1];
        }
    }
    // Homonyms are few: journals of one title that NLM tells apart only by abbreviation.
    EXPECT_LT(homonyms_, 100);
    RecordProperty("homonyms", homonyms_);
}

struct Spelling {
    std::string name;     // code page 1252
    std::string expected; // the full name the database gives
};

std::vector<Spelling> SampleSpellings() {
    std::vector<Spelling> spellings;
    std::istringstream in(test::ReadBytes(kSamples));
    for (std::string line; std::getline(in, line);) {
        const std::size_t tab = line.find('\t');
        if (line.empty() || line[0] == '#' || tab == std::string::npos) {
            continue;
        }
        spellings.push_back(
            {Utf8ToCp1252(line.substr(0, tab)), Utf8ToCp1252(line.substr(tab + 1))});
    }
    return spellings;
}

TEST_F(ShippedDatabase, FindsTheJournalsOfTheSamples) {
    const std::vector<Spelling> spellings = SampleSpellings();
    ASSERT_GT(spellings.size(), 200u);
    for (const Spelling& s : spellings) {
        const JournalHit hit = LookUpJournal(db_, s.name, JournalForm::FullName);
        EXPECT_EQ(hit.name, s.expected) << s.name;
        EXPECT_EQ(hit.quality, JournalError::None) << s.name;
    }
}

// Spellings of a name that must meet it: other case, accents, no periods, a leading "The",
// "&" for "and" and back.
std::vector<std::string> Variants(const std::string& name) {
    std::vector<std::string> v = {UpperText(name), LowerText(name), ReplaceAll(name, ".", " ")};
    v.push_back(StartsWith(name, "The ") ? name.substr(4) : "The " + name);
    v.push_back(ReplaceAll(name, " and ", " & "));
    v.push_back(ReplaceAll(name, " & ", " and "));
    std::string accented = name;
    for (char& c : accented) {
        if (c == 'e') {
            c = '\xE9';
        } else if (c == 'u') {
            c = '\xFC';
        } else if (c == 'o') {
            c = '\xF4';
        }
    }
    v.push_back(accented);
    return v;
}

TEST_F(ShippedDatabase, FindsSpellingVariantsOfTheSampleJournals) {
    for (const Spelling& s : SampleSpellings()) {
        for (const std::string& variant : Variants(s.name)) {
            const JournalHit hit = LookUpJournal(db_, variant, JournalForm::FullName);
            EXPECT_EQ(hit.name, s.expected) << variant;
        }
    }
}

TEST_F(ShippedDatabase, ServesTheStoreThroughItsInterface) {
    const DatabaseJournalLookup journals(JournalDatabasePath(""));
    ASSERT_TRUE(journals.Usable());
    EXPECT_EQ(journals.Path(), ShippedJournalDatabasePath());
    EXPECT_EQ(JournalDatabasePath(" /elsewhere/j.jdb "), "/elsewhere/j.jdb");
    EXPECT_TRUE(journals.Recognises("Proc Natl Acad Sci U S A"));
    EXPECT_FALSE(journals.Recognises("Journal of Imaginary Results"));
    const std::optional<JournalMatch> m =
        journals.LookUp("The Journal of Neuroscience", JournalForm::IndexMedicus);
    ASSERT_TRUE(m);
    EXPECT_EQ(m->name, "J. Neurosci.");
    EXPECT_EQ(m->quality, 0);
    EXPECT_EQ(journals.SortAbbreviation("journal of neuroscience"), "J Neurosci");
    EXPECT_EQ(JournalKey("Brain and Language", &journals), "Brain Lang");
    EXPECT_EQ(JournalKey("Unheard Of J.", &journals), "Unheard Of J");

    // The reference checks judge journal names by it.
    const FormalCheck check{false, &journals};
    EXPECT_FALSE(JournalNameSuspect("Nucleic Acids Res.", check));
    EXPECT_TRUE(JournalNameSuspect("Journal of Imaginary Results", check));
    EXPECT_FALSE(JournalNameSuspect("Journal of Imaginary Results", FormalCheck{true, &journals}));

    const DatabaseJournalLookup broken("/nonexistent/journals.jdb");
    EXPECT_FALSE(broken.Usable());
    EXPECT_FALSE(broken.LookUp("Nature", JournalForm::FullName));
}

} // namespace
} // namespace cvx
