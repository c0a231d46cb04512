// The catalogue compiler: the enum of names it generates per list, and the catalogue files it
// refuses (a missing or repeated name, a name that is no identifier, a translation that renames).

#include "support/FileBytes.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <cstdlib>

namespace cvx {
namespace {

struct Compilation {
    bool ok = false;
    std::string output; // what the compiler printed
    std::string header; // the generated header
};

// Compiles the English catalogue `en`, with the Swedish translation `sv` when there is one.
Compilation Compile(const test::TempDir& dir, const std::string& en, const std::string& sv = {}) {
    std::string command = std::string(CITAVOX_CATALOGUE_COMPILER) + " " + dir.File("Lists.h") +
                          " " + dir.File("Data.cpp") + " " + dir.Write("en.txt", en);
    if (!sv.empty()) {
        command += " " + dir.Write("sv.txt", sv);
    }
    command += " >" + dir.File("output.txt") + " 2>&1";
    Compilation run;
    run.ok = std::system(command.c_str()) == 0;
    run.output = test::ReadBytes(dir.File("output.txt"));
    run.header = test::ReadBytes(dir.File("Lists.h"));
    return run;
}

TEST(CatalogueCompiler, NamesEveryEntryOfEveryList) {
    test::TempDir dir;
    const Compilation run = Compile(dir,
                                    "[GMSG_Things]\n0 First \"one\"\n1 Second \"two %s\"\n"
                                    "[GMSG_More]\n0 Only \"\"\n",
                                    "[GMSG_Things]\n1 \"tv\xC3\xA5 %s\"\n0 First \"ett\"\n");
    ASSERT_TRUE(run.ok) << run.output;
    EXPECT_NE(run.header.find("enum class Things : int {\n    First = 0,\n    Second = 1,\n};"),
              std::string::npos)
        << run.header;
    EXPECT_NE(run.header.find("enum class More : int {\n    Only = 0,\n};"), std::string::npos);
    EXPECT_NE(run.header.find("struct MessageListOf<msg::Things> {\n    static constexpr MsgList "
                              "list = MsgList::Things;"),
              std::string::npos);
}

TEST(CatalogueCompiler, RefusesEntriesWithoutAGoodName) {
    struct Case {
        std::string en;
        std::string sv;
        std::string error;
    };
    const Case cases[] = {
        {"[GMSG_Things]\n0 \"one\"\n", "", "GMSG_Things 0 has no name"},
        {"[GMSG_Things]\n0 Same \"one\"\n1 Same \"two\"\n", "", "the name Same appears twice"},
        {"[GMSG_Things]\n0 lower \"one\"\n", "", "\"lower\" is not a name"},
        {"[GMSG_Things]\n0 Two Words \"one\"\n", "", "\"Two Words\" is not a name"},
        {"[GMSG_Things]\n0 First \"one\"\n", "[GMSG_Things]\n0 Other \"ett\"\n",
         "GMSG_Things 0 is named First in the reference language"},
    };
    for (const Case& c : cases) {
        test::TempDir dir;
        const Compilation run = Compile(dir, c.en, c.sv);
        EXPECT_FALSE(run.ok) << c.en;
        EXPECT_NE(run.output.find(c.error), std::string::npos) << run.output;
    }
}

} // namespace
} // namespace cvx
