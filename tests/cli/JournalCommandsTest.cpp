// citavox-cli journal: the output shapes and exit statuses of lookup, show and stats against the
// journal-name database that ships.

#include "CliRunner.h"

#include <gtest/gtest.h>

#include <regex>

namespace cvx {
namespace {

class JournalCommandsTest : public testing::CliTest {
protected:
    // Standard output without its final line breaks, as a shell script captures it.
    std::string Output(const testing::CliResult& r) {
        std::string out = r.out;
        while (!out.empty() && out.back() == '\n') {
            out.pop_back();
        }
        return out;
    }
};

TEST_F(JournalCommandsTest, LookupAndShow) {
    struct Case {
        std::vector<std::string> args;
        int status;
        std::string out;
    };
    const Case cases[] = {
        {{"journal", "lookup", "J. Biol. Chem."}, 0, "The Journal of Biological Chemistry\nunique"},
        {{"journal", "lookup", "journal of biological chemistry", "--form", "2"},
         0,
         "J Biol Chem\nunique"},
        {{"journal", "lookup", "Proc Natl Acad Sci U S A", "--form", "3"},
         0,
         "Proc. Natl. Acad. Sci. U.S.A.\nunique"},
        {{"journal", "lookup", "Brain & Language", "--form", "4"},
         0,
         "Brain and Language\nfallback"},
        {{"journal", "lookup", "Drug Research", "--form", "2"},
         0,
         "Drug Res/Drug Res (Stuttg)\nambiguous"},
        {{"journal", "lookup", "Drug Research [2194-9379]", "--form", "2"},
         0,
         "Drug Res (Stuttg)\nunique"},
        {{"journal", "lookup", "[0028-0836]", "--form", "8"}, 0, "Nature [0028-0836]\nunique"},
        {{"journal", "lookup", "Journal of Imaginary Results"}, 1, "\nnot found"},
        {{"journal", "lookup", "Nature", "--database", "/nonexistent/journals.jdb"}, 1, ""},
        {{"journal", "lookup", "Nature", "--form", "9"}, 2, ""},
        {{"journal", "lookup"}, 2, ""},
        {{"journal"}, 2, ""},
        {{"journal", "show", "NATURE"},
         0,
         "Complete name: Nature\n"
         "Alternate name: \n"
         "Medlar: Nature\n"
         "Index Medicus: Nature\n"
         "BIOSIS: \n"
         "Chemical Abstracts: \n"
         "ISSN: 0028-0836\n"
         "Requires issue number: No\n"
         "Lacks volume: No\n"
         "Edited by the user: No"},
        {{"journal", "show", "Drug Research"}, 1, ""},
    };
    for (const Case& c : cases) {
        const testing::CliResult r = Run(c.args);
        EXPECT_EQ(r.status, c.status) << c.args.back() << "\n" << r.err;
        EXPECT_EQ(Output(r), c.out) << c.args.back();
    }
}

TEST_F(JournalCommandsTest, StatsCountTheCompleteNames) {
    const testing::CliResult r = Run({"journal", "stats"});
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_TRUE(
        std::regex_search(r.out, std::regex("(^|\n)Complete journal names: [0-9]*,[0-9]{3}(\n|$)")))
        << r.out;
}

} // namespace
} // namespace cvx
