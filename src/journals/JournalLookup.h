#pragma once
// What the other subsystems ask of the journal-name database: whether a name is known, a name in
// one of the display forms, and the abbreviated form that sort keys use. The journal-name
// database implements it; code that runs without a database passes a null pointer.

#include <optional>
#include <string>
#include <string_view>

namespace cvx {

// Display forms of journal names. Forms 1 to 5 are the names a user chooses between; the others
// serve the database's own services.
enum class JournalForm : int {
    Alternate = 0, // a name that belongs to no display form
    FullName = 1,
    Medlar = 2,
    IndexMedicus = 3,
    Biosis = 4,
    ChemicalAbstracts = 5,
    Issn = 6,
    AnyName = 7,
    WithSuffix = 8,    // the full name with its ambiguity number and ISSN
    RecordNumber = 15, // the number of the journal's full-name record, as decimal text
};

struct JournalMatch {
    std::string name; // the name in the requested form ("a/b" when ambiguous)
    int quality = 0;  // 0 unique, 2 the journal lacks the form (full name given), 3 ambiguous
    bool requiresIssue = false; // the journal's "requires issue number" flag
};

class JournalLookup {
public:
    virtual ~JournalLookup() = default;

    // True when the database recognises the name in the current journal-name form.
    virtual bool Recognises(std::string_view name) const = 0;

    // The name in a display form; nullopt when the database does not know the name.
    virtual std::optional<JournalMatch> LookUp(std::string_view name, JournalForm form) const = 0;

    // The name's abbreviated form for sort keys ("" when the database has that form empty);
    // nullopt when the database does not know the name.
    virtual std::optional<std::string> SortAbbreviation(std::string_view name) const = 0;
};

} // namespace cvx
