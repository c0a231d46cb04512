#pragma once
// The journal-name look-up that the other subsystems use (JournalLookup), answered by a
// journal database file, and where the database that ships with the program lies.

#include "journals/JournalLookup.h"

#include <cstdint>
#include <string>
#include <string_view>

namespace cvx {

class DatabaseJournalLookup final : public JournalLookup {
public:
    // `currentForm` is the form in which names are recognised (the default display form).
    // The database is checked once here; one that fails is not used, and every name is then
    // unknown. Look-ups go through the calling thread's access state and look at the file
    // again at most once a second: a job makes a look-up of its own and sees the file as it is
    // when the job starts.
    explicit DatabaseJournalLookup(std::string path,
                                   JournalForm currentForm = JournalForm::FullName);

    bool Usable() const { return usable_; }
    const std::string& Path() const { return path_; }

    bool Recognises(std::string_view name) const override;
    std::optional<JournalMatch> LookUp(std::string_view name, JournalForm form) const override;
    // The Medlar form, the abbreviation every journal of the shipped list has.
    std::optional<std::string> SortAbbreviation(std::string_view name) const override;

private:
    std::string path_;
    JournalForm currentForm_;
    std::uint64_t job_;
    bool usable_ = false;
};

// The database the program ships, in the data folder (text/ShippedData.h).
std::string ShippedJournalDatabasePath();

// The database a setting names; an empty setting means the shipped database.
std::string JournalDatabasePath(std::string_view configured);

} // namespace cvx
