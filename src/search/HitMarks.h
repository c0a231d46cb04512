#pragma once
// The words a search found, marked in the text of a display: each occurrence of a hit word is
// put between two hit marks, which the displays draw as a colour change and a bold toggle. The
// marks are the codes "#" 0xFD "#B" after finding and "#B#" 0xFE after tagging or locating, the
// same four bytes before and after the word.

#include "search/SearchResult.h"

#include <string>
#include <string_view>
#include <vector>

namespace cvx {

enum class HitColour { Get, Tag };

// What the displays mark after the last search: kept once for the whole program and replaced by
// every search that runs.
struct SearchHits {
    bool shown = false; // the last search found something
    HitColour colour = HitColour::Tag;
    std::vector<std::string> words; // folded (SearchResult::hitWords)
    bool ignoreDiacritics = false;  // how they were folded

    // After a search in `mode`: `succeeded` is false when it failed or was aborted.
    void Record(SearchMode mode, const SearchResult& result, bool succeeded);
};

// `text` (code page 1252 with its codes) with every occurrence of the hit words marked, found in
// the text folded as the words were; the codes of the text are never taken for words. Unchanged
// while no hits are shown. A line that begins with its year in bold ("#B1998#B") keeps a marked
// year from looking like an empty one ("#B#B").
std::string MarkHits(std::string_view text, const SearchHits& hits);

} // namespace cvx
