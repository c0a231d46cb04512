#include "documents/PseudoCitation.h"
#include "documents/PseudoCitationGroup.h"
#include "refstore/ReferenceJobs.h"
#include "support/ReferenceText.h"
#include "support/TempDir.h"
#include "text/Catalogue.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace cvx {
namespace {

TEST(PseudoCitation, BuildsWithAndWithoutHiddenText) {
    PseudoCitationRequest r;
    r.file = "/home/ann/My Papers/muscle.ref";
    r.number = 12;
    r.label = "Smith & Jones, 1986";
    EXPECT_EQ(BuildPseudoCitation(r, true),
              "{{#H/home/ann/My Papers/muscle.ref #12; #HSmith & Jones, 1986}}");
    EXPECT_EQ(BuildPseudoCitation(r, false),
              "{{/home/ann/My Papers/muscle.ref #12;  Smith & Jones, 1986}}");
}

TEST(PseudoCitation, BuildsEveryOptionWithItsReminder) {
    struct Case {
        int option;
        std::string text;
        bool first;
        bool skip;
        std::string expected;
    };
    const Case cases[] = {
        {kOptionHide, "", false, false, "{{a.ref #3/Hide;  Smith, 1986 <Hidden>}}"},
        {kOptionYear, "", true, true,
         "{{a.ref #3/!-Year;  Smith, 1986 <Year only> <First in group> <No enclosure>}}"},
        {kOptionAuthors, "", false, false, "{{a.ref #3/Authors;  Smith, 1986 <Authors only>}}"},
        {kOptionTextBefore, "see also ", false, false,
         "{{a.ref #3/>see also ;  see also Smith, 1986}}"},
        {kOptionTextAfter, ", Fig. 2", false, true,
         "{{a.ref #3/-<, Fig. 2;  Smith, 1986, Fig. 2 <No enclosure>}}"},
        {kOptionNone, "", true, false, "{{a.ref #3/!;  Smith, 1986 <First in group>}}"},
    };
    for (const Case& c : cases) {
        PseudoCitationRequest r{"a.ref", 3, c.option, c.text, c.first, c.skip, "Smith, 1986"};
        EXPECT_EQ(BuildPseudoCitation(r, false), c.expected);
    }
}

TEST(PseudoCitation, ReadsWhatItBuilds) {
    const PseudoCitationRequest requests[] = {
        {"/home/ann/My Papers/muscle.ref", 12, kOptionNone, "", false, false, "Smith, 1986"},
        {"/home/ann/Project #2/refs.ref", 7, kOptionYear, "", true, false, "Brown, 1998"},
        {"/data/Years/refs #4.ref", 1, kOptionHide, "", false, true, "Lee, 2001"},
        {"/home/ann/Ref\xC3\xA9rences/M\xC3\xB6ller.ref", 3, kOptionTextBefore, "cf. ", false,
         false, "M\xF6ller, 2011"},
        {"/tmp/a.ref", 2, kOptionTextAfter, ", Table #2", false, false, "Smith, 1986"},
        {"/tmp/Hide/a.ref", 9, kOptionAuthors, "", true, true, "Smith #Iet al.#I, 1986"},
    };
    for (bool hide : {true, false}) {
        for (const PseudoCitationRequest& r : requests) {
            const std::string built = BuildPseudoCitation(r, hide);
            const TPseudoCitation pc = ParsePseudoCitation(built.substr(2, built.size() - 4));
            EXPECT_EQ(pc.file, r.file) << built;
            EXPECT_EQ(pc.number, r.number - 1) << built;
            EXPECT_EQ(pc.Option(), r.option) << built;
            EXPECT_EQ(pc.FirstInGroup(), r.firstInGroup) << built;
            EXPECT_EQ(pc.SkipEnclosure(), r.skipEnclosure) << built;
            EXPECT_EQ(pc.optionText, r.optionText) << built;
        }
    }
}

TEST(PseudoCitation, ReadsTheDocumentedForms) {
    struct Case {
        std::string text;
        std::string file;
        int number; // 0-based, -1 unreadable
        int code;
        std::string optionText;
    };
    const Case cases[] = {
        {"c:\\refs\\a.ref #3", "c:\\refs\\a.ref", 2, 0, ""},
        {"#Hc:\\refs\\a #3/!-year; #HSmith, 1986 <Year only> <First in group> <No enclosure>",
         "c:\\refs\\a.ref", 2, 2 + 32 + 64, ""},
        {"a.ref #3/>see also ; see also Smith, 1986", "a.ref", 2, 4, "see also "},
        {"a.ref #x3", "a.ref", -1, 0, ""},
        {"a.ref #0", "a.ref", -1, 0, ""},
        {"a.ref #-5; Smith", "a.ref", -1, 0, ""},
        {"  /Home/Ann/Refs.REF  #  14 ;Smith", "/Home/Ann/Refs.REF", 13, 0, ""},
        {"/home/ann/muscle #2", "/home/ann/muscle.ref", 1, 0, ""},
        {"%/home/ann/a.ref #5", "/home/ann/a.ref", 4, 0, ""},
        // An empty option word is no option, not Hide.
        {"a.ref #3/; Smith", "a.ref", 2, 0, ""},
        {"a.ref #3/-; Smith", "a.ref", 2, 64, ""},
        // An unknown option word leaves no option.
        {"a.ref #3/fig; Smith", "a.ref", 2, 0, ""},
        // A "#" inside the path, and one inside an after-text or the label, do not cut it.
        {"/home/Project #2/refs.ref #5", "/home/Project #2/refs.ref", 4, 0, ""},
        {"/home/Project #2/Years/refs.ref #5/year", "/home/Project #2/Years/refs.ref", 4, 2, ""},
        {"/tmp/a.ref #3/<, Table #2; Smith, 1986, Table #2", "/tmp/a.ref", 2, 5, ", Table #2"},
        {"/tmp/a.ref #3; Smith #Iet al.#I, 1986 #4", "/tmp/a.ref", 2, 0, ""},
    };
    for (const Case& c : cases) {
        const TPseudoCitation pc = ParsePseudoCitation(c.text);
        EXPECT_EQ(pc.file, c.file) << c.text;
        EXPECT_EQ(pc.number, c.number) << c.text;
        EXPECT_EQ(pc.optionCode, c.code) << c.text;
        EXPECT_EQ(pc.optionText, c.optionText) << c.text;
    }
}

TEST(PseudoCitation, TellsMarkersAndOtherBracesApart) {
    EXPECT_TRUE(IsReferenceListMarker("REFERENCES"));
    EXPECT_TRUE(IsReferenceListMarker(" REFERENCES list "));
    EXPECT_FALSE(IsReferenceListMarker("/home/REFERENCES/a.ref #3"));
    EXPECT_FALSE(IsReferenceListMarker("references"));
    EXPECT_TRUE(LooksLikePseudoCitation("a.ref #3"));
    EXPECT_FALSE(LooksLikePseudoCitation("x + y"));
}

TEST(PseudoCitation, RefusesMoreThanTheClipboardLimit) {
    std::vector<PseudoCitationRequest> requests(2000);
    for (int i = 0; i < 2000; ++i) {
        requests[i] = {"/home/ann/papers/a-rather-long-reference-file-name.ref",
                       i + 1,
                       kOptionNone,
                       "",
                       false,
                       false,
                       "Smith, Jones & Brown, 1986"};
    }
    std::string text = "unchanged";
    const Outcome r = BuildPseudoCitations(requests, true, text);
    ASSERT_FALSE(r.ok());
    EXPECT_EQ(r.message(), Message(msg::RefWin::TooManyTagged));
    EXPECT_EQ(text, "unchanged");

    requests.resize(3);
    ASSERT_TRUE(BuildPseudoCitations(requests, false, text).ok());
    EXPECT_EQ(text.find("}}{{"), text.find("}}"));
    EXPECT_LE(text.size(), kMaxPseudoCitationText);
}

// A text before or after a citation that holds ";" or "}}" would end the options or the
// pseudo-citation early: the builder refuses it and produces nothing. The other options carry no
// text, so whatever their text field holds is not looked at.
TEST(PseudoCitation, RefusesOptionTextsThatWouldEndItEarly) {
    const struct {
        int option;
        const char* text;
        bool refused;
    } cases[] = {
        {kOptionTextBefore, "see; also", true}, {kOptionTextAfter, "p. 3}}", true},
        {kOptionTextAfter, "}} and }", true},   {kOptionTextBefore, "see {also} ", false},
        {kOptionTextAfter, ", p. 3 }", false},  {kOptionYear, "left; over", false},
    };
    for (const auto& c : cases) {
        std::string text = "unchanged";
        const PseudoCitationRequest r{"a.ref", 1, c.option, c.text, false, false, "Smith, 1986"};
        const Outcome built = BuildPseudoCitations({r}, false, text);
        EXPECT_EQ(built.ok(), !c.refused) << c.text;
        if (c.option != kOptionYear) {
            EXPECT_EQ(CheckOptionText(c.text).ok(), !c.refused) << c.text;
        }
        if (c.refused) {
            EXPECT_EQ(built.message(), Message(msg::Documents::OptionTextForbidden));
            EXPECT_EQ(text, "unchanged");
        }
    }
}

TEST(PseudoCitationGroup, NamesTheFileByItsFullPathAndLabelsEachReference) {
    test::TempDir dir;
    const std::string path = dir.Write(
        "refs.ref", test::JournalBlock("Id1", "M\xFCller, H.", "T.", "1998 (1) pp 1", "Nature") +
                        test::JournalBlock("Id2", "Smith, J. Jones, K. Brown, L.", "T.",
                                           "2001 (1) pp 1", "Cell"));
    TReferenceFile file;
    ASSERT_TRUE(OpenReferenceFile(file, path, nullptr).ok());
    PseudoCitationGroup group;
    group.numbers = {2, 1};
    group.pattern.option = kOptionYear;
    std::string text;
    ASSERT_TRUE(BuildPseudoCitationGroup(file, group, {}, text).ok());
    EXPECT_EQ(text, "{{" + path + " #2/Year;  Smith, Jones & Brown, 2001 <Year only>}}{{" + path +
                        " #1/Year;  M\u00fcller, 1998 <Year only>}}");
    // The name as the user gave it, relative to the working folder, becomes a full path.
    const std::filesystem::path cwd = std::filesystem::current_path();
    std::filesystem::current_path(dir.Path());
    group.pattern.file = "./refs.ref";
    group.numbers = {1};
    group.hide = true;
    const Outcome r = BuildPseudoCitationGroup(file, group, {}, text);
    std::filesystem::current_path(cwd);
    ASSERT_TRUE(r.ok());
    EXPECT_EQ(text.rfind("{{#H" + path + " #1/Year;", 0), 0u) << text;

    group.numbers = {1, 3};
    EXPECT_FALSE(BuildPseudoCitationGroup(file, group, {}, text).ok());
}

} // namespace
} // namespace cvx
