// The reference window driven as a user drives it: opening, stepping, tagging by hand and by
// numbers, views, copying, deleting and compressing, and a file changed by another program.

#include "RefWinTestSupport.h"

#include "refstore/ReferenceFile.h"
#include "support/ReferenceText.h"
#include "support/TempDir.h"

#include <QCheckBox>
#include <QClipboard>
#include <QLabel>
#include <QListView>
#include <QMimeData>
#include <QSignalSpy>
#include <QTest>

#include <memory>

namespace cvx {
namespace {

class RefWinFormTest : public test::GuiTest {
protected:
    // A window showing a file of `n` numbered references.
    RefWinForm& Open(int n) {
        path_ = dir_.Write("refs.ref", test::NumberedFile(n));
        form_ = std::make_unique<RefWinForm>(*services_);
        form_->setAttribute(Qt::WA_DeleteOnClose, false);
        form_->resize(900, 500);
        EXPECT_TRUE(form_->OpenFile(path_).ok());
        form_->show();
        return *form_;
    }
    template <typename T> T* Find(const char* name) {
        T* found = form_->findChild<T*>(QString::fromLatin1(name));
        EXPECT_NE(found, nullptr) << name;
        return found;
    }
    QString Text(const char* name) { return Find<QLabel>(name)->text(); }
    QListView* List() { return Find<QListView>("SingleLineDisplay"); }
    // As a click on `first` and a Shift+click on `last` select them.
    void SelectRows(int first, int last) {
        List()->selectionModel()->setCurrentIndex(List()->model()->index(last, 0),
                                                  QItemSelectionModel::NoUpdate);
        List()->selectionModel()->select(
            QItemSelection(List()->model()->index(first, 0), List()->model()->index(last, 0)),
            QItemSelectionModel::ClearAndSelect);
    }
    // The tags as another program reads them from the tag file.
    int SavedTags() {
        TReferenceFile other;
        EXPECT_TRUE(other.Open(path_).ok());
        return other.TaggedCount();
    }

