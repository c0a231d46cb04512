#include "search/SearchExpression.h"

#include "search/SearchFolding.h"
#include "text/StringPrimitives.h"

#include <algorithm>
#include <array>
#include <charconv>

namespace cvx {

namespace {

constexpr std::array<TokenInfo, 19> kTokens = {{
    {"(", TokenKind::Parenthesis, 0},       {")", TokenKind::Parenthesis, 0},
    {"ANY(", TokenKind::ListQuantifier, 4}, {"NONE(", TokenKind::ListQuantifier, 4},
    {"ALL(", TokenKind::ListQuantifier, 4}, {"OR", TokenKind::Connective, 1},
    {"XOR", TokenKind::Connective, 1},      {"AND", TokenKind::Connective, 2},
    {"ID(", TokenKind::FieldScope, 4},      {"AU(", TokenKind::FieldScope, 4},
    {"TI(", TokenKind::FieldScope, 4},      {"YVP(", TokenKind::FieldScope, 4},
    {"SO(", TokenKind::FieldScope, 4},      {"ED(", TokenKind::FieldScope, 4},
    {"PU(", TokenKind::FieldScope, 4},      {"CI(", TokenKind::FieldScope, 4},
    {"AB(", TokenKind::FieldScope, 4},      {"NEAR(", TokenKind::Proximity, 4},
    {"NOT(", TokenKind::Negation, 3},
}};

// The keywords that make an expression Boolean.
constexpr std::array<std::string_view, 19> kBooleanKeywords = {
    "TAGGED", "LOCATED", "ANY(", " AND ", " OR ", " XOR ", "ALL(", "NONE(", "NOT(", "ID(",
    "AU(",    "TI(",     "YVP(", "SO(",   "ED(",  "PU(",   "CI(",  "AB(",   "NEAR("};

std::string RemoveQuotes(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    for (const char c : text) {
        if (c != '"') {
            out.push_back(c);
        }
    }
    return out;
}

std::string CutTerm(std::string_view text) {
    std::string_view t = TrimView(text);
    return TrimBlanks(t.substr(0, std::min(t.size(), kMaxTermLength)));
}

// The comma-separated items of a list argument, empty ones left out.
std::vector<std::string> ListItems(std::string_view text) {
    std::vector<std::string> items;
    while (!text.empty()) {
        ListItem item = FirstListItem(text);
        if (!item.item.empty()) {
            items.push_back(std::move(item.item));
        }
        text = item.separator < text.size() ? text.substr(item.separator + 1) : std::string_view();
    }
    return items;
}

// Where the previous read ended, for the syntax checks.
enum class Last { Start, Term, Open, Close, Connective };

struct PendingOperator {
    Token token;
    int priority;
    std::size_t position;
};

class Compiler {
public:
    Compiler(std::string_view text, std::size_t offset) : text_(text), offset_(offset) {}

    bool Run(CompiledExpression& compiled, CompileError& error);

private:
    bool Fail(MsgId message, std::size_t position) {
        error_ = {message, offset_ + position};
        return false;
    }
    // The earliest token at or after pos_, ties going to the earlier table entry.
    bool FindToken(std::size_t& at, Token& token) const;
    bool ReadArgument(Token scope, std::size_t tokenPosition);
    bool AddTerm(SearchTerm term);
    bool OnToken(Token token, std::size_t position);
    bool PushOperator(Token token, std::size_t position);
    bool Validate();

