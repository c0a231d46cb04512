#include "search/IndexedSearch.h"

#include "refstore/ReferenceFile.h"
#include "search/IndexCharacters.h"
#include "search/IndexState.h"
#include "search/PreparedSearch.h"
#include "search/SearchFolding.h"
#include "search/WordIndex.h"
#include "search/YearRange.h"
#include "text/Catalogue.h"
#include "text/FileNames.h"

#include <algorithm>

namespace cvx {

namespace {

constexpr int kMaxIndexTerms = 100;

// The sets of one search: each term's references from the index, combined as the expression says.
class IndexEvaluation {
public:
    IndexEvaluation(WordIndex& index, TReferenceFile& file, const Thesaurus& thesaurus)
        : index_(index), file_(file), thesaurus_(thesaurus), size_(file.RefCount()),
          covered_(static_cast<int>(index.Header().referenceCount)) {}

    // False when the index fails while it is read.
    bool Boolean(const CompiledExpression& expression, RefSet& result);
    bool Simple(const SimpleExpression& expression, RefSet& result);

private:
    std::vector<int> PlainFields() const;
    bool Words(std::string_view text, const std::vector<int>& fields, bool wholeWords, RefSet& set);
    bool Text(std::string_view text, const std::vector<int>& fields, bool yearRange, RefSet& set);
    bool Item(std::string_view item, RefSet& set);
    bool Term(const SearchTerm& term, RefSet& set);
    // Everything the index covers that is not in the set.
    RefSet Complement(const RefSet& set) const {
        RefSet c = set;
        c.Complement();
        for (int i = covered_; i < size_; ++i) {
            c.Clear(i);
        }
        return c;
    }