    test::TempDir dir_;
    std::string path_;
    // Made after the application object, which the status line needs.
    std::unique_ptr<test::FakeServices> services_ =
        (test::EnsureApplication(), std::make_unique<test::FakeServices>());
    std::unique_ptr<RefWinForm> form_;
};

TEST_F(RefWinFormTest, OpensAFileAndShowsItsFirstReference) {
    RefWinForm& form = Open(5);
    EXPECT_EQ(Text("PANEL_RefNumb"), "1/5");
    EXPECT_EQ(Text("PANEL_TagInfo"), "Tagged: 0/5");
    EXPECT_EQ(List()->model()->rowCount(), 5);
    EXPECT_TRUE(Find<QWidget>("RTF_Idstring")->property("plainText").toString().contains("Ref1"));
    EXPECT_TRUE(
        Find<QWidget>("RTF_Header")->property("plainText").toString().contains("Title number 1."));
    // The file's own order needs no absolute number beside the position.
    EXPECT_FALSE(Find<QLabel>("PANEL_AbsRefNumb")->isVisible());
    EXPECT_EQ(form.RowCount(), 5);
}

TEST_F(RefWinFormTest, RefusesFilesThatCannotBeRead) {
    const struct {
        const char* what;
        std::string path;
    } cases[] = {
        {"missing", dir_.File("none.ref")},
        {"folder", dir_.Path().string()},
        {"line feeds only", dir_.Write("lf.ref", " Ref1\n Author, A.\n Title.\n 1990 (1) pp 1-2\n"
                                                 " Journal\n\n")},
    };
    for (const auto& c : cases) {
        RefWinForm form(*services_);
        form.setAttribute(Qt::WA_DeleteOnClose, false);
        EXPECT_FALSE(form.OpenFile(c.path).ok()) << c.what;
    }
}

TEST_F(RefWinFormTest, StepsThroughTheReferencesAndBeepsAtTheEnds) {
    RefWinForm& form = Open(5);
    form.PreviousReference();
    EXPECT_EQ(DialogSeams::Beeps(), 1);
    for (int i = 0; i < 4; ++i) {
        form.NextReference();
    }
    EXPECT_EQ(Text("PANEL_RefNumb"), "5/5");
    form.NextReference();
    EXPECT_EQ(DialogSeams::Beeps(), 2);
    EXPECT_EQ(Text("PANEL_RefNumb"), "5/5");
    EXPECT_EQ(List()->currentIndex().row(), 4); // the list follows
    form.FirstReference();
    EXPECT_EQ(Text("PANEL_RefNumb"), "1/5");
    form.JumpTo(" 3 ", false);
    EXPECT_EQ(Text("PANEL_RefNumb"), "3/5");
    EXPECT_EQ(form.File().CurrentIndex(), 2);
    for (const char* bad : {"0", "6", "2-3", "x"}) {
        DialogSeams::ClearLog();
        form.JumpTo(bad, false);
        ASSERT_EQ(DialogSeams::Messages().size(), 1U) << bad;
        EXPECT_TRUE(DialogSeams::Messages()[0].text.contains("valid reference number")) << bad;
    }
    EXPECT_EQ(form.File().CurrentIndex(), 2);
}

TEST_F(RefWinFormTest, TagsAndFindsByExpression) {
    RefWinForm& form = Open(6);
    form.FindOrTag(true, "Ref2 OR Ref5", false);
    EXPECT_EQ(form.File().TaggedCount(), 2);
    EXPECT_EQ(form.MessageText(), " Tagged with \"Ref2 OR Ref5\"");
    EXPECT_EQ(form.File().CurrentIndex(), 1); // the first tagged one
    form.FindOrTag(false, "Ref4", false);
    EXPECT_EQ(form.File().CurrentIndex(), 3);
    EXPECT_EQ(form.MessageText(), " Found using \"Ref4\"");
    form.FirstReference();
    ASSERT_TRUE(form.FindNext());
    EXPECT_EQ(form.File().CurrentIndex(), 3);
    form.FindOrTag(false, "nowhere", false);
    EXPECT_EQ(form.File().CurrentIndex(), 3);
    EXPECT_EQ(form.MessageText(), "No references found using \"nowhere\"");
    form.FindOrTag(false, "  ", false);
    EXPECT_EQ(DialogSeams::Beeps(), 1);
    EXPECT_EQ(services_->History().Entries(HistoryList::TagStrings).front(), "Ref2 OR Ref5");
}

TEST_F(RefWinFormTest, TypingInTheListLooksForAnAuthor) {
    RefWinForm& form = Open(6);
    List()->setFocus();
    QTest::keyClicks(List(), "Authore");
    EXPECT_EQ(services_->Status().Text(), "Search author name: Authore");
    QTest::keyClick(List(), Qt::Key_Return);
    EXPECT_EQ(form.File().CurrentIndex(), 3); // "Authore, A." wrote the fourth
}

TEST_F(RefWinFormTest, NextTaggedWrapsRoundWithABeep) {
    RefWinForm& form = Open(6);
    form.NextTagged();
    EXPECT_EQ(DialogSeams::Beeps(), 1); // nothing tagged
    form.TagByNumbers("2,5", false, true);
    EXPECT_EQ(form.File().CurrentIndex(), 1); // the first tagged one
    form.NextTagged();
    EXPECT_EQ(form.File().CurrentIndex(), 4);
    form.NextTagged();
    EXPECT_EQ(form.File().CurrentIndex(), 1);
    EXPECT_EQ(DialogSeams::Beeps(), 2); // round past the end
    form.PreviousTagged();
    EXPECT_EQ(form.File().CurrentIndex(), 4);
    EXPECT_EQ(DialogSeams::Beeps(), 3);
}

TEST_F(RefWinFormTest, TagsByHandAndKeepsTheTagsInTheTagFile) {
    RefWinForm& form = Open(5);
    auto* box = Find<QCheckBox>("CheckBox_TAG");
    QTest::mouseClick(box, Qt::LeftButton, {}, QPoint(4, box->height() / 2));
    EXPECT_TRUE(box->isChecked());
    EXPECT_EQ(Text("PANEL_TagInfo"), "Tagged: 1/5");
    EXPECT_TRUE(form.File().IsTagged(0));
    // Space in the list toggles the tag of the focused row.
    form.NextReference();
    List()->setFocus();
    QTest::keyClick(List(), Qt::Key_Space);
    EXPECT_TRUE(form.File().IsTagged(1));
    EXPECT_EQ(SavedTags(), 2);
    QTest::keyClick(List(), Qt::Key_Space);
    EXPECT_FALSE(form.File().IsTagged(1));
    EXPECT_EQ(SavedTags(), 1);
}

TEST_F(RefWinFormTest, TheFirstSelectedRowDecidesWhatToggleDoes) {
    RefWinForm& form = Open(5);
    form.TagByNumbers("1", false, true);
    SelectRows(0, 2);
    form.ToggleTagOfSelection();
    EXPECT_EQ(form.File().TaggedCount(), 0); // the first was tagged: all are untagged
    form.TagByNumbers("2", false, true);
    SelectRows(0, 2);
    form.ToggleTagOfSelection();
    EXPECT_EQ(form.File().TaggedCount(), 3); // the first was not: all are tagged
}

TEST_F(RefWinFormTest, TaggedOnlyListEndsWithItsLastTag) {
    RefWinForm& form = Open(5);
    form.TagByNumbers("2,4", false, true);
    form.SetListTaggedOnly(true);
    EXPECT_TRUE(form.ListTaggedOnly());
    EXPECT_EQ(form.RowCount(), 2);
    SelectRows(0, 1);
    form.ToggleTagOfSelection();
    EXPECT_FALSE(form.ListTaggedOnly());
    EXPECT_EQ(form.RowCount(), 5);
    EXPECT_EQ(Text("PANEL_TagInfo"), "Tagged: 0/5");
}

TEST_F(RefWinFormTest, InvertingTagsLeavesDeletedReferencesUntagged) {
    RefWinForm& form = Open(4);
    form.DeleteCurrent();
    form.InvertTags();
    EXPECT_EQ(form.File().TaggedCount(), 3);
    EXPECT_FALSE(form.File().IsTagged(0));
}

TEST_F(RefWinFormTest, SelectionCountShowsAfterTheSelectionSettles) {
    RefWinForm& form = Open(5);
    SelectRows(1, 3);
    auto* count = Find<QLabel>("PANEL_SelectionCount");
    ASSERT_TRUE(QTest::qWaitFor([&] { return count->isVisible(); }, 2000));
    EXPECT_EQ(count->text(), "3 selected");
    EXPECT_EQ(form.SelectionCount(), 3);
    SelectRows(2, 2);
    ASSERT_TRUE(QTest::qWaitFor([&] { return !count->isVisible(); }, 2000));
    EXPECT_EQ(form.File().CurrentIndex(), 2); // the detail follows the row chosen last
    form.SelectTagged();
    form.TagByNumbers("1,3,5", false, true);
    form.SelectTagged();
    EXPECT_EQ(form.SelectionCount(), 3);
}

TEST_F(RefWinFormTest, EachViewShowsItsPanels) {
    RefWinForm& form = Open(3);
    const struct {
        RefWinForm::View view;
        bool detail;
        bool list;
    } cases[] = {
        {RefWinForm::List, false, true},
        {RefWinForm::SingleReference, true, false},
        {RefWinForm::Combined, true, true},
    };
    for (const auto& c : cases) {
        form.ChangeView(c.view);
        EXPECT_EQ(Find<QWidget>("PANEL_SingleRef")->isVisible(), c.detail) << c.view;
        EXPECT_EQ(Find<QWidget>("PANEL_MultiRefs")->isVisible(), c.list) << c.view;
        EXPECT_EQ(SettingsStore().ReadInt(Setting::ViewType), static_cast<int>(c.view));
    }
    form.ChangeView(RefWinForm::List);
    EXPECT_EQ(Text("PANEL_BupIdString"), "Ref1");
}

TEST_F(RefWinFormTest, DeletedReferenceCannotBeTaggedByTheBox) {
    RefWinForm& form = Open(3);
    answer = QMessageBox::No;
    form.DeleteCurrent();
    EXPECT_EQ(form.File().DeletedCount(), 0);
    answer = QMessageBox::Yes;
    form.DeleteCurrent();
    EXPECT_EQ(form.File().DeletedCount(), 1);
    ASSERT_FALSE(DialogSeams::Messages().empty());
    EXPECT_TRUE(DialogSeams::Messages().back().text.startsWith("Delete current reference?"));
    auto* box = Find<QCheckBox>("CheckBox_TAG");
    QTest::mouseClick(box, Qt::LeftButton, {}, QPoint(4, box->height() / 2));
    EXPECT_FALSE(box->isChecked());
    EXPECT_EQ(form.File().TaggedCount(), 0);
    EXPECT_EQ(DialogSeams::Beeps(), 1);
}

TEST_F(RefWinFormTest, DeletesTaggedReferencesNamingFiveAndCompresses) {
    RefWinForm& form = Open(8);
    form.TagByNumbers("1-7", false, true);
    form.DeleteTagged();
    const QString question = DialogSeams::Messages().back().text;
    EXPECT_TRUE(question.startsWith("Do you want to delete 7 references from the file"));
    EXPECT_EQ(question.count(QLatin1Char('\t')), 5);
    EXPECT_TRUE(question.endsWith("... and more."));
    EXPECT_EQ(form.File().DeletedCount(), 7);
    form.Compress();
    EXPECT_EQ(form.File().RefCount(), 1);
    EXPECT_EQ(form.RowCount(), 1);
    EXPECT_EQ(Text("PANEL_TagInfo"), "Tagged: 0/1");
    TReferenceFile other;
    ASSERT_TRUE(other.Open(path_).ok());
    EXPECT_EQ(other.RefCount(), 1);
}

TEST_F(RefWinFormTest, ChangingCommandsRefuseAReadOnlyFile) {
    RefWinForm& form = Open(2);
    std::filesystem::permissions(path_, std::filesystem::perms::owner_read);
    form.DeleteCurrent();
    form.Compress();
    EXPECT_EQ(form.File().DeletedCount(), 0);
    ASSERT_EQ(DialogSeams::Messages().size(), 2U);
    EXPECT_TRUE(DialogSeams::Messages()[0].text.contains("read-only"));
}

TEST_F(RefWinFormTest, CopiesTheLongFormWithTheStoredText) {
    RefWinForm& form = Open(3);
    form.NextReference();
    form.CreateLongFormat();
    const QMimeData* copied = QApplication::clipboard()->mimeData();
    ASSERT_NE(copied, nullptr);
    EXPECT_TRUE(copied->text().contains("Title number 2")) << copied->text().toStdString();
    EXPECT_TRUE(copied->hasFormat("application/x-citavox"));
}

TEST_F(RefWinFormTest, NoticesAFileChangedByAnotherProgram) {
    RefWinForm& form = Open(3);
    {
        TReferenceFile other;
        ASSERT_TRUE(other.Open(path_).ok());
        ASSERT_TRUE(other
                        .AppendText(test::JournalBlock("Ref4", "Other, O.", "Added outside.",
                                                       "2001 (1) pp 1-2", "Journal"))
                        .ok());
    }
    ASSERT_TRUE(QTest::qWaitFor([&] { return form.RowCount() == 4; }, 5000));
    EXPECT_EQ(Text("PANEL_TagInfo"), "Tagged: 0/4");
    QSignalSpy gone(&form, &RefWinForm::Disconnected);
    std::filesystem::remove(path_);
    ASSERT_TRUE(gone.wait(5000));
}

} // namespace
} // namespace cvx
