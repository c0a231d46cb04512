#pragma once
// Author and editor lists: "Smith, J A. Brown, K." with corporate names in double quotes.

#include "text/Collation.h"

#include <string>
#include <string_view>

namespace cvx {

// Where the suffix of a last name stored with one begins ("Bitter Jr" of "Bitter Jr, P.",
// "Smith III": "Jr", "Sr" or a generation in Roman numerals, after a blank): the index of its
// blank; npos when the name has none.
std::size_t NameSuffixAt(std::string_view lastName);

struct AuthorName {
    std::string name; // the last name without its suffix, or a corporate name without its quotes
    std::string rest; // the rest of the list
};

// Takes the first name off an author list.
AuthorName NextAuthorName(std::string_view list);

// "Smith", "Smith, Brown" or "Smith et al" (last names without their suffixes); "#IAnon.#I" for
// an empty list.
std::string ShortAuthorList(std::string_view authors);

// The formal test of an author or editor field; true when the field is faulty.
bool AuthorsFaulty(std::string_view authors);

// The sort key of an author list ("Smith, J A. Brown-Hill, K." -> "SMITH JA BROWN-HILL K"). A
// last name's suffix follows the initials ("Bitter Jr, P." -> "BITTER P JR"), so that the name
// sorts among the others of its surname. The Japanese collation by pronunciation keys a name by
// its reading in parentheses.
std::string AuthorKey(std::string_view authors, Collation collation);

} // namespace cvx
