#include "text/FileNames.h"

#include <gtest/gtest.h>

namespace cvx {
namespace {

TEST(FileNames, BothSeparatorConventions) {
    struct Case {
        std::string_view path, changed, ext, name, dir;
    } cases[] = {
        {"C:\\a\\b.ref", "C:\\a\\b.map", "ref", "b.ref", "C:\\a"},
        {"C:\\b.ref", "C:\\b.map", "ref", "b.ref", "C:\\"},
        {"a.b\\c", "a.b\\c.map", "", "c", "a.b"},
        {"/home/ann/My Papers/muscle.ref", "/home/ann/My Papers/muscle.map", "ref", "muscle.ref",
         "/home/ann/My Papers"},
        {"/refs.ref", "/refs.map", "ref", "refs.ref", "/"},
        {"plain", "plain.map", "", "plain", ""},
        {"x/data.nbib", "x/data.map", "nbi", "data.nbib", "x"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(ChangeExt(c.path, "map"), c.changed) << c.path;
        EXPECT_EQ(ExtOf(c.path), c.ext) << c.path;
        EXPECT_EQ(FileNameOf(c.path), c.name) << c.path;
        EXPECT_EQ(DirOf(c.path), c.dir) << c.path;
    }
    EXPECT_EQ(WholeExtOf("x/paper.docx"), "docx"); // ExtOf keeps three characters
    EXPECT_EQ(WholeExtOf("a.b\\c"), "");           // the dot of a folder is no extension
    EXPECT_EQ(DefaultExt("a/b", "ref"), "a/b.ref");
    EXPECT_EQ(DefaultExt("a/b.txt", "ref"), "a/b.txt");
    EXPECT_EQ(AddBackslash("/home/ann"), "/home/ann/");
    EXPECT_EQ(AddBackslash("C:\\x"), "C:\\x\\");
    EXPECT_EQ(AddBackslash("C:"), "C:");
    EXPECT_EQ(OutputName("paper.rtf"), "paper_OUT.rtf");
    EXPECT_EQ(OutputName("/home/a.b/paper.final.rtf"), "/home/a.b/paper_OUT.final.rtf");
    EXPECT_EQ(OutputName("/home/a.b/paper"), "/home/a.b/paper_OUT");
}

TEST(RecentList, MostRecentFirstCappedAt21) {
    RecentList list;
    for (int i = 0; i < 25; ++i) {
        list.Add("file" + std::to_string(i));
    }
    ASSERT_EQ(list.Entries().size(), 21u);
    EXPECT_EQ(list.Entries().front(), "file24");
    EXPECT_EQ(list.Entries().back(), "file4");
    list.Add("file10");
    EXPECT_EQ(list.Entries().size(), 21u);
    EXPECT_EQ(list.Entries().front(), "file10");

    RecentList patterns(RecentList::Match::DigitPattern);
    patterns.Add("RN0001");
    patterns.Add("X12");
    patterns.Add("RN0500");
    ASSERT_EQ(patterns.Entries().size(), 2u);
    EXPECT_EQ(patterns.Entries().front(), "RN0500");
}

} // namespace
} // namespace cvx
