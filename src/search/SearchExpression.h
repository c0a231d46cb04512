#pragma once
// Search expressions: a simple list of words ("smith|@1998") or a Boolean expression with
// connectives, list quantifiers, field operators, NEAR() and NOT(). A Boolean expression is
// compiled into a postfix program over its terms that both the scanning and the indexed search
// evaluate. Positions are 0-based byte offsets into the text that was given.

#include "search/ReferenceLines.h"
#include "search/SearchFolding.h"
#include "search/Thesaurus.h"
#include "text/Catalogue.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace cvx {

// The limits of a compiled expression.
inline constexpr std::size_t kMaxTermLength = 90;
inline constexpr int kMaxTerms = 20;
inline constexpr int kMaxOperators = 20;
inline constexpr int kMaxProgramSteps = 400;
inline constexpr int kMaxStackDepth = 50;
// A simple expression keeps this many required and alternative words, each this long.
inline constexpr std::size_t kMaxSimpleWords = 8;
inline constexpr std::size_t kMaxSimpleWordLength = 25;
inline constexpr int kDefaultNearDistance = 10;

// The tokens of a Boolean expression, numbered as in the token table (earlier wins a tie).
enum class Token : std::uint8_t {
    Open,
    Close,
    Any,
    None,
    All,
    Or,
    Xor,
    And,
    Id,
    Au,
    Ti,
    Yvp,
    So,
    Ed,
    Pu,
    Ci,
    Ab,
    Near,
    Not,
};

enum class TokenKind { Parenthesis, ListQuantifier, Connective, FieldScope, Proximity, Negation };

struct TokenInfo {
    std::string_view text;
    TokenKind kind;
    int precedence;
};

const TokenInfo& InfoOf(Token token);
// The field a field-operator token addresses, and the other way round.
FieldScope ScopeOf(Token token);
Token OperatorOf(FieldScope scope);
// The operator's name as the user reads it in messages: "AU()", "NEAR()".
std::string OperatorName(Token token);

// True when the text holds any of the Boolean expression's keywords (exact upper case; the
// connectives with a blank on each side).
bool IsBooleanExpression(std::string_view text);

// The expression without its leading "|" characters and surrounding blanks, with the offset at
// which it begins in `text`.
std::string_view TrimmedExpression(std::string_view text, std::size_t& offset);

enum class TermKind { Plain, Scoped, List, Near, Tagged, Located };

struct SearchTerm {
    TermKind kind = TermKind::Plain;
    Token token = Token::Open;      // the operator whose argument it is (Scoped, List, Near)
    std::string text;               // trimmed, at most kMaxTermLength bytes, as typed
    std::vector<std::string> items; // List and Near: the comma-separated items
    std::size_t position = 0;

    // A plain or field-scoped term as it is matched: without its double quotes.
    std::string Unquoted() const;
    // NEAR(): the distance given as third item, or kDefaultNearDistance.
    int NearDistance() const;
};

// One step of the postfix program: push a term's value or apply an operator.
struct ProgramStep {
    bool push = true;
    int term = 0;              // push
    Token token = Token::Open; // operator
};

struct CompiledExpression {
    std::vector<SearchTerm> terms;
    std::vector<ProgramStep> program;

    bool Uses(Token token) const;
};

struct CompileError {
    MsgId message = msg::Searching::EmptyExpression;
    std::size_t position = 0;
};

// Compiles a Boolean expression; false with the error when it is not well formed or exceeds the
// limits above.
bool CompileExpression(std::string_view text, CompiledExpression& compiled, CompileError& error);

// A simple expression: required ("@") and alternative words, as typed (not folded).
struct SimpleExpression {
    std::vector<std::string> required;
    std::vector<std::string> alternative;
};
SimpleExpression SplitSimpleExpression(std::string_view text);

// The words of a simple expression (without "@") or the terms and list items of a Boolean one
// (the two words of NEAR()), double quotes around them removed, without TAGGED and LOCATED, as
// typed. With a thesaurus, every list item is followed by its synonyms.
std::vector<std::string> ExpressionWords(std::string_view text,
                                         const Thesaurus* thesaurus = nullptr);

// The words to highlight after a search with `text`: ExpressionWords folded through `table` (the
// search folding, which the indexed search uses too, so that the words are found in the displayed
// text as typed), at most kMaxHitWords of at most kMaxHitWordLength bytes.
inline constexpr std::size_t kMaxHitWords = 20;
inline constexpr std::size_t kMaxHitWordLength = 40;
std::vector<std::string> HitWords(std::string_view text, const FoldingTable& table,
                                  const Thesaurus* thesaurus = nullptr);

} // namespace cvx
