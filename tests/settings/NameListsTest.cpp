#include "SettingsTestSupport.h"

#include "settings/NameLists.h"

namespace cvx {
namespace {

using testing::SettingsTest;

using Names = std::vector<std::string>;

TEST_F(SettingsTest, NameListsAreWrittenWholeAndReadByCount) {
    ASSERT_TRUE(store.SetValue("Strings\\Recent reference files", "7", "stale"));
    ASSERT_TRUE(WriteNameList(store, kRecentFilesSection, {"/a/one.ref", "/b/two.ref"}));
    EXPECT_EQ(store.SectionValues("Strings\\Recent reference files"),
              (SettingValues{{"0", "/a/one.ref"}, {"1", "/b/two.ref"}, {"Count", "2"}}));
    EXPECT_EQ(ReadNameList(store, kRecentFilesSection), (Names{"/a/one.ref", "/b/two.ref"}));
    EXPECT_TRUE(ReadNameList(store, kLastOpenedSection).empty());
}

TEST_F(SettingsTest, MissingNamesAndDamagedCounts) {
    // A missing name is a blank in the recent-files list and empty in the reopen list.
    WriteConfig("[Strings]\n"
                "Recent%20reference%20files\\Count=3\nRecent%20reference%20files\\0=a.ref\n"
                "Last%20opened%20files\\Count=0x2\nLast%20opened%20files\\1=b.ref\n");
    EXPECT_EQ(ReadNameList(store, kRecentFilesSection), (Names{"a.ref", " ", " "}));
    EXPECT_EQ(ReadNameList(store, kLastOpenedSection), (Names{"", "b.ref"}));

    ASSERT_TRUE(store.SetValue("Strings\\Last opened files", "Count", "-4"));
    EXPECT_TRUE(ReadNameList(store, kLastOpenedSection).empty());
    ASSERT_TRUE(store.SetValue("Strings\\Last opened files", "Count", "many"));
    EXPECT_TRUE(ReadNameList(store, kLastOpenedSection).empty());
    ASSERT_TRUE(store.SetValue("Strings\\Last opened files", "Count", "2000000000"));
    EXPECT_EQ(ReadNameList(store, kLastOpenedSection).size(),
              static_cast<std::size_t>(kMaxNameListLength));
}

TEST_F(SettingsTest, FileGroupMembersAsStoredByTheProgramBefore) {
    ASSERT_TRUE(store.SetValue("Multifile groups", "Work",
                               "C:\\vox\\refs\\a.ref? C:\\vox\\refs\\b.ref ?? c.ref"));
    EXPECT_EQ(FileGroupMembers(store, "Work"),
              (Names{"C:\\vox\\refs\\a.ref", "C:\\vox\\refs\\b.ref"}));
    // A "%" of a Windows name is not an escape.
    ASSERT_TRUE(store.SetValue("Multifile groups", "Pct", "C:\\100%\\a.ref?C:\\%41.ref"));
    EXPECT_EQ(FileGroupMembers(store, "Pct"), (Names{"C:\\100%\\a.ref", "C:\\%41.ref"}));
    // A group whose value is missing or empty is its own single member.
    ASSERT_TRUE(store.SetValue("Multifile groups", "Empty", ""));
    EXPECT_EQ(FileGroupMembers(store, "Empty"), Names{"Empty"});
    EXPECT_EQ(FileGroupMembers(store, "main.ref"), Names{"main.ref"});
    EXPECT_EQ(FileGroupMembers(store, "Gr\xF6n"), Names{"Gr\xC3\xB6n"});
}

TEST_F(SettingsTest, AnyFileNameRoundTripsThroughAFileGroup) {
    const Names members = {"/home/me/what?.ref",    "/home/me/100%.ref", "/home/me/%3F.ref",
                           " /lead and trail.ref ", "/home/me/a??b.ref", "/x/\xE6\x97\xA5.ref",
                           "/tab\t.ref\t",          "/x/%20.ref"};
    ASSERT_TRUE(WriteFileGroup(store, "Tricky", members));
    EXPECT_EQ(FileGroupMembers(store, "Tricky"), members);
    for (const std::string& m : members) {
        EXPECT_EQ(DecodeGroupMember(EncodeGroupMember(m)), m) << m;
        EXPECT_EQ(EncodeGroupMember(m).find('?'), std::string::npos) << m;
    }
    // Empty members are left out: they would end the list.
    ASSERT_TRUE(WriteFileGroup(store, "Gaps", {"a.ref", "", "b.ref"}));
    EXPECT_EQ(store.Value("Multifile groups", "Gaps"), "a.ref?b.ref");
}

TEST_F(SettingsTest, FileGroupNamesAreUserDataFoundIgnoringCase) {
    ASSERT_TRUE(WriteFileGroup(store, "Old/New \\ Gr\xF6n", {"a.ref"}));
    ASSERT_TRUE(WriteFileGroup(store, "MyGroup", {"b.ref"}));
    EXPECT_EQ(FileGroupMembers(store, "old/new \\ GR\xD6N"), Names{"a.ref"});
    // Writing under another spelling keeps the one stored.
    ASSERT_TRUE(WriteFileGroup(store, "MYGROUP", {"c.ref"}));
    Names names = FileGroupNames(store);
    std::sort(names.begin(), names.end());
    EXPECT_EQ(names, (Names{"MyGroup", "Old/New \\ Gr\xF6n"}));
    EXPECT_EQ(FileGroupMembers(store, "mygroup"), Names{"c.ref"});

    ASSERT_TRUE(store.SetValue("Multifile groups", "MYGROUP", "d.ref")); // by hand
    ASSERT_TRUE(DeleteFileGroup(store, "myGroup"));
    EXPECT_EQ(FileGroupNames(store), Names{"Old/New \\ Gr\xF6n"});
}

TEST_F(SettingsTest, ThesaurusEntries) {
    ASSERT_TRUE(WriteThesaurusEntry(store, "heart", {"cardiac", "coronary"}));
    EXPECT_EQ(store.Value("Thesaurus list", "heart"), "cardiac, coronary");
    EXPECT_EQ(ThesaurusSynonyms(store, "heart"), (Names{"cardiac", "coronary"}));
    EXPECT_EQ(ThesaurusSynonyms(store, "HEART"), (Names{"cardiac", "coronary"}));
    ASSERT_TRUE(store.SetValue("Thesaurus list", "lung", ",, pulmonary  ,,respiratory ,"));
    EXPECT_EQ(ThesaurusSynonyms(store, "lung"), (Names{"pulmonary", "respiratory"}));
    EXPECT_TRUE(ThesaurusSynonyms(store, "kidney").empty());
    ASSERT_TRUE(WriteThesaurusEntry(store, "\xE5ngest", {"r\xF6k"}));
    EXPECT_EQ(ThesaurusSynonyms(store, "\xC5NGEST"), Names{"r\xF6k"});
    ASSERT_TRUE(DeleteThesaurusEntry(store, "Heart"));
    Names words = ThesaurusWords(store);
    std::sort(words.begin(), words.end());
    EXPECT_EQ(words, (Names{"lung", "\xE5ngest"}));
}

} // namespace
} // namespace cvx