    std::string_view text_;
    std::size_t offset_;
    std::size_t pos_ = 0;
    int depth_ = 0;
    Last last_ = Last::Start;
    int operators_ = 0;
    std::vector<PendingOperator> stack_;
    std::vector<std::size_t> stepPositions_;
    CompiledExpression out_;
    CompileError error_;
};

bool Compiler::FindToken(std::size_t& at, Token& token) const {
    for (std::size_t i = pos_; i < text_.size(); ++i) {
        for (std::size_t t = 0; t < kTokens.size(); ++t) {
            if (text_.substr(i, kTokens[t].text.size()) == kTokens[t].text) {
                at = i;
                token = static_cast<Token>(t);
                return true;
            }
        }
    }
    return false;
}

bool Compiler::AddTerm(SearchTerm term) {
    if (static_cast<int>(out_.terms.size()) == kMaxTerms) {
        return Fail(msg::Searching::TooManyTerms, term.position);
    }
    stepPositions_.push_back(term.position);
    out_.program.push_back({true, static_cast<int>(out_.terms.size()), Token::Open});
    out_.terms.push_back(std::move(term));
    return true;
}

// The argument of a field operator, list quantifier or NEAR(): the raw text up to the ")" that
// closes it, nested parentheses counted.
bool Compiler::ReadArgument(Token scope, std::size_t tokenPosition) {
    int nesting = 1;
    std::size_t close = pos_;
    for (; close < text_.size(); ++close) {
        nesting += text_[close] == '(' ? 1 : text_[close] == ')' ? -1 : 0;
        if (nesting == 0) {
            break;
        }
    }
    if (close == text_.size()) {
        return Fail(msg::Searching::LackingClosing, tokenPosition);
    }
    SearchTerm term;
    term.token = scope;
    term.text = CutTerm(text_.substr(pos_, close - pos_));
    term.position = pos_;
    const TokenKind kind = InfoOf(scope).kind;
    if (kind == TokenKind::FieldScope) {
        term.kind = TermKind::Scoped;
        if (term.Unquoted().empty()) {
            return Fail(msg::Searching::EmptyTerm, pos_);
        }
    } else {
        term.kind = kind == TokenKind::Proximity ? TermKind::Near : TermKind::List;
        term.items = ListItems(term.text);
        if (term.kind == TermKind::Near && term.items.size() < 2) {
            return Fail(msg::Searching::NearNeedsTwoWords, tokenPosition);
        }
        if (term.items.empty()) {
            return Fail(msg::Searching::EmptyTerm, pos_);
        }
    }
    pos_ = close + 1;
    --depth_;
    last_ = Last::Close;
    return AddTerm(std::move(term));
}

bool Compiler::PushOperator(Token token, std::size_t position) {
    if (++operators_ > kMaxOperators) {
        return Fail(msg::Searching::TooManyOperators, position);
    }
    const int priority = depth_ * 10 + InfoOf(token).precedence;
    while (!stack_.empty() && stack_.back().priority >= priority) {
        stepPositions_.push_back(stack_.back().position);
        out_.program.push_back({false, 0, stack_.back().token});
        stack_.pop_back();
    }
    stack_.push_back({token, priority, position});
    return true;
}

bool Compiler::OnToken(Token token, std::size_t position) {
    const TokenKind kind = InfoOf(token).kind;
    if (token == Token::Open || token == Token::Not) {
        if (last_ == Last::Term) {
            return Fail(msg::Searching::LackingOperator, position);
        }
    } else if (kind == TokenKind::Connective) {
        if (last_ == Last::Start) {
            return Fail(msg::Searching::StartsWithConnective, position);
        }
        if (last_ == Last::Connective || last_ == Last::Open) {
            return Fail(msg::Searching::AdjacentConnectives, position);
        }
    }
    if (token == Token::Open) {
        ++depth_;
        last_ = Last::Open;
        return true;
    }
    if (token == Token::Close) {
        if (--depth_ < 0) {
            return Fail(msg::Searching::TooManyClosing, position);
        }
        last_ = Last::Close;
        return true;
    }
    if (!PushOperator(token, position)) {
        return false;
    }
    if (kind == TokenKind::Connective) {
        last_ = Last::Connective;
        return true;
    }
    ++depth_; // the operator holds its "("
    if (kind == TokenKind::Negation) {
        last_ = Last::Open;
        return true;
    }
    return ReadArgument(token, position);
}

// Every operator finds its operands and one value is left: the program can be evaluated.
bool Compiler::Validate() {
    std::vector<std::size_t> values;
    for (std::size_t i = 0; i < out_.program.size(); ++i) {
        const ProgramStep& step = out_.program[i];
        const TokenKind kind = step.push ? TokenKind::Parenthesis : InfoOf(step.token).kind;
        const std::size_t operands = step.push                       ? 0
                                     : kind == TokenKind::Connective ? 2
                                     : kind == TokenKind::Negation   ? 1
                                                                     : 0;
        if (values.size() < operands) {
            return Fail(msg::Searching::OperatorWithoutTerm, stepPositions_[i]);
        }
        values.resize(values.size() - operands);
        if (step.push || operands > 0) {
            values.push_back(stepPositions_[i]);
        }
    }
    if (values.empty()) {
        return Fail(msg::Searching::MissingLastTerm, text_.size());
    }
    if (values.size() > 1) {
        return Fail(msg::Searching::LackingOperator, values[1]);
    }
    return true;
}

bool Compiler::Run(CompiledExpression& compiled, CompileError& error) {
    bool ok = !text_.empty() || Fail(msg::Searching::EmptyExpression, 0);
    while (ok && pos_ < text_.size()) {
        std::size_t at = text_.size();
        Token token = Token::Open;
        const bool found = FindToken(at, token);
        if (at > pos_) {
            const std::string term = CutTerm(text_.substr(pos_, at - pos_));
            const std::size_t termPosition = pos_;
            pos_ = at;
            if (term.empty()) {
                continue;
            }
            SearchTerm t;
            t.text = term;
            t.position = termPosition;
            const std::string folded = FoldText(t.Unquoted(), SearchFoldingTable(false));
            if (folded.empty()) {
                ok = Fail(msg::Searching::EmptyTerm, termPosition);
                break;
            }
            t.kind = folded == "TAGGED"    ? TermKind::Tagged
                     : folded == "LOCATED" ? TermKind::Located
                                           : TermKind::Plain;
            last_ = Last::Term;
            ok = AddTerm(std::move(t));
            continue;
        }
        if (!found) {
            break;
        }
        pos_ = at + InfoOf(token).text.size();
        ok = OnToken(token, at);
    }
    if (ok && (last_ == Last::Open || last_ == Last::Connective)) {
        ok = Fail(msg::Searching::MissingLastTerm, text_.size());
    }
    if (ok && depth_ > 0) {
        ok = Fail(msg::Searching::LackingClosing, text_.size());
    }
    while (ok && !stack_.empty()) {
        stepPositions_.push_back(stack_.back().position);
        out_.program.push_back({false, 0, stack_.back().token});
        stack_.pop_back();
    }
    ok = ok && Validate();
    if (!ok) {
        error = error_;
        return false;
    }
    compiled = std::move(out_);
    return true;
}

// The words of a simple expression in the order typed, "@" marking the required ones; empty
// words are left out.
struct SimpleWord {
    std::string_view word;
    bool required;
};
std::vector<SimpleWord> SimpleWordsOf(std::string_view text) {
    std::vector<SimpleWord> words;
    std::size_t offset = 0;
    std::string_view rest = TrimmedExpression(text, offset);
    while (!rest.empty()) {
        const std::size_t bar = rest.find('|');
        std::string_view word = rest.substr(0, bar);
        rest = bar == std::string_view::npos ? std::string_view() : rest.substr(bar + 1);
        const bool required = !word.empty() && word.front() == '@';
        word.remove_prefix(required ? 1 : 0);
        if (!word.empty()) {
            words.push_back({word, required});
        }
    }
    return words;
}

} // namespace

const TokenInfo& InfoOf(Token token) {
    return kTokens[static_cast<std::size_t>(token)];
}

FieldScope ScopeOf(Token token) {
    return static_cast<FieldScope>(static_cast<int>(token) - static_cast<int>(Token::Id) +
                                   static_cast<int>(FieldScope::Identification));
}

Token OperatorOf(FieldScope scope) {
    return static_cast<Token>(static_cast<int>(scope) -
                              static_cast<int>(FieldScope::Identification) +
                              static_cast<int>(Token::Id));
}

std::string OperatorName(Token token) {
    return std::string(InfoOf(token).text) + ")";
}

bool IsBooleanExpression(std::string_view text) {
    return std::any_of(kBooleanKeywords.begin(), kBooleanKeywords.end(),
                       [&](std::string_view k) { return text.find(k) != std::string_view::npos; });
}

std::string_view TrimmedExpression(std::string_view text, std::size_t& offset) {
    std::size_t begin = 0;
    while (begin < text.size() && (text[begin] == '|' || IsBlank(text[begin]))) {
        ++begin;
    }
    std::size_t end = text.size();
    while (end > begin && IsBlank(text[end - 1])) {
        --end;
    }
    offset = begin;
    return text.substr(begin, end - begin);
}

std::string SearchTerm::Unquoted() const {
    return RemoveQuotes(text);
}

int SearchTerm::NearDistance() const {
    if (items.size() < 3) {
        return kDefaultNearDistance;
    }
    const std::string& d = items[2];
    int value = 0;
    const auto [end, ec] = std::from_chars(d.data(), d.data() + d.size(), value);
    return ec == std::errc() && end == d.data() + d.size() ? value : kDefaultNearDistance;
}

bool CompiledExpression::Uses(Token token) const {
    return std::any_of(program.begin(), program.end(),
                       [&](const ProgramStep& s) { return !s.push && s.token == token; });
}

bool CompileExpression(std::string_view text, CompiledExpression& compiled, CompileError& error) {
    std::size_t offset = 0;
    const std::string_view trimmed = TrimmedExpression(text, offset);
    return Compiler(trimmed, offset).Run(compiled, error);
}

SimpleExpression SplitSimpleExpression(std::string_view text) {
    SimpleExpression e;
    for (const SimpleWord& w : SimpleWordsOf(text)) {
        std::vector<std::string>& list = w.required ? e.required : e.alternative;
        if (list.size() < kMaxSimpleWords) {
            list.emplace_back(w.word.substr(0, std::min(w.word.size(), kMaxSimpleWordLength)));
        }
    }
    return e;
}

std::vector<std::string> ExpressionWords(std::string_view text, const Thesaurus* thesaurus) {
    std::vector<std::string> words;
    const auto add = [&](std::string_view w) {
        std::string word(w);
        if (word.size() >= 2 && word.front() == '"' && word.back() == '"') {
            word = word.substr(1, word.size() - 2);
        }
        const std::string folded = FoldText(word, SearchFoldingTable(false));
        if (!word.empty() && folded != "TAGGED" && folded != "LOCATED") {
            words.push_back(std::move(word));
        }
    };
    if (!IsBooleanExpression(text)) {
        for (const SimpleWord& w : SimpleWordsOf(text)) {
            add(w.word);
        }
        return words;
    }
    CompiledExpression compiled;
    CompileError error;
    if (!CompileExpression(text, compiled, error)) {
        return words;
    }
    for (const SearchTerm& term : compiled.terms) {
        if (term.kind == TermKind::List) {
            for (const std::string& item : term.items) {
                add(item);
                if (thesaurus != nullptr) {
                    std::for_each(thesaurus->SynonymsOf(item).begin(),
                                  thesaurus->SynonymsOf(item).end(), add);
                }
            }
        } else if (term.kind == TermKind::Near) {
            std::for_each(term.items.begin(), term.items.begin() + 2, add);
        } else {
            add(term.Unquoted());
        }
    }
    return words;
}

std::vector<std::string> HitWords(std::string_view text, const FoldingTable& table,
                                  const Thesaurus* thesaurus) {
    std::vector<std::string> words;
    for (const std::string& w : ExpressionWords(text, thesaurus)) {
        if (words.size() == kMaxHitWords) {
            break;
        }
        std::string folded = FoldText(w, table);
        folded.resize(std::min(folded.size(), kMaxHitWordLength));
        words.push_back(std::move(folded));
    }
    return words;
}

} // namespace cvx
