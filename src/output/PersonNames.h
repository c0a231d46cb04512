#pragma once
// The names of an author or editor list ("Smith, J A. "A Consortium". Brown-Hill, Kate.") one by
// one, as the export layouts write them.

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace cvx {

struct PersonName {
    std::string family; // the last name, or the whole name of a corporate author
    std::string given;  // the personal names or initials, separated by blanks ("J A", "Kate")
    bool corporate = false;

    // "Smith JA": the family name and the initials run together (MEDLINE).
    std::string FamilyInitials() const;
    // "J. A.", "Kate", "Uzuru V.": each single-letter initial followed by ".".
    std::string DottedGiven() const;
};

// The names of a list; an empty list, or one that is explicitly unknown (""), has none.
std::vector<PersonName> SplitNames(std::string_view list);

// A name of a list as parts of the list's text, for the layouts that write every name at once.
struct PersonNameView {
    std::string_view family;
    std::string_view given;
    bool corporate = false;
};

// The names of a list one by one, as SplitNames has them, without copies: the list's text must
// last as long as the names are used.
class PersonNameCursor {
public:
    explicit PersonNameCursor(std::string_view list);
    // The next name; false after the last.
    bool Next(PersonNameView& name);

private:
    std::string_view list_;
    std::size_t start_ = 0; // where the next name begins; past the end when there is none
};

// Append PersonName::FamilyInitials and PersonName::DottedGiven of a name.
void AppendFamilyInitials(std::string& out, const PersonNameView& name);
void AppendDottedGiven(std::string& out, std::string_view given);

} // namespace cvx
