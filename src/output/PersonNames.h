#pragma once
// The names of an author or editor list ("Smith, J A. "A Consortium". Brown-Hill, Kate.") one by
// one, as the export layouts write them.

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

} // namespace cvx
