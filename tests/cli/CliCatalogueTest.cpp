#include "CliRunner.h"

namespace cvx {
namespace {

using testing::CliTest;

TEST_F(CliTest, MessageFilledWithItsArguments) {
    struct Case {
        std::vector<std::string> args;
        std::string out;
    };
    const Case cases[] = {
        {{"message", "GMSG_RefWin", "0", "3", "120"}, "Tagged: 3/120\n"},
        {{"message", "RefWin", "7", "a b.ref"},
         "The file\n    \"a b.ref\"\ncontains no references\n"},
        // Placeholders without an argument stay.
        {{"message", "RefWin", "1", "5"}, "Displaying ref #5 - #%s2\n"},
        {{"message", "RefWin", "5"}, " Tagged with \"%s\"\n"},
        {{"message", "FileOpen", "7", "9", "x.ref", "4"},
         "Reference #9 in the file \"x.ref\"\n was requested but this file contains only 4 "
         "references.\n"},
        {{"message", "SortDisplay", "12"}, "1\xC2\xB7 Author name ...\n"},
        {{"message", "RefWin", "46"}, "#I<lacks title>#I\n"},
        {{"message", "RefWin", "15", "\xC3\xA9t\xC3\xA9"}, "A\xC3\xA9t\xC3\xA9\n"},
    };
    for (const Case& c : cases) {
        const testing::CliResult r = Run(c.args);
        EXPECT_EQ(r.status, 0) << c.args[2] << r.err;
        EXPECT_EQ(r.out, c.out) << c.args[2];
    }
}

TEST_F(CliTest, MessageListAsTheCatalogueHoldsIt) {
    const testing::CliResult yesNo = Run({"message", "GMSG_YesNo"});
    ASSERT_EQ(yesNo.status, 0) << yesNo.err;
    EXPECT_EQ(yesNo.out.substr(0, 16), "0\tNo\n1\tYes\n2\t\n3\t");
    const testing::CliResult refWin = Run({"message", "RefWin"});
    ASSERT_EQ(refWin.status, 0);
    EXPECT_NE(refWin.out.find("7\tThe file\\n    \"%s\"\\ncontains no references\n"),
              std::string::npos);
    EXPECT_EQ(std::count(refWin.out.begin(), refWin.out.end(), '\n'), 56);
}

TEST_F(CliTest, MessageBadInput) {
    struct Case {
        std::vector<std::string> args;
        int status;
        std::string err;
    };
    const Case cases[] = {
        {{"message", "GMSG_Nothing"}, 1, "Unknown message list \"GMSG_Nothing\"."},
        {{"message", "RefWin", "56"}, 1, "GMSG_RefWin has no entry 56; its entries are 0 to 55."},
        {{"message", "RefWin", "-1"}, 1, "has no entry -1"},
        {{"message", "RefWin", "seven"}, 1, "has no entry seven"},
        {{"message", "RefWin", "0", "1", "2", "3"},
         1,
         "Entry 0 of GMSG_RefWin takes 2 argument(s)."},
        {{"message", "RefWin", "8", "x"}, 1, "takes 0 argument(s)"},
        {{"message"}, 2, "message LIST INDEX [ARG...]"},
        {{"message", "RefWin", "0", "--x"}, 2, "message LIST"},
    };
    for (const Case& c : cases) {
        const testing::CliResult r = Run(c.args);
        EXPECT_EQ(r.status, c.status) << c.args.back();
        EXPECT_NE(r.err.find(c.err), std::string::npos) << r.err;
        EXPECT_EQ(r.out, "");
    }
}

TEST_F(CliTest, TheLanguageSettingChoosesTheCatalogue) {
    ASSERT_EQ(Run({"settings", "set", "Interface\\Locale", "Language", "1053"}).status, 0);
    EXPECT_EQ(Run({"message", "YesNo", "1"}).out, "Ja\n");
    EXPECT_EQ(Run({"message", "FontStyles", "4"}).out, "Upph\xC3\xB6jd\n");
    // Beyond the short Swedish list, and in its gaps, the English entries stand.
    EXPECT_EQ(Run({"message", "CharSorting", "5"}).out, "Norwegian\n");
    EXPECT_EQ(Run({"message", "CreateIDX", "5", "12"}).out, "Processed 12 words\n");
    EXPECT_NE(Run({"message", "CharSorting"}).out.find("0\tSvenska\n1\tEngelska\n2\tJapanese"),
              std::string::npos);
}

} // namespace
} // namespace cvx
