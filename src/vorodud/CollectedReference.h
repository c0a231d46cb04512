#pragma once
// Puts a gathered reference into Lexmill's collected reference with its field builders, the way
// the reference file lays it out: journal articles with their journal line, chapters with book
// title, editors and publisher, monographs with book title and publisher.

#include "vorodud/ReferenceParts.h"

namespace cvx::vorodud {

void CollectReference(Reference ref);

// The pages in the form of a reference file ("123-9" becomes "123-129"), by Lexmill.
std::string ExpandedPages(std::string_view pages);

} // namespace cvx::vorodud
