// The reference window driven as a user drives it: opening, stepping, tagging by hand and by
// numbers, views, copying, deleting and compressing, and a file changed by another program.

#include "RefWinTestSupport.h"

#include "refstore/ReferenceFile.h"
#include "support/ReferenceText.h"
#include "support/TempDir.h"

#include "settings/SettingsStore.h"
#include "storage/WriteLock.h"

#include <QAction>
#include <QCheckBox>
#include <QClipboard>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QMenu>
#include <QMimeData>
#include <QPushButton>
#include <QSignalSpy>
#include <QSplitter>
#include <QTest>
#include <QTextCursor>
#include <QTextEdit>

#include <memory>

namespace cvx {
namespace {

class RefWinFormTest : public test::GuiTest {
protected:
    // A window showing a file of `n` numbered references.
    RefWinForm& Open(int n) { return OpenText(test::NumberedFile(n)); }
    RefWinForm& OpenText(const std::string& text, const std::string& name = "refs.ref") {
        path_ = dir_.Write(name, text);
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
    // The character format of the character at `position` of a display.
    QTextCharFormat FormatAt(const char* display, int position) {
        QTextCursor cursor(Find<QTextEdit>(display)->document());
        cursor.setPosition(position + 1);
        return cursor.charFormat();
    }
    qsizetype PositionOf(const char* display, const QString& text) {
        return Find<QTextEdit>(display)->toPlainText().indexOf(text);
    }
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
        const char* said;
    } cases[] = {
        {"missing", dir_.File("none.ref"), "There is no file with the name"},
        {"folder", dir_.Path().string(), "it is a folder"},
        {"line feeds only",
         dir_.Write("lf.ref", " Ref1\n Author, A.\n Title.\n 1990 (1) pp 1-2\n Journal\n\n"),
         "has LF-only line ends"},
        {"damaged", dir_.Write("damaged.ref", test::NumberedFile(2) + std::string(40, '\0')),
         "binary data (NUL bytes)"},
    };
    for (const auto& c : cases) {
        RefWinForm form(*services_);
        form.setAttribute(Qt::WA_DeleteOnClose, false);
        const Outcome opened = form.OpenFile(c.path);
        EXPECT_FALSE(opened.ok()) << c.what;
        EXPECT_NE(opened.message().find(c.said), std::string::npos)
            << c.what << ": " << opened.message();
        EXPECT_EQ(form.RowCount(), 0) << c.what;
    }
    // A file that another writer holds is read as it is: only writing waits for the writer.
    const std::string heldPath = dir_.Write("held.ref", test::NumberedFile(2));
    WriteLock held;
    ASSERT_TRUE(held.TryAcquire(FileSystem::Default(), heldPath));
    RefWinForm reading(*services_);
    reading.setAttribute(Qt::WA_DeleteOnClose, false);
    ASSERT_TRUE(reading.OpenFile(heldPath).ok());
    EXPECT_EQ(reading.RowCount(), 2);
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

TEST_F(RefWinFormTest, FoundWordsTakeTheHitColourInTheDetailAndTheList) {
    SettingsStore store;
    ASSERT_TRUE(store.WriteInt(Setting::GetColor, 0x00FF00).ok()); // green
    ASSERT_TRUE(store.WriteInt(Setting::TagColor, 0xFF0000).ok()); // blue (stored as BGR)
    RefWinForm& form = Open(6);
    // The marks are the program's: no earlier search of another window may leave any.
    form.FindOrTag(false, "nowhere", false);
    auto* list = List();
    // The list's pixels of a colour near the get colour.
    const auto greenPixels = [&] {
        const QImage image = list->viewport()->grab().toImage();
        int count = 0;
        for (int y = 0; y < image.height(); ++y) {
            for (int x = 0; x < image.width(); ++x) {
                const QColor c = image.pixelColor(x, y);
                count += c.green() > 160 && c.red() < 90 && c.blue() < 90 ? 1 : 0;
            }
        }
        return count;
    };
    EXPECT_EQ(greenPixels(), 0);

    form.FindOrTag(false, "journal of tests", false);
    ASSERT_EQ(form.File().CurrentIndex(), 1);
    const qsizetype at = PositionOf("RTF_Header", "Journal of Tests");
    ASSERT_GE(at, 0);
    for (qsizetype i = at; i < at + 16; ++i) {
        EXPECT_EQ(FormatAt("RTF_Header", static_cast<int>(i)).foreground().color(),
                  QColor(0, 255, 0))
            << i;
        EXPECT_EQ(FormatAt("RTF_Header", static_cast<int>(i)).fontWeight(), QFont::Bold) << i;
    }
    EXPECT_NE(FormatAt("RTF_Header", static_cast<int>(at - 1)).foreground().color(),
              QColor(0, 255, 0));
    list->repaint();
    // The rows that are not selected mark the words in their line too.
    EXPECT_GT(greenPixels(), 0);

    // Tagging marks in the tag colour; the words are found as the index folds them too.
    form.FindOrTag(true, "Ref5", false);
    ASSERT_EQ(form.File().CurrentIndex(), 4);
    const qsizetype id = PositionOf("RTF_Idstring", "Ref5");
    ASSERT_GE(id, 0);
    EXPECT_EQ(FormatAt("RTF_Idstring", static_cast<int>(id)).foreground().color(),
              QColor(0, 0, 255));

    // A search that finds nothing leaves no marks.
    form.FindOrTag(false, "nowhere", false);
    EXPECT_NE(FormatAt("RTF_Idstring", static_cast<int>(id)).foreground().color(),
              QColor(0, 0, 255));
    list->repaint();
    EXPECT_EQ(greenPixels(), 0);
}

TEST_F(RefWinFormTest, AFindThatWrapsPastTheEndBeeps) {
    RefWinForm& form = Open(5);
    form.FindOrTag(false, "Ref4", false);
    EXPECT_EQ(DialogSeams::Beeps(), 0);
    form.FindOrTag(false, "Ref2", false);
    EXPECT_EQ(form.File().CurrentIndex(), 1);
    EXPECT_EQ(DialogSeams::Beeps(), 1);
}

TEST_F(RefWinFormTest, ThePopupMenuGetsTheNextReference) {
    RefWinForm& form = Open(5);
    auto* menu = Find<QMenu>("RefWinPopupMenu");
    QAction* getNext = menu->findChild<QAction*>(QStringLiteral("Getnextreference1"));
    ASSERT_NE(getNext, nullptr);
    EXPECT_EQ(getNext->text(), "&Get next reference");
    EXPECT_EQ(getNext->shortcut(), QKeySequence(Qt::Key_F3));
    form.FindOrTag(false, "Title number", false);
    EXPECT_EQ(form.File().CurrentIndex(), 1);
    getNext->trigger();
    EXPECT_EQ(form.File().CurrentIndex(), 2);
}

TEST_F(RefWinFormTest, SplitterDecidesTheViewWhenASideGetsTooNarrow) {
    RefWinForm& form = Open(3);
    form.ChangeView(RefWinForm::Combined);
    auto* splitter = Find<QSplitter>("Splitter1");
    // Drags the handle so that the detail panel becomes `width` pixels wide.
    const auto drag = [&](int width) {
        QWidget* handle = splitter->handle(1);
        const QPoint inside(0, handle->height() / 2);
        const QPoint from = handle->mapToGlobal(inside);
        const QPoint to = splitter->mapToGlobal(QPoint(width, inside.y()));
        QMouseEvent press(QEvent::MouseButtonPress, QPointF(inside), QPointF(from), Qt::LeftButton,
                          Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(handle, &press);
        QMouseEvent move(QEvent::MouseMove, QPointF(handle->mapFromGlobal(to)), QPointF(to),
                         Qt::NoButton, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(handle, &move);
        QMouseEvent release(QEvent::MouseButtonRelease, QPointF(handle->mapFromGlobal(to)),
                            QPointF(to), Qt::LeftButton, Qt::NoButton, Qt::NoModifier);
        QApplication::sendEvent(handle, &release);
    };
    const int total = splitter->width() - splitter->handleWidth();
    drag(150);
    EXPECT_EQ(form.ViewKind(), RefWinForm::List) << "the detail panel became narrower than 200";
    form.ChangeView(RefWinForm::Combined);
    drag(total - 150);
    EXPECT_EQ(form.ViewKind(), RefWinForm::SingleReference) << "the list became narrower than 200";
    form.ChangeView(RefWinForm::Combined);
    drag(total - 250);
    EXPECT_EQ(form.ViewKind(), RefWinForm::Combined);
    EXPECT_EQ(splitter->sizes()[1], 300) << "the list keeps 300 pixels";
    EXPECT_EQ(SettingsStore().ReadInt(Setting::SingleDisplayWidth), splitter->sizes()[0]);
}

TEST_F(RefWinFormTest, PutsEachFormOnTheClipboardAsTheSettingsSay) {
    const struct {
        const char* what;
        bool latex;
        bool suppressRtf;
        bool stored;
        bool rtf;
    } cases[] = {
        {"everything", false, false, true, true},
        {"RTF suppressed", false, true, true, false},
        {"LaTeX only", true, false, false, false},
    };
    for (const auto& c : cases) {
        ASSERT_TRUE(SettingsStore().WriteBool(Setting::SuppressRtf, c.suppressRtf).ok());
        services_->latex = c.latex;
        Open(3);
        form_->CreateLongFormat();
        const QMimeData* copied = QApplication::clipboard()->mimeData();
        ASSERT_NE(copied, nullptr) << c.what;
        EXPECT_EQ(copied->hasFormat("application/x-citavox"), c.stored) << c.what;
        EXPECT_EQ(copied->hasFormat("text/rtf"), c.rtf) << c.what;
        const QString text = copied->text();
        EXPECT_TRUE(text.contains("Title number 1")) << c.what << ": " << text.toStdString();
        EXPECT_FALSE(text.contains('#')) << c.what << ": " << text.toStdString();
        EXPECT_EQ(text.contains("{\\it "), c.latex) << c.what << ": " << text.toStdString();
        if (c.rtf) {
            EXPECT_TRUE(copied->data("text/rtf").startsWith("{\\rtf")) << c.what;
        }
    }
}

TEST_F(RefWinFormTest, CopiesTheShortFormAndPseudoCitations) {
    RefWinForm& form = Open(3);
    form.NextReference();
    form.CreateShortFormat();
    QString text = QApplication::clipboard()->text();
    EXPECT_TRUE(text.contains("Authorc")) << text.toStdString();
    EXPECT_TRUE(text.contains("1992")) << text.toStdString();
    EXPECT_FALSE(text.contains("Title number")) << text.toStdString();
    modalResult = QDialog::Accepted;
    form.CreatePseudoCitations();
    text = QApplication::clipboard()->text();
    EXPECT_TRUE(text.contains("Authorc")) << text.toStdString();
    EXPECT_TRUE(text.contains("#2")) << text.toStdString();
    EXPECT_EQ(services_->Status().Text(), "Created pseudo-citation(s).");
}

TEST_F(RefWinFormTest, AppendsToAnotherFileButNeverToItself) {
    const std::string other = dir_.Write("other.ref", test::NumberedFile(2));
    RefWinForm& form = Open(4);
    std::string destination;
    onModal = [&](QDialog& dialog) {
        auto* name = dialog.findChild<QLineEdit*>(QStringLiteral("CB_PickNames"));
        EXPECT_NE(name, nullptr);
        if (name == nullptr) {
            return int(QDialog::Rejected);
        }
        name->setText(QString::fromStdString(destination));
        return int(QDialog::Accepted);
    };
    form.TagByNumbers("2-3", false, true);
    destination = other;
    form.AppendToFile(true);
    TReferenceFile received;
    ASSERT_TRUE(received.Open(other).ok());
    EXPECT_EQ(received.RefCount(), 4);
    EXPECT_EQ(services_->History().Entries(HistoryList::PickFile).front(), other);
    // The window's own file, by another spelling of its name.
    DialogSeams::ClearLog();
    destination = dir_.File("REFS.REF");
    form.AppendToFile(false);
    ASSERT_EQ(DialogSeams::Messages().size(), 1U);
    EXPECT_EQ(DialogSeams::Messages()[0].kind, MessageKind::Error);
    EXPECT_EQ(DialogSeams::Messages()[0].text,
              "Cannot copy references back to original reference file");
    EXPECT_EQ(form.File().RefCount(), 4);
}

TEST_F(RefWinFormTest, TheGoButtonOpensTheChosenLink) {
    OpenText(test::JournalBlock("Ref1", "Author, A.", "Title.", "1990 (1) pp 1-2", "Journal",
                                "Online at http://example.org/paper.pdf today."));
    auto* links = Find<QComboBox>("CB_URLList");
    ASSERT_TRUE(Find<QWidget>("URLPanel")->isVisible());
    ASSERT_EQ(links->count(), 1);
    QTest::mouseClick(Find<QPushButton>("BTN_GoURL"), Qt::LeftButton);
    ASSERT_EQ(DialogSeams::Opened().size(), 1U);
    EXPECT_EQ(DialogSeams::Opened()[0], QUrl("http://example.org/paper.pdf"));
}

TEST_F(RefWinFormTest, ADeletedFileDisconnectsWithItsMessage) {
    const std::string folder = "B\xC3\xBC"
                               "cher";
    std::filesystem::create_directory(dir_.Path() / folder);
    RefWinForm& form = OpenText(test::NumberedFile(2), folder + "/refs.ref");
    QSignalSpy gone(&form, &RefWinForm::Disconnected);
    std::filesystem::remove(path_);
    ASSERT_TRUE(gone.wait(5000));
    ASSERT_EQ(DialogSeams::Messages().size(), 1U);
    const QString said = DialogSeams::Messages()[0].text;
    EXPECT_TRUE(said.startsWith("Reference file \"")) << said.toStdString();
    EXPECT_TRUE(said.endsWith("\"\nhad to be disconnected.")) << said.toStdString();
    EXPECT_TRUE(said.contains(QString::fromUtf8("B\u00fccher/refs.ref"))) << said.toStdString();
}

} // namespace
} // namespace cvx
