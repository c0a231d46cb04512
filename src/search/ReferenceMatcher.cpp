#include "search/ReferenceMatcher.h"

#include "refstore/RefSet.h"
#include "search/ReferenceLines.h"

#include <algorithm>

namespace cvx {

namespace {

constexpr std::size_t npos = std::string_view::npos;

bool Occurs(const FoldedPattern& pattern, std::string_view block) {
    return pattern.Find(block) != npos;
}

} // namespace

ReferenceMatcher::ReferenceMatcher(const CompiledExpression& expression, const FoldingTable& table)
    : expression_(expression), boolean_(true) {
    for (std::size_t i = 0; i < expression_.terms.size(); ++i) {
        const SearchTerm& term = expression_.terms[i];
        Term t;
        t.term = i;
        if (term.kind == TermKind::List || term.kind == TermKind::Near) {
            for (const std::string& item : term.items) {
                t.patterns.emplace_back(item, table);
            }
        } else {
            t.patterns.emplace_back(term.Unquoted(), table);
        }
        terms_.push_back(std::move(t));
    }
}

ReferenceMatcher::ReferenceMatcher(const SimpleExpression& expression, const FoldingTable& table) {
    for (const std::string& w : expression.required) {
        required_.emplace_back(w, table);
    }
    for (const std::string& w : expression.alternative) {
        alternative_.emplace_back(w, table);
    }
}

// The term occurs, and one of its occurrences begins in the line (or part of a line) of the field.
bool ReferenceMatcher::InScope(const FoldedPattern& pattern, FieldScope scope,
                               std::string_view block) {
    const ReferenceLines lines(block);
    const int line = lines.LineOf(scope);
    if (line == 0 || line > lines.Count()) {
        return false;
    }
    std::size_t begin = lines.Start(line);
    std::size_t end = scope == FieldScope::Abstract ? block.size() : lines.End(line);
    if (scope == FieldScope::Publisher || scope == FieldScope::City) {
        const std::size_t paren = CityParenthesis(block.substr(begin, end - begin));
        if (scope == FieldScope::City) {
            if (paren == npos) {
                return false;
            }
            begin += paren + 1;
        } else if (paren != npos) {
            end = begin + paren;
        }
    }
    const std::size_t at = pattern.Find(block, begin);
    return at != npos && at < end;
}

// Two words within `distance` bytes: the earliest occurrences of both are taken, and the earlier
// of the two moves on to its next occurrence until the later one begins close enough after it.
bool ReferenceMatcher::Near(const FoldedPattern& first, const FoldedPattern& second, int distance,
                            std::string_view block) {
    std::size_t a = first.Find(block);
    if (a == npos) {
        return false;
    }
    std::size_t b = second.Find(block);
    while (b != npos && a != npos) {
        const bool firstEarlier = a <= b;
        const std::size_t earlier = firstEarlier ? a : b;
        const std::size_t later = firstEarlier ? b : a;
        const long long reach =
            static_cast<long long>((firstEarlier ? first : second).Size()) + distance;
        if (static_cast<long long>(later - earlier) <= reach) {
            return true;
        }
        if (firstEarlier) {
            a = first.Find(block, a + 1);
        } else {
            b = second.Find(block, b + 1);
        }
    }
    return false;
}

bool ReferenceMatcher::TermValue(const Term& t, std::string_view block, int index,
                                 const RefSet* tagged, const RefSet* located) const {
    const SearchTerm& term = expression_.terms[t.term];
    const auto occurs = [&](const FoldedPattern& p) { return Occurs(p, block); };
    switch (term.kind) {
    case TermKind::Plain:
        return Occurs(t.patterns.front(), block);
    case TermKind::Tagged:
        return tagged != nullptr && tagged->Test(index);
    case TermKind::Located:
        return located != nullptr && located->Test(index);
    case TermKind::Scoped:
        return InScope(t.patterns.front(), ScopeOf(term.token), block);
    case TermKind::Near:
        return Near(t.patterns[0], t.patterns[1], term.NearDistance(), block);
    case TermKind::List:
        if (term.token == Token::All) {
            return std::all_of(t.patterns.begin(), t.patterns.end(), occurs);
        }
        return std::any_of(t.patterns.begin(), t.patterns.end(), occurs) ==
               (term.token == Token::Any);
    }
    return false;
}

bool ReferenceMatcher::MatchesReference(std::string_view block, int index, const RefSet* tagged,
                                        const RefSet* located) const {
    if (!boolean_) {
        const auto occurs = [&](const FoldedPattern& p) { return Occurs(p, block); };
        return std::all_of(required_.begin(), required_.end(), occurs) &&
               (alternative_.empty() ||
                std::any_of(alternative_.begin(), alternative_.end(), occurs));
    }
    bool stack[kMaxStackDepth];
    int top = 0;
    for (const ProgramStep& step : expression_.program) {
        if (step.push) {
            stack[top++] = TermValue(terms_[static_cast<std::size_t>(step.term)], block, index,
                                     tagged, located);
            continue;
        }
        switch (InfoOf(step.token).kind) {
        case TokenKind::Connective: {
            const bool b = stack[--top];
            const bool a = stack[top - 1];
            stack[top - 1] = step.token == Token::And  ? (a && b)
                             : step.token == Token::Or ? (a || b)
                                                       : (a != b);
            break;
        }
        case TokenKind::Negation:
            stack[top - 1] = !stack[top - 1];
            break;
        default:
            break; // a scope's effect is carried by its term
        }
    }
    return top == 1 && stack[0];
}

} // namespace cvx