    WordIndex& index_;
    TReferenceFile& file_;
    const Thesaurus& thesaurus_;
    int size_;
    int covered_;
};

// A plain term looks in the free text, or in every indexed field when that was not indexed.
std::vector<int> IndexEvaluation::PlainFields() const {
    const IndexHeader& header = index_.Header();
    if (header.HasField(kFreeTextField)) {
        return {kFreeTextField};
    }
    std::vector<int> fields;
    for (int f = kFirstIndexField; f < kFreeTextField; ++f) {
        if (header.HasField(f)) {
            fields.push_back(f);
        }
    }
    return fields;
}

// The references that hold every index word of the text (in any of the fields).
bool IndexEvaluation::Words(std::string_view text, const std::vector<int>& fields, bool wholeWords,
                            RefSet& set) {
    set = RefSet(size_);
    const std::vector<std::string> words = IndexWordsOf(text);
    for (std::size_t w = 0; w < words.size(); ++w) {
        RefSet found(size_);
        for (const int field : fields) {
            if (!index_.Lookup(field, words[w], wholeWords, found)) {
                return false;
            }
        }
        set = w == 0 ? found : RefSet::And(set, found);
    }
    return true;
}

bool IndexEvaluation::Text(std::string_view text, const std::vector<int>& fields, bool yearRange,
                           RefSet& set) {
    YearRange range;
    if (yearRange && index_.Header().HasField(kYearField) && ParseYearRange(text, range)) {
        RefSet years(size_);
        for (const std::string& prefix : YearPrefixes(range.first, range.last)) {
            if (!index_.Lookup(kYearField, prefix, false, years)) {
                return false;
            }
        }
        if (range.sign != '-') {
            set = years;
            return true;
        }
        RefSet literal;
        if (!Words(text, fields, false, literal)) {
            return false;
        }
        set = RefSet::Or(years, literal);
        return true;
    }
    return Words(text, fields, false, set);
}

// A list item: the item and its synonyms, each a whole word.
bool IndexEvaluation::Item(std::string_view item, RefSet& set) {
    set = RefSet(size_);
    std::vector<std::string> words{std::string(item)};
    const std::vector<std::string>& synonyms = thesaurus_.SynonymsOf(item);
    words.insert(words.end(), synonyms.begin(), synonyms.end());
    for (const std::string& word : words) {
        RefSet found;
        if (!Words(word, PlainFields(), true, found)) {
            return false;
        }
        set = RefSet::Or(set, found);
    }
    return true;
}

bool IndexEvaluation::Term(const SearchTerm& term, RefSet& set) {
    switch (term.kind) {
    case TermKind::Tagged:
        set = file_.TaggedSet();
        return true;
    case TermKind::Located:
        set = file_.LocatedSet();
        return true;
    case TermKind::Plain:
        return Text(term.Unquoted(), PlainFields(), true, set);
    case TermKind::Scoped: {
        const FieldScope scope = ScopeOf(term.token);
        const std::vector<int> fields =
            scope == FieldScope::YearLine ? std::vector<int>{kYearField, kVolumeField, kPagesField}
                                          : std::vector<int>{static_cast<int>(scope)};
        return Text(term.Unquoted(), fields, scope == FieldScope::YearLine, set);
    }
    case TermKind::List: {
        const bool all = term.token == Token::All;
        set = RefSet(size_, false);
        for (std::size_t i = 0; i < term.items.size(); ++i) {
            RefSet item;
            if (!Item(term.items[i], item)) {
                return false;
            }
            set = all && i > 0 ? RefSet::And(set, item) : all ? item : RefSet::Or(set, item);
        }
        if (term.token == Token::None) {
            set = Complement(set);
        }
        return true;
    }
    case TermKind::Near:
        break; // refused before
    }
    return false;
}

bool IndexEvaluation::Boolean(const CompiledExpression& expression, RefSet& result) {
    std::vector<RefSet> stack;
    for (const ProgramStep& step : expression.program) {
        if (step.push) {
            RefSet set;
            if (!Term(expression.terms[static_cast<std::size_t>(step.term)], set)) {
                return false;
            }
            stack.push_back(std::move(set));
            continue;
        }
        if (InfoOf(step.token).kind == TokenKind::Negation) {
            stack.back() = Complement(stack.back());
        } else if (InfoOf(step.token).kind == TokenKind::Connective) {
            const RefSet b = std::move(stack.back());
            stack.pop_back();
            RefSet& a = stack.back();
            a = step.token == Token::And  ? RefSet::And(a, b)
                : step.token == Token::Or ? RefSet::Or(a, b)
                                          : RefSet::Xor(a, b);
        }
    }
    result = stack.size() == 1 ? std::move(stack.front()) : RefSet(size_);
    return true;
}

// Every required word and, when there are any, one of the alternative words.
bool IndexEvaluation::Simple(const SimpleExpression& expression, RefSet& result) {
    result = RefSet(covered_, true);
    for (const std::string& word : expression.required) {
        RefSet found;
        if (!Text(word, PlainFields(), true, found)) {
            return false;
        }
        result = RefSet::And(result, found);
    }
    if (!expression.alternative.empty()) {
        RefSet any(size_);
        for (const std::string& word : expression.alternative) {
            RefSet found;
            if (!Text(word, PlainFields(), true, found)) {
                return false;
            }
            any = RefSet::Or(any, found);
        }
        result = RefSet::And(result, any);
    }
    return true;
}

// The index terms of an expression: every term, every item of a list.
int IndexTermCount(const PreparedExpression& prepared) {
    if (!prepared.boolean) {
        return static_cast<int>(prepared.simple.required.size() +
                                prepared.simple.alternative.size());
    }
    int count = 0;
    for (const SearchTerm& term : prepared.compiled.terms) {
        count += term.kind == TermKind::List ? static_cast<int>(term.items.size()) : 1;
    }
    return count;
}

// The first field operator of the expression whose field the index lacks.
bool MissingField(const PreparedExpression& prepared, const IndexHeader& header, Token& missing) {
    for (const SearchTerm& term : prepared.compiled.terms) {
        if (term.kind != TermKind::Scoped) {
            continue;
        }
        const FieldScope scope = ScopeOf(term.token);
        const bool lacks = scope == FieldScope::YearLine
                               ? (header.fieldMask & kYearPartsMask) != kYearPartsMask
                               : !header.HasField(static_cast<int>(scope));
        if (lacks) {
            missing = term.token;
            return true;
        }
    }
    return false;
}

} // namespace

Outcome IndexedSearch(TReferenceFile& file, std::string_view expression, SearchMode mode,
                      const Thesaurus& thesaurus, Progress* progress, SearchResult& result,
                      FileSystem& fs) {
    result = SearchResult();
    if (!file.IsOpen()) {
        return Outcome::Error(Msg(msg::RefWin::CannotAccessFile, DisplayPath(file.FileName())));
    }
    PreparedExpression prepared;
    if (Outcome r = PrepareExpression(expression, prepared, result); !r) {
        return r;
    }
    if (prepared.boolean && prepared.compiled.Uses(Token::Near)) {
        return Outcome::Error(Message(msg::RefWin::NearNotIndexed), 801);
    }
    if (IndexTermCount(prepared) > kMaxIndexTerms) {
        return Outcome::Error(Message(msg::Searching::TooManyIndexTerms));
    }
    WordIndex index;
    const IndexStatus status = CheckWordIndex(fs, *file.Reader(), 0, &index);
    if (status.state == 0) {
        return Outcome::Error(status.Message(file.FileName()));
    }
    if (Token missing = Token::Open;
        prepared.boolean && MissingField(prepared, index.Header(), missing)) {
        file.TaggedSet().ClearAll();
        return Outcome::Error(Msg(msg::RefWin::OperatorNotIndexed, OperatorName(missing)));
    }
    ShowSearchStatus(progress, Message(msg::RefWin::Searching));
    IndexEvaluation evaluation(index, file, thesaurus);
    RefSet matches;
    const bool read = prepared.boolean ? evaluation.Boolean(prepared.compiled, matches)
                                       : evaluation.Simple(prepared.simple, matches);
    if (!read) {
        file.TaggedSet().ClearAll();
        return Outcome::Error(Msg(msg::RefWin::IndexUnavailable, DisplayPath(file.FileName())));
    }
    matches = RefSet::And(matches, file.PresentSet());
    // The words are shown in the displayed text, which is folded as the scanning search folds it
    // (index words would turn "1985-1990" into what the index stores for it).
    result.hitWords = HitWords(prepared.text, SearchFoldingTable(true), &thesaurus);
    result.diacriticsIgnored = true;
    if (mode == SearchMode::Get) {
        const int visible = file.VisibleCount();
        const int start = file.CurrentPosition();
        for (int step = 1; step <= visible; ++step) {
            const int ref = file.DisplayToAbsolute((start + step) % visible);
            if (matches.Test(ref)) {
                result.matches.push_back(ref);
                result.wrapped = start + step >= visible;
                break;
            }
        }
    } else {
        result.matches = matches.Members();
        (mode == SearchMode::Tag ? file.TaggedSet() : file.LocatedSet()) = matches;
    }
    result.found = !result.matches.empty();
    return FinishSearch(file, prepared, mode, progress, result);
}

} // namespace cvx
