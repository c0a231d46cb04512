#pragma once
// The scanning search: every reference of a file read and tested against the expression in its
// stored text, in the file's display order from the reference after the current one round to the
// current one. Tagging and locating set (or, for a Boolean expression, also clear) the marks in
// TaggedSet or LocatedSet; getting stops at the first match and makes it current.

#include "search/SearchResult.h"
#include "text/Outcome.h"

#include <string_view>

namespace cvx {

class Progress;
class TReferenceFile;

// A failure is a compile error of the expression (with result.errorPosition), a read error (the
// marks set so far are kept) or an abort through `progress`. Deleted references never match.
Outcome SearchFile(TReferenceFile& file, std::string_view expression, SearchMode mode,
                   bool ignoreDiacritics, Progress* progress, SearchResult& result);

} // namespace cvx
