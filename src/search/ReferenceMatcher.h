#pragma once
// Tests one reference against a search expression by scanning its stored block: the compiled
// program of a Boolean expression evaluated over the values of its terms, or the required and
// alternative words of a simple one. The words are folded once, when the matcher is made; the
// block is folded byte by byte as it is searched.

#include "search/FoldedPattern.h"
#include "search/SearchExpression.h"

#include <string_view>
#include <vector>

namespace cvx {

class RefSet;

class ReferenceMatcher {
public:
    ReferenceMatcher(const CompiledExpression& expression, const FoldingTable& table);
    ReferenceMatcher(const SimpleExpression& expression, const FoldingTable& table);

    // Whether the block of reference `index` matches; TAGGED and LOCATED test the two sets
    // (absent sets hold nothing).
    bool MatchesReference(std::string_view block, int index, const RefSet* tagged,
                          const RefSet* located) const;

private:
    struct Term {
        std::size_t term = 0;                // in expression_.terms
        std::vector<FoldedPattern> patterns; // the term's word, its list items, NEAR's two words
    };

    bool TermValue(const Term& t, std::string_view block, int index, const RefSet* tagged,
                   const RefSet* located) const;
    static bool InScope(const FoldedPattern& pattern, FieldScope scope, std::string_view block);
    static bool Near(const FoldedPattern& first, const FoldedPattern& second, int distance,
                     std::string_view block);

    CompiledExpression expression_;
    std::vector<Term> terms_;
    bool boolean_ = false;
    std::vector<FoldedPattern> required_;
    std::vector<FoldedPattern> alternative_;
};

} // namespace cvx
