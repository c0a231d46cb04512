#pragma once
// A search word folded with one of the search's folding tables, found in raw reference text
// without folding the text first: a Horspool search that folds each byte it looks at.

#include "search/SearchFolding.h"

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

namespace cvx {

class FoldedPattern {
public:
    FoldedPattern() = default;
    FoldedPattern(std::string_view word, const FoldingTable& table);

    // The first position at or after `from` where the folded word occurs in the folded text;
    // npos when there is none. An empty word occurs at `from`.
    std::size_t Find(std::string_view text, std::size_t from = 0) const;
    std::size_t Size() const { return folded_.size(); }
    const std::string& Folded() const { return folded_; }

private:
    std::string folded_;
    const FoldingTable* table_ = nullptr;
    std::array<std::uint32_t, 256> shift_{}; // by raw byte
};

} // namespace cvx
