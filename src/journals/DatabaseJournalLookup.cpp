#include "journals/DatabaseJournalLookup.h"

#include "journals/JournalMatching.h"
#include "text/ShippedData.h"
#include "text/StringPrimitives.h"

#include <atomic>

namespace cvx {

namespace {

// The look-ups made so far: each is a job of its own for the freshness of the database.
std::atomic<std::uint64_t> gLookUps{0};

} // namespace

DatabaseJournalLookup::DatabaseJournalLookup(std::string path, JournalForm currentForm)
    : path_(std::move(path)), currentForm_(currentForm), job_(++gLookUps) {
    usable_ = ThreadJournalDatabase().Check(path_);
}

bool DatabaseJournalLookup::Recognises(std::string_view name) const {
    return LookUp(name, currentForm_).has_value();
}

std::optional<JournalMatch> DatabaseJournalLookup::LookUp(std::string_view name,
                                                          JournalForm form) const {
    if (!usable_) {
        return std::nullopt;
    }
    const JournalHit hit = LookUpJournal(path_, name, form, job_);
    if (!hit.Matched()) {
        return std::nullopt;
    }
    JournalMatch match{hit.name, static_cast<int>(hit.quality), false};
    if (hit.quality != JournalError::Ambiguous) {
        JournalDatabase& db = ThreadJournalDatabase();
        if (const std::optional<int> full = db.FindInRing(hit.record, JournalForm::FullName)) {
            if (const std::optional<JournalRecordView> v = db.Record(*full)) {
                match.requiresIssue =
                    (v->flags & kJournalFlagExtra) && (v->extra & kJournalExtraRequiresIssue);
            }
        }
    }
    return match;
}

std::optional<std::string> DatabaseJournalLookup::SortAbbreviation(std::string_view name) const {
    std::optional<JournalMatch> match = LookUp(name, JournalForm::Medlar);
    if (!match) {
        return std::nullopt;
    }
    return TrimBlanks(match->name);
}

std::string ShippedJournalDatabasePath() {
    return ShippedFile(kShippedJournalDatabase);
}

std::string JournalDatabasePath(std::string_view configured) {
    const std::string path = TrimBlanks(configured);
    return path.empty() ? ShippedJournalDatabasePath() : path;
}

} // namespace cvx
