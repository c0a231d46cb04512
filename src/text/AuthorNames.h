#pragma once
// Author and editor lists: "Smith, J A. Brown, K." with corporate names in double quotes.

#include "text/Collation.h"

#include <string>
#include <string_view>

namespace cvx {

struct AuthorName {
    std::string name; // the last name, or a corporate name without its quotes
    std::string rest; // the rest of the list
};

// Takes the first name off an author list.
AuthorName NextAuthorName(std::string_view list);

// "Smith", "Smith, Brown" or "Smith et al"; "#IAnon.#I" for an empty list.
std::string ShortAuthorList(std::string_view authors);

// The formal test of an author or editor field; true when the field is faulty.
bool AuthorsFaulty(std::string_view authors);

// The sort key of an author list ("Smith, J A. Brown-Hill, K." -> "SMITH JA BROWN-HILL K"). The
// Japanese collation by pronunciation keys a name by its reading in parentheses.
std::string AuthorKey(std::string_view authors, Collation collation);

} // namespace cvx
