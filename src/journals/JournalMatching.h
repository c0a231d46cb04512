#pragma once
// Finding the database journal that a name denotes, and its name in a display form.

#include "journals/JournalDatabase.h"

#include <string>
#include <string_view>
#include <vector>

namespace cvx {

struct JournalHit {
    // The journal's name in the requested form; several names joined by "/" when the name is
    // ambiguous; empty when nothing matched.
    std::string name;
    // None (a unique match), FullNameReturned (the journal lacks the form, its full name was
    // given), Ambiguous, NotFound, or the failure that stopped the look-up.
    JournalError quality = JournalError::NotFound;
    int record = -1;          // the best candidate's record
    std::vector<int> records; // the records whose names were given, the best first

    bool Found() const {
        return quality == JournalError::None || quality == JournalError::FullNameReturned;
    }
    bool Matched() const { return Found() || quality == JournalError::Ambiguous; }
};

// Looks a name up in an open database. The name may end in " #n" (the n-th of the journals
// whose normalised names are equal) and " [ISSN]"; an ISSN alone finds the journal by it.
// Candidates share the name's signature and normalised name and score 2 to 5 by how exactly
// they match (+10 for a journal without ISSN, +20 for one with the ISSN asked for); with an
// ISSN, a candidate whose normalised name differs counts when its ISSN is the one asked for.
// The database's last error tells the quality afterwards.
JournalHit LookUpJournal(JournalDatabase& db, std::string_view name, JournalForm form);

// Opens the database in this thread's access state and looks the name up. The file is looked at
// once a second within `job` (see JournalDatabase::OpenForJob), at every call without one.
JournalHit LookUpJournal(const std::string& path, std::string_view name, JournalForm form,
                         std::uint64_t job = 0);

} // namespace cvx
