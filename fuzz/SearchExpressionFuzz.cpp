// Fuzzes the search-expression compiler with arbitrary text and checks what a compiled
// expression promises: its limits, a program that leaves exactly one value on a stack of at most
// 50, and terms that the scanning matcher and the highlighting take without failing.

#include "refstore/RefSet.h"
#include "search/ReferenceMatcher.h"
#include "search/SearchExpression.h"
#include "search/SearchFolding.h"

#include <cstdlib>
#include <string>

namespace {

// A chapter with a comment line, so that every field scope has a line to look in.
constexpr std::string_view kBlock = " C1\r\n Smith, J.\r\n Heart failure.\r\n 1998 (2) pp 1-9\r\n"
                                    " E: Book\r\n Jones, A.\r\n Springer (Berlin)\r\n Comment.\r\n";

void CheckProgram(const cvx::CompiledExpression& c) {
    if (c.terms.size() > static_cast<std::size_t>(cvx::kMaxTerms) ||
        c.program.size() > static_cast<std::size_t>(cvx::kMaxProgramSteps)) {
        std::abort();
    }
    int depth = 0;
    for (const cvx::ProgramStep& step : c.program) {
        if (step.push) {
            if (step.term < 0 || static_cast<std::size_t>(step.term) >= c.terms.size()) {
                std::abort();
            }
            ++depth;
        } else if (cvx::InfoOf(step.token).kind == cvx::TokenKind::Connective) {
            --depth;
        }
        if (depth < 1 || depth > cvx::kMaxStackDepth) {
            std::abort();
        }
    }
    if (depth != 1) {
        std::abort();
    }
    for (const cvx::SearchTerm& term : c.terms) {
        if (term.text.size() > cvx::kMaxTermLength) {
            std::abort();
        }
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string text(reinterpret_cast<const char*>(data), size);
    const cvx::FoldingTable& table = cvx::SearchFoldingTable(size % 2 == 0);
    cvx::RefSet tagged(1, true);
    cvx::CompiledExpression compiled;
    cvx::CompileError error;
    if (cvx::CompileExpression(text, compiled, error)) {
        CheckProgram(compiled);
        const cvx::ReferenceMatcher matcher(compiled, table);
        (void)matcher.MatchesReference(kBlock, 0, &tagged, nullptr);
    } else if (error.position > text.size()) {
        std::abort();
    }
    const cvx::ReferenceMatcher simple(cvx::SplitSimpleExpression(text), table);
    (void)simple.MatchesReference(kBlock, 0, nullptr, nullptr);
    const std::vector<std::string> words = cvx::HitWords(text, table);
    if (words.size() > cvx::kMaxHitWords) {
        std::abort();
    }
    return 0;
}
