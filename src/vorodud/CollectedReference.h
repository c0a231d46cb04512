#pragma once
// Puts a gathered reference into Lexmill's collected reference with its field builders, the way
// the reference file lays it out: journal articles with their journal line, chapters with book
// title, editors and publisher, monographs with book title and publisher.

#include "vorodud/ReferenceParts.h"

namespace cvx::vorodud {

void CollectReference(Reference ref);

// The pages a reference keeps of a page text: its first range ("94-98" of "94-98, 93"); a list
// whose first range leaves some of it out is also kept whole, as a line of the comments
// ("Pages: 94-98, 93") added to `notes`.
std::string SettledPages(std::string_view pages, std::vector<std::string>& notes);

// Lines of the comments, put after the abstract of the collected reference.
void CollectNotes(const std::vector<std::string>& notes);

// The pages in the form of a reference file ("123-9" becomes "123-129"), by Lexmill.
std::string ExpandedPages(std::string_view pages);

} // namespace cvx::vorodud
