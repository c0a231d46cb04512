#include "SettingsTestSupport.h"

#include "settings/DefaultDirectories.h"
#include "settings/FileDialogSetup.h"

namespace cvx {
namespace {

using testing::SettingsTest;

TEST_F(SettingsTest, FileDialogsGetTheirFiltersInKindOrder) {
    ASSERT_TRUE(SetDefaultDirectory(store, DefaultDirectoryKind::References, "/srv/refs"));
    const FileDialogSetup open =
        PrepareFileDialog(store, FileKind::Reference, DefaultDirectoryKind::References,
                          {FileKind::Any, FileKind::Reference});
    EXPECT_EQ(open.filter, "Reference file (*.ref)|*.ref|Any file (*.*)|*.*");
    ASSERT_EQ(open.filters.size(), 2u);
    EXPECT_EQ(open.filters[0].label, "Reference file (*.ref)");
    EXPECT_EQ(open.filters[0].pattern, "*.ref");
    EXPECT_EQ(open.selected, 0);
    EXPECT_EQ(open.KindAt(1), FileKind::Any);
    EXPECT_EQ(open.KindAt(2), std::nullopt);
    EXPECT_EQ(open.KindAt(-1), std::nullopt);
    EXPECT_EQ(open.initialDirectory, "/srv/refs");
    EXPECT_FALSE(open.confirmOverwrite);

    const FileDialogSetup save = PrepareFileDialog(
        store, FileKind::Text, DefaultDirectoryKind::Lists,
        {FileKind::Help, FileKind::Text, FileKind::MsDosText, FileKind::RichText}, true);
    EXPECT_EQ(save.filter, "MS-DOS Text file (*.asc)|*.asc|Text file (*.txt)|*.txt|"
                           "Rich Text Format (*.rtf)|*.rtf|Help file (*.hlp)|*.hlp");
    EXPECT_EQ(save.selected, 1);
    EXPECT_EQ(save.KindAt(3), FileKind::Help);
    EXPECT_EQ(save.initialDirectory, DefaultDirectoryFallback(DefaultDirectoryKind::Lists));
    EXPECT_TRUE(save.confirmOverwrite);
}

TEST_F(SettingsTest, FileDialogEdgeCases) {
    // A default kind that is not offered selects the first filter; no kinds at all offers any
    // file; an unknown directory index gives no initial directory.
    const FileDialogSetup a = PrepareFileDialog(
        store, FileKind::Dump, static_cast<DefaultDirectoryKind>(9), {FileKind::Format});
    EXPECT_EQ(a.filter, "Format file (*.for)|*.for");
    EXPECT_EQ(a.selected, 0);
    EXPECT_EQ(a.initialDirectory, "");
    const FileDialogSetup b =
        PrepareFileDialog(store, FileKind::Data, DefaultDirectoryKind::Program, {});
    EXPECT_EQ(b.filter, "Any file (*.*)|*.*");
    EXPECT_EQ(b.KindAt(0), FileKind::Any);
    const FileDialogSetup all =
        PrepareFileDialog(store, FileKind::Any, DefaultDirectoryKind::Dumps,
                          {FileKind::MsDosText, FileKind::Text, FileKind::RichText,
                           FileKind::Reference, FileKind::Dump, FileKind::Format, FileKind::Data,
                           FileKind::Help, FileKind::Any, FileKind::Any});
    EXPECT_EQ(all.filters.size(), 9u);
    EXPECT_EQ(all.selected, 8);
    EXPECT_EQ(all.filters[6].pattern, "*.dat");
}

} // namespace
} // namespace cvx
