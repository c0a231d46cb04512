#pragma once
// A journal's definition (its names in every form, ISSN and flags) and the operations that
// read, store, replace and delete it. A changed database is written beside the old file and
// renamed over it, so a failure leaves the previous database whole.

#include "journals/JournalImage.h"

#include <array>
#include <string>
#include <string_view>
#include <vector>

namespace cvx {

struct JournalDefinition {
    // 0 the alternate name, 1 the full name, 2 Medlar, 3 Index Medicus, 4 BIOSIS, 5 Chemical
    // Abstracts, 6 the ISSN. When storing, any text may carry further alternate names after "=".
    std::array<std::string, 7> texts;
    bool requiresIssue = false;
    bool lacksVolume = false;
    bool editedByUser = false;
    int fullNameRecord = -1;
};

// The definition of the journal a name denotes (as the look-up finds it, suffixes included);
// false when the name is not found, is ambiguous or the database fails.
bool ReadJournalDefinition(JournalDatabase& db, std::string_view name, JournalDefinition& def);

// The records a definition becomes: one per distinct name, a name shared by several forms
// carrying all their flags, the full name carrying the ISSN, the extra byte and, for a user's
// definition, the edited flag. The ring links are left to the caller. Errors: 4 no full name,
// 5 an ISSN that is not acceptable, 10 more than nine further names or a name over 255 bytes.
JournalError DefinitionRecords(const JournalDefinition& def, bool userEdited,
                               std::vector<JournalRecord>& records);

// Inserts a definition's names into a database image, each after the records of its signature
// whose normalised names are not greater, and joins them into one ring. Error 10 when the
// file holds 65501 records or more, or when a name's block has no room (blocks are not split).
JournalError StoreDefinition(JournalImage& image, const JournalDefinition& def,
                             bool userEdited = true);

// Removes the journal that a name denotes from an image of the open database `db`. Errors: 1
// not found, 3 a name of several journals given without number or ISSN, 11 a broken ring.
JournalError RemoveJournal(JournalImage& image, JournalDatabase& db, std::string_view name);

// The same on the database file at `path`, opened for writing (error 8 when it may not be
// written, 9 when writing fails). The access state's last error is set as well.
JournalError StoreJournal(JournalDatabase& db, const std::string& path,
                          const JournalDefinition& def);
JournalError DeleteJournal(JournalDatabase& db, const std::string& path, std::string_view name);
// Deletes the journal of `name` and stores `def` in its place, in one write.
JournalError ReplaceJournal(JournalDatabase& db, const std::string& path, std::string_view name,
                            const JournalDefinition& def);

} // namespace cvx
