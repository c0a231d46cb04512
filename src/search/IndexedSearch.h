#pragma once
// The indexed search: the same expressions as the scanning search, answered with set operations
// on the reference sets of the word index instead of reading the references. A query word finds
// every index word that begins with it; the items of ANY(), ALL() and NONE() are whole words,
// each looked up with its synonyms from the thesaurus; a year range in YVP() or a plain term is
// looked up as the year prefixes that cover it. NEAR() cannot be answered from the index.

#include "search/SearchResult.h"
#include "search/Thesaurus.h"
#include "storage/FileSystem.h"
#include "text/Outcome.h"

#include <string_view>

namespace cvx {

class Progress;
class TReferenceFile;

// Tagging replaces TaggedSet by the matches, locating LocatedSet; getting goes to the next match
// after the current reference. A file without a usable index is left as it is (the failure says
// why); an expression with a field operator whose field was not indexed, or an index that fails
// while it is read, clears TaggedSet. Deleted references and references added after the index
// was built never match.
Outcome IndexedSearch(TReferenceFile& file, std::string_view expression, SearchMode mode,
                      const Thesaurus& thesaurus, Progress* progress, SearchResult& result,
                      FileSystem& fs = FileSystem::Default());

} // namespace cvx
