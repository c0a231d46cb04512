// The expression languages: which texts are Boolean, how a Boolean expression compiles (grouping,
// terms and their scopes, the errors and limits) and the words kept for highlighting.

#include "search/SearchExpression.h"
#include "search/SearchFolding.h"
#include "text/Catalogue.h"

#include <gtest/gtest.h>

namespace cvx {
namespace {

// The postfix program in a readable form: terms as typed, operators as their keyword.
std::string Program(const CompiledExpression& c) {
    std::string out;
    for (const ProgramStep& step : c.program) {
        out += (out.empty() ? "" : " ") + (step.push
                                               ? c.terms[static_cast<std::size_t>(step.term)].text
                                               : std::string(InfoOf(step.token).text));
    }
    return out;
}

std::string CompileErrorText(std::string_view text) {
    CompiledExpression compiled;
    CompileError error;
    if (CompileExpression(text, compiled, error)) {
        return "compiled: " + Program(compiled);
    }
    return Message(error.message);
}

TEST(SearchExpressionTest, BooleanKeywordsAreExactUpperCase) {
    const struct {
        std::string_view text;
        bool boolean;
    } cases[] = {
        {"smith|@1998", false},
        {"heart and failure", false},
        {"heart AND failure", true},
        {"heartAND failure", false},
        {"a OR b", true},
        {"a XOR b", true},
        {"au(smith)", false},
        {"AU(smith)", true},
        {"NEAR(a, b)", true},
        {"TAGGED", true},
        {"LOCATED", true},
        {"ORGAN", false},
        {"NOT(review)", true},
        {"ANY(a,b)", true},
        {"(a", false},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(IsBooleanExpression(c.text), c.boolean) << c.text;
    }
}

TEST(SearchExpressionTest, ConnectivesGroupByPrecedenceThenFromTheLeft) {
    const struct {
        std::string_view text;
        std::string_view program;
    } cases[] = {
        {"a OR b AND c", "a b c AND OR"},
        {"a AND b OR c", "a b AND c OR"},
        {"a OR b XOR c", "a b OR c XOR"},
        {"(a OR b) AND c", "a b OR c AND"},
        {"AU(smith) AND NOT(TI(review))", "smith AU( review TI( NOT( AND"},
        {"NOT(a OR b) AND c", "a b OR NOT( c AND"},
        {"ANY(x, \"y, z\") OR NEAR(heart, failure, 3)",
         "x, \"y, z\" ANY( heart, failure, 3 NEAR( OR"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(CompileErrorText(c.text), "compiled: " + std::string(c.program)) << c.text;
    }
}

TEST(SearchExpressionTest, TermsKeepTheirScopeAndListItems) {
    CompiledExpression c;
    CompileError error;
    ASSERT_TRUE(
        CompileExpression("  ANY(a, \"b, c\" ,d) AND NEAR(x,y) OR \"q t\" AND TAGGED", c, error));
    ASSERT_EQ(c.terms.size(), 4u);
    EXPECT_EQ(c.terms[0].kind, TermKind::List);
    EXPECT_EQ(c.terms[0].items, (std::vector<std::string>{"a", "b, c", "d"}));
    EXPECT_EQ(c.terms[1].kind, TermKind::Near);
    EXPECT_EQ(c.terms[1].NearDistance(), kDefaultNearDistance);
    EXPECT_EQ(c.terms[2].kind, TermKind::Plain);
    EXPECT_EQ(c.terms[2].Unquoted(), "q t");
    EXPECT_EQ(c.terms[3].kind, TermKind::Tagged);
    // A capitalised word that holds a keyword is cut at it: "ORGAN" reads as OR and GAN.
    EXPECT_EQ(CompileErrorText("x AND ORGAN"), Message(msg::Searching::AdjacentConnectives));
    ASSERT_TRUE(CompileExpression("x AND y ORGAN", c, error));
    EXPECT_EQ(Program(c), "x y AND GAN OR");
    // Terms are cut to 90 bytes.
    ASSERT_TRUE(CompileExpression("a AND " + std::string(200, 'b'), c, error));
    EXPECT_EQ(c.terms[1].text.size(), kMaxTermLength);
}

TEST(SearchExpressionTest, MalformedExpressionsNameTheirFault) {
    const std::string tooManyTerms = [] {
        std::string t = "t0";
        for (int i = 1; i <= kMaxTerms; ++i) {
            t += " OR t" + std::to_string(i);
        }
        return t;
    }();
    // One term inside as many NOT() as it takes to pass the limit of operators.
    const auto nested = [](int depth) {
        std::string t;
        for (int i = 0; i < depth; ++i) {
            t += "NOT(";
        }
        return t + "a" + std::string(static_cast<std::size_t>(depth), ')');
    };
    const struct {
        std::string text;
        MsgId message;
    } cases[] = {
        {"(a AND b", msg::Searching::LackingClosing},
        {"AU(smith", msg::Searching::LackingClosing},
        {"NOT(a AND b", msg::Searching::LackingClosing},
        {"a AND b)", msg::Searching::TooManyClosing},
        {"AND a", msg::Searching::StartsWithConnective},
        {"OR a", msg::Searching::StartsWithConnective},
        {"a AND", msg::Searching::MissingLastTerm},
        {"a AND NOT(", msg::Searching::MissingLastTerm},
        {"a AND OR b", msg::Searching::AdjacentConnectives},
        {"(AND a)", msg::Searching::AdjacentConnectives},
        {"a (b OR c)", msg::Searching::LackingOperator},
        {"a NOT(b) OR c", msg::Searching::LackingOperator},
        {"AU() AND a", msg::Searching::EmptyTerm},
        {"NEAR(heart) AND a", msg::Searching::NearNeedsTwoWords},
        {tooManyTerms, msg::Searching::TooManyTerms},
        {nested(kMaxOperators + 1), msg::Searching::TooManyOperators},
        {"a OR " + nested(kMaxOperators), msg::Searching::TooManyOperators},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(CompileErrorText(c.text), Message(c.message)) << c.text;
    }
    // Twenty terms, and twenty operators, are still allowed.
    EXPECT_EQ(
        CompileErrorText(tooManyTerms.substr(0, tooManyTerms.rfind(" OR "))).rfind("compiled", 0),
        0u);
    EXPECT_EQ(CompileErrorText(nested(kMaxOperators)).rfind("compiled", 0), 0u);
}

TEST(SearchExpressionTest, ErrorPositionsPointIntoTheGivenText) {
    CompiledExpression c;
    CompileError error;
    ASSERT_FALSE(CompileExpression("|| a AND b)", c, error));
    EXPECT_EQ(error.position, 10u);
    ASSERT_FALSE(CompileExpression("a AND OR b", c, error));
    EXPECT_EQ(error.position, 6u);
}

TEST(SearchExpressionTest, HostileTextsCompileOrFailCleanly) {
    CompiledExpression c;
    CompileError error;
    // 100 KB of nesting, of terms, of bytes above 0x7F: a result or a message, nothing else.
    const std::string texts[] = {
        std::string(100000, '('),
        std::string(50000, '(') + "a" + std::string(50000, ')'),
        [] {
            std::string t;
            while (t.size() < 100000) {
                t += "NOT(";
            }
            return t;
        }(),
        "a AND " + std::string(100000, '\xE9'),
        std::string(100000, ')'),
        "AU(" + std::string(100000, ','),
        "ANY(" + std::string(100000, '"') + ")",
    };
    for (const std::string& t : texts) {
        if (!CompileExpression(t, c, error)) {
            EXPECT_FALSE(Message(error.message).empty());
            EXPECT_LE(error.position, t.size());
        } else {
            EXPECT_LE(c.program.size(), static_cast<std::size_t>(kMaxProgramSteps));
        }
    }
}

TEST(SearchExpressionTest, SimpleExpressionsSplitIntoRequiredAndAlternativeWords) {
    SimpleExpression s = SplitSimpleExpression("||smith|@1998|jones|@ heart");
    EXPECT_EQ(s.required, (std::vector<std::string>{"1998", " heart"}));
    EXPECT_EQ(s.alternative, (std::vector<std::string>{"smith", "jones"}));
    // At most eight of each, each cut to 25 bytes.
    std::string many;
    for (int i = 0; i < 12; ++i) {
        many += "|@r" + std::to_string(i) + "|a" + std::to_string(i) + std::string(30, 'x');
    }
    s = SplitSimpleExpression(many);
    EXPECT_EQ(s.required.size(), kMaxSimpleWords);
    ASSERT_EQ(s.alternative.size(), kMaxSimpleWords);
    EXPECT_EQ(s.alternative[0].size(), kMaxSimpleWordLength);
}

TEST(SearchExpressionTest, HitWordsAreTheFoldedTermsAndItems) {
    const FoldingTable& table = SearchFoldingTable(false);
    EXPECT_EQ(HitWords("smith|@1998", table), (std::vector<std::string>{"SMITH", "1998"}));
    EXPECT_EQ(
        HitWords("AU(\"smith\") AND ANY(caf\xE9, tea) OR NEAR(heart, failure, 3) OR TAGGED", table),
        (std::vector<std::string>{"SMITH", "CAF\xC9", "TEA", "HEART", "FAILURE"}));
    const std::vector<std::string> long_ = HitWords(std::string(60, 'a'), table);
    ASSERT_EQ(long_.size(), 1u);
    EXPECT_LE(long_[0].size(), kMaxHitWordLength);
    std::string many;
    for (int i = 0; i < 30; ++i) {
        many += "|w" + std::to_string(i);
    }
    EXPECT_LE(HitWords(many, table).size(), kMaxHitWords);
}

TEST(SearchExpressionTest, FoldingWithAndWithoutDiacritics) {
    const std::string text = "M\xFCller a\x9A\t\xE9";
    EXPECT_EQ(FoldText(text, SearchFoldingTable(false)), std::string("M\xDCLLER\0A\x8A\0\xC9", 11));
    EXPECT_EQ(FoldText(text, SearchFoldingTable(true)), std::string("MULLER\0AS\0E", 11));
}

} // namespace
} // namespace cvx
