#pragma once
// The modes of a search over a reference file and what a search reports back: the references
// that matched, the one made current, the words to highlight and a notice for the user.

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace cvx {

// Tag every match, get (go to) the next match, or locate every match.
enum class SearchMode { Tag = 0, Get = 1, Locate = 2 };

struct SearchResult {
    // Get: a match was found; Tag and Locate: at least one reference matched.
    bool found = false;
    // The references that were examined and matched (absolute indices, file order; Get: the one).
    std::vector<int> matches;
    // The reference made current (absolute index); -1 when the current one stayed.
    int current = -1;
    // Hits are to be highlighted (a search that found something).
    bool showHits = false;
    // The folded words of the expression, for highlighting.
    std::vector<std::string> hitWords;
    // The hit words were folded without diacritics (the indexed search always folds so), and the
    // text they are looked for in must be folded the same way.
    bool diacriticsIgnored = false;
    // Get: the match lies at or before the reference that was current, so the search went past
    // the end of the display order and on from its start.
    bool wrapped = false;
    // Information for the user after a search that ran ("No match found for: ..."); empty when
    // there is nothing to say.
    std::string notice;
    // For a failure caused by the expression: where in it (0-based); npos otherwise.
    std::size_t errorPosition = std::string_view::npos;
};

} // namespace cvx
