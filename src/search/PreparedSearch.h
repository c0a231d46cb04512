#pragma once
// What the scanning and the indexed search share around their own work: reading the expression
// (simple or Boolean, compiled) and finishing a search over a file (the current reference, the
// notice when nothing was found, the status texts).

#include "search/SearchExpression.h"
#include "search/SearchResult.h"
#include "text/Outcome.h"

#include <string>
#include <string_view>

namespace cvx {

class Progress;
class TReferenceFile;

struct PreparedExpression {
    std::string text; // without leading "|" and surrounding blanks
    bool boolean = false;
    CompiledExpression compiled; // boolean
    SimpleExpression simple;     // otherwise
};

// Reads the expression; a compile error (or an empty expression) fails with its message and
// sets result.errorPosition.
Outcome PrepareExpression(std::string_view text, PreparedExpression& prepared,
                          SearchResult& result);

// Shows a status text when there is a progress to show it.
void ShowSearchStatus(Progress* progress, std::string_view text);

// After the marks of a search are set: tagging drops deleted references from the tags and the
// located set; the first tagged (tagging) or located (locating) reference, or the match (getting),
// becomes current; without one the notice "No match found" is set. The status panel then says
// the search completed.
Outcome FinishSearch(TReferenceFile& file, const PreparedExpression& expression, SearchMode mode,
                     Progress* progress, SearchResult& result);

} // namespace cvx
