// The samples the create-pseudo-citations dialog shows for each option.

#include "documents/PseudoCitationSample.h"
#include "documents/PseudoCitation.h"

#include <gtest/gtest.h>

namespace cvx {
namespace {

TEST(SampleCitations, EveryOptionInBothFormats) {
    struct Case {
        int option;
        const char* text;
        bool skip, several;
        const char* authorYear;
        const char* numbered;
    } cases[] = {
        {kOptionNone, "", false, false, "(Smith, 1986)", "(7)"},
        {kOptionNone, "", true, true, "Smith, 1986; Brown, 1998", "7, 12"},
        {kOptionHide, "", false, false, "<Citation hidden>", "<Citation hidden>"},
        {kOptionYear, "", false, true, "(1986; 1998)", "(7, 12)"},
        {kOptionAuthors, "", false, false, "(Smith)", "(7)"},
        {kOptionTextBefore, "cf. ", false, false, "(cf. Smith, 1986)", "(cf. Ref. 7)"},
        {kOptionTextAfter, ", Fig. 2", true, false, "Smith, 1986, Fig. 2", "Ref. 7, Fig. 2"},
    };
    for (const Case& c : cases) {
        const CitationSamples s = SampleCitations(c.option, c.text, c.skip, c.several);
        EXPECT_EQ(s.authorYear, c.authorYear) << c.option << c.text;
        EXPECT_EQ(s.numbered, c.numbered) << c.option << c.text;
    }
}

TEST(SampleCitations, TypedTextChoosesBeforeOrAfter) {
    struct Case {
        const char* text;
        int option;
    } cases[] = {{"", kOptionNone},
                 {"see ", kOptionTextBefore},
                 {" p. 3", kOptionTextAfter},
                 {", p. 3", kOptionTextAfter},
                 {": 12", kOptionTextAfter}};
    for (const Case& c : cases) {
        EXPECT_EQ(OptionForText(c.text), c.option) << c.text;
    }
}

} // namespace
} // namespace cvx
