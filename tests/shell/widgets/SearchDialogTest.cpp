// The search dialog as the user meets it: asked for by the reference window and the main window's
// commands, its operator labels, its history with removed entries, expression checking and the
// choice of the word index; and the locate dialog with its list, sorting and tag marks.

#include "RefWinTestSupport.h"

#include "search/IndexState.h"
#include "search/WordIndex.h"
#include "search/WordIndexBuilder.h"
#include "search/WordIndexFormat.h"
#include "search/widgets/LocateDlg.h"
#include "search/widgets/TagDlg.h"
#include "settings/SettingsStore.h"
#include "shell/widgets/FileInfoDlg.h"
#include "shell/widgets/MainForm.h"
#include "support/ReferenceText.h"
#include "support/TempDir.h"

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QLocale>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>
#include <QToolButton>

#include <functional>
#include <memory>

namespace cvx {
namespace {

class SearchDialogTest : public test::GuiTest {
protected:
    RefWinForm& Open(int n, bool indexed = false) {
        path_ = dir_.Write(indexed ? "indexed.ref" : "refs.ref", test::NumberedFile(n));
        if (indexed) {
            EXPECT_TRUE(
                CreateWordIndex(FileSystem::Default(), path_, kIndexableMask, nullptr).ok());
        }
        form_ = std::make_unique<RefWinForm>(*services_);
        EXPECT_TRUE(form_->OpenFile(path_).ok());
        return *form_;
    }
    TagDlg& Dialog() { return services_->SearchDialog(); }
    template <typename T> T* Control(const char* name) {
        T* found = Dialog().findChild<T*>(QString::fromLatin1(name));
        EXPECT_NE(found, nullptr) << name;
        return found;
    }
    QComboBox* Box() { return Control<QComboBox>("ListBox1"); }
    QStringList Items() {
        QStringList items;
        for (int i = 0; i < Box()->count(); ++i) {
            items << Box()->itemText(i);
        }
        return items;
    }
    // The user types `text` and presses OK; the dialog's own answer is returned.
    static int Answer(QDialog& dialog, const QString& text) {
        dialog.findChild<QComboBox*>(QStringLiteral("ListBox1"))->setEditText(text);
        dialog.accept();
        return dialog.result();
    }
    std::vector<std::string> History(HistoryList list) {
        return services_->History().Entries(list);
    }

    test::TempDir dir_;
    std::string path_;
    std::unique_ptr<test::FakeServices> services_ =
        (test::EnsureApplication(), std::make_unique<test::FakeServices>());
    std::unique_ptr<RefWinForm> form_;
};

TEST_F(SearchDialogTest, TagsWithTheExpressionAndKeepsTheHistoryAsEdited) {
    RefWinForm& form = Open(6);
    services_->History().PushHistory(HistoryList::TagStrings, "Ref9");
    services_->History().PushHistory(HistoryList::TagStrings, "Ref1");
    onModal = [this](QDialog& dialog) {
        EXPECT_EQ(dialog.windowTitle(), "Tag references");
        EXPECT_EQ(Box()->currentText(), "Ref1"); // the latest entry is preselected
        EXPECT_TRUE(Control<QToolButton>("SpeedButton1")->isEnabled());
        // The user drops the old "Ref9" from the history.
        Box()->setEditText("Ref9");
        Control<QToolButton>("SpeedButton1")->click();
        EXPECT_EQ(Items(), QStringList{"Ref1"});
        return Answer(dialog, "Ref2 OR Ref5");
    };
    form.AskFindOrTag(true);
    EXPECT_EQ(form.File().TaggedCount(), 2);
    EXPECT_EQ(form.File().CurrentIndex(), 1);
    EXPECT_EQ(form.MessageText(), " Tagged with \"Ref2 OR Ref5\"");
    EXPECT_EQ(History(HistoryList::TagStrings), (std::vector<std::string>{"Ref2 OR Ref5", "Ref1"}));
}

TEST_F(SearchDialogTest, FindsFromTheCurrentReferenceAndFindNextRepeats) {
    RefWinForm& form = Open(30);
    onModal = [this](QDialog& dialog) {
        EXPECT_EQ(dialog.windowTitle(), "Get a reference");
        Box()->setEditText("Ref2");
        QTest::mouseDClick(Box()->lineEdit(), Qt::LeftButton); // as OK
        return dialog.result();
    };
    form.AskFindOrTag(false);
    EXPECT_EQ(form.File().CurrentIndex(), 1);
    EXPECT_EQ(form.MessageText(), " Found using \"Ref2\"");
    // Ref20..Ref29 follow; the dialog is not asked again.
    onModal = [](QDialog&) -> int {
        ADD_FAILURE() << "FindNext asked for an expression";
        return QDialog::Rejected;
    };
    ASSERT_TRUE(form.FindNext());
    EXPECT_EQ(form.File().CurrentIndex(), 19);
    ASSERT_TRUE(form.FindNext());
    EXPECT_EQ(form.File().CurrentIndex(), 20);
    EXPECT_EQ(History(HistoryList::GetStrings).front(), "Ref2");
}

TEST_F(SearchDialogTest, ABadExpressionKeepsTheDialogWithTheReason) {
    RefWinForm& form = Open(6);
    onModal = [this](QDialog& dialog) {
        EXPECT_EQ(Answer(dialog, "(Ref2 OR Title"), QDialog::Rejected);
        const QString reason = Control<QLabel>("M_Message")->text();
        EXPECT_TRUE(reason.contains("Lacking at least one ')'")) << reason.toStdString();
        EXPECT_EQ(Answer(dialog, "Ref2 AND Title"), QDialog::Accepted);
        EXPECT_TRUE(Control<QLabel>("M_Message")->text().isEmpty());
        return dialog.result();
    };
    form.AskFindOrTag(true);
    EXPECT_EQ(form.File().TaggedCount(), 1);
}

TEST_F(SearchDialogTest, CancelOrAnEmptyExpressionBeepsAndSearchesNothing) {
    RefWinForm& form = Open(6);
    onModal = [](QDialog& dialog) {
        dialog.reject();
        return dialog.result();
    };
    form.AskFindOrTag(true);
    onModal = [](QDialog& dialog) { return Answer(dialog, "   "); };
    form.AskFindOrTag(true);
    EXPECT_EQ(DialogSeams::Beeps(), 2);
    EXPECT_EQ(form.File().TaggedCount(), 0);
    EXPECT_TRUE(History(HistoryList::TagStrings).empty());
}

TEST_F(SearchDialogTest, OperatorLabelsInsertWhereTheCursorAllows) {
    struct Case {
        QString text;
        int caret;
        const char* label;
        QString result;
        int caretAfter;
        bool beep;
    };
    const std::vector<Case> cases = {
        {"smith", 2, "Label4", "AU(smith)", 9, false},
        {"a smith b", 4, "Label5", "a TI(smith) b", 11, false},
        {"", 0, "Label13", "", 0, true},
        {"x", 0, "Label15", "x", 0, true},
        {"", 0, "Label21", "TAGGED ", 7, false},
        {"x", 0, "Label22", "LOCATED x", 8, false},
        {"a", 1, "Label13", "a AND ", 6, false},
        {"a b", 2, "Label14", "a OR b", 5, false},
        {"ab", 1, "Label14", "ab", 1, false},
        {"a ", 2, "Label17", "a  ANY() ", 9, false},
        {"a b", 2, "Label17", "a b", 2, false},
        {"", 0, "Label16", "NOT() ", 4, false},
        {"a", 1, "LABEL_Near", "a NEAR( , , xx) ", 8, false},
        {"a b", 1, "LABEL_Near", "a b", 1, false},
    };
    for (const Case& c : cases) {
        DialogSeams::ClearLog();
        Box()->setEditText(c.text);
        Box()->lineEdit()->setCursorPosition(c.caret);
        QTest::mouseClick(Control<QLabel>(c.label), Qt::LeftButton);
        const std::string where = c.label + (" on \"" + c.text.toStdString() + "\"");
        EXPECT_EQ(Box()->currentText(), c.result) << where;
        EXPECT_EQ(Box()->lineEdit()->cursorPosition(), c.caretAfter) << where;
        EXPECT_EQ(DialogSeams::Beeps(), c.beep ? 1 : 0) << where;
    }
}

TEST_F(SearchDialogTest, RemovedEntriesComeBackFromTheirStack) {
    Dialog().SetExpressions({"a", "b", "c", "", "d"});
    EXPECT_EQ(Items(), (QStringList{"a", "b", "c"})); // up to the first empty entry
    auto* remove = Control<QToolButton>("SpeedButton1");
    auto* reinsert = Control<QToolButton>("SpeedButton2");
    Box()->setEditText("b");
    remove->click();
    EXPECT_EQ(Box()->currentText(), "c"); // the entry now at the same place
    remove->click();
    EXPECT_EQ(Box()->currentText(), "a"); // or the last one
    EXPECT_TRUE(reinsert->isEnabled());
    Box()->setEditText("not in the list");
    EXPECT_FALSE(remove->isEnabled());
    reinsert->click();
    EXPECT_EQ(Items(), (QStringList{"a", "c"}));
    EXPECT_TRUE(reinsert->isEnabled());
    reinsert->click();
    EXPECT_EQ(Items(), (QStringList{"a", "c", "b"}));
    EXPECT_FALSE(reinsert->isEnabled());
    Box()->setEditText("c");
    EXPECT_TRUE(remove->isEnabled());
}

TEST_F(SearchDialogTest, OffersTheIndexOnlyWhenTheFileHasOne) {
    auto* useIndex = Control<QCheckBox>("CHECK_UseIndexSearch");
    auto* ignore = Control<QCheckBox>("CHECK_IgnoreDiacritic");
    auto* heading = Control<QLabel>("TEXT_AvailableOperators");

    RefWinForm& plain = Open(6);
    Dialog().PrepareForFile(plain.File());
    EXPECT_FALSE(useIndex->isEnabled());
    EXPECT_FALSE(Dialog().UseIndexedSearch());
    EXPECT_TRUE(ignore->isEnabled()); // the scanning search offers the choice
    EXPECT_EQ(heading->text(), "Available field operators");
    EXPECT_TRUE(Control<QLabel>("LABEL_Near")->isEnabled());

    RefWinForm& indexed = Open(6, true);
    Dialog().PrepareForFile(indexed.File());
    EXPECT_TRUE(useIndex->isEnabled());
    EXPECT_EQ(useIndex->text(), "&Use indexed search");
    EXPECT_TRUE(Dialog().UseIndexedSearch()); // "Use idx" defaults to on
    EXPECT_TRUE(ignore->isChecked());
    EXPECT_FALSE(ignore->isEnabled());
    EXPECT_EQ(heading->text(), "Indexed fields");
    EXPECT_FALSE(Control<QLabel>("LABEL_Near")->isEnabled());
    EXPECT_TRUE(Control<QLabel>("Label4")->isEnabled()); // the authors are indexed
    // Journal references name no publisher, so the index cannot answer PU().
    EXPECT_FALSE(Control<QLabel>("Label9")->isEnabled());

    // Unchecked by hand: the stored diacritic choice returns, and "Use idx" follows on closing.
    useIndex->click();
    EXPECT_FALSE(Dialog().UseIndexedSearch());
    EXPECT_TRUE(ignore->isEnabled());
    EXPECT_TRUE(Control<QLabel>("LABEL_Near")->isEnabled());
    Dialog().reject();
    EXPECT_FALSE(SettingsStore().ReadBool(Setting::UseIdx));
}

TEST_F(SearchDialogTest, APreselectedNearExpressionTurnsTheIndexOff) {
    RefWinForm& form = Open(6, true);
    services_->History().PushHistory(HistoryList::GetStrings, "NEAR(Ref4, Title, 3)");
    onModal = [this](QDialog& dialog) {
        dialog.show();
        auto* useIndex = Control<QCheckBox>("CHECK_UseIndexSearch");
        EXPECT_FALSE(useIndex->isChecked());
        // Another expression, and the user's own choice of the index.
        Box()->setEditText("Ref4");
        useIndex->click();
        EXPECT_TRUE(useIndex->isChecked());
        dialog.accept();
        return dialog.result();
    };
    form.AskFindOrTag(false);
    EXPECT_EQ(form.File().CurrentIndex(), 3);
    EXPECT_TRUE(SettingsStore().ReadBool(Setting::UseIdx));
}

TEST_F(SearchDialogTest, MainWindowCommandsAskThroughTheDialog) {
    const std::string refs = dir_.Write("refs.ref", test::NumberedFile(20));
    MainForm main;
    main.show();
    for (const char* name : {"Getreferences2", "Getnextreference2", "Tagreferences1"}) {
        EXPECT_FALSE(main.findChild<QAction*>(name)->isEnabled()) << name;
    }
    main.OpenFileCommand(refs);
    RefWinForm* w = main.ActiveRefWin();
    ASSERT_NE(w, nullptr);
    int asked = 0;
    onModal = [&asked](QDialog& dialog) {
        ++asked;
        return Answer(dialog, asked == 1 ? "Ref3 OR Ref7" : "Ref1");
    };
    main.findChild<QAction*>("Tagreferences1")->trigger();
    EXPECT_EQ(w->File().TaggedCount(), 2);
    // From the first tagged reference, Ref3, on.
    main.findChild<QAction*>("Getreferences2")->trigger();
    EXPECT_EQ(w->File().CurrentIndex(), 9); // Ref10
    main.findChild<QAction*>("Getnextreference2")->trigger();
    EXPECT_EQ(w->File().CurrentIndex(), 10); // Ref11
    EXPECT_EQ(asked, 2);
}

class LocateDialogTest : public SearchDialogTest {
protected:
    // Answers the search dialog with `expression` and hands the locate dialog to `scenario`
    // after a new locating search from its own button.
    void Locate(RefWinForm& form, const QString& expression,
                const std::function<int(LocateDlg&)>& scenario) {
        onModal = [this, expression, scenario](QDialog& dialog) {
            if (auto* locate = qobject_cast<LocateDlg*>(&dialog)) {
                locate->findChild<QToolButton*>("SP_Locate")->click();
                return scenario(*locate);
            }
            EXPECT_EQ(dialog.windowTitle(), "Locate references");
            return Answer(dialog, expression);
        };
        form.LocateReferences();
    }
    static QListWidget* List(LocateDlg& dialog) {
        return dialog.findChild<QListWidget*>("CB_LocalizedRefs");
    }
    static QString Panel(LocateDlg& dialog, const char* name) {
        return dialog.findChild<QLabel*>(name)->text();
    }
    // The tags as another program reads them from the tag file.
    int SavedTags() {
        TReferenceFile other;
        EXPECT_TRUE(other.Open(path_).ok());
        return other.TaggedCount();
    }
};

TEST_F(LocateDialogTest, ListsAtMost200AndAppliesMarksOnlyWhenTheUserAgrees) {
    RefWinForm& form = Open(250);
    Locate(form, "Journal", [this](LocateDlg& dialog) {
        EXPECT_EQ(List(dialog)->count(), 200);
        EXPECT_EQ(Panel(dialog, "PANEL_LocRefs"), ">200");
        EXPECT_EQ(dialog.findChild<QPushButton*>("PANEL_LocExpression")->text(), "Journal");
        List(dialog)->item(0)->setCheckState(Qt::Checked);
        List(dialog)->item(1)->setCheckState(Qt::Checked);
        EXPECT_EQ(Panel(dialog, "PANEL_TagLocated"), "2");

        QSignalSpy closed(&dialog, &QDialog::finished);
        answer = QMessageBox::Cancel; // keeps the dialog with its marks
        dialog.reject();
        EXPECT_EQ(closed.count(), 0);
        EXPECT_EQ(SavedTags(), 0);
        answer = QMessageBox::No;
        dialog.reject();
        EXPECT_EQ(closed.count(), 1);
        return dialog.result();
    });
    ASSERT_EQ(DialogSeams::Messages().size(), 2U);
    EXPECT_TRUE(DialogSeams::Messages()[0].text.contains("Should changes to the tag status"));
    EXPECT_EQ(form.File().TaggedCount(), 0);
    EXPECT_EQ(SavedTags(), 0);
    EXPECT_TRUE(form.File().IsLocated(249)); // the list holds 200, the located set all

    DialogSeams::ClearLog();
    // A Boolean expression replaces the located set; a list of words would add to it.
    Locate(form, "Ref7 OR Ref8", [](LocateDlg& dialog) {
        List(dialog)->selectAll();
        dialog.findChild<QAction*>("Toggletagstatus1")->trigger();
        EXPECT_EQ(Panel(dialog, "PANEL_TagLocated"), Panel(dialog, "PANEL_LocRefs"));
        dialog.findChild<QAction*>("Savecurrenttagstatusandexit1")->trigger();
        return dialog.result();
    });
    EXPECT_TRUE(DialogSeams::Messages().empty()); // saved without a question
    EXPECT_EQ(form.File().TaggedCount(), 22);     // Ref7, Ref70..Ref79, Ref8, Ref80..Ref89
    EXPECT_EQ(SavedTags(), 22);
}

TEST_F(LocateDialogTest, SortsByYearOrAuthorAndShowsTheChosenReference) {
    path_ =
        dir_.Write("sorted.ref", test::JournalBlock("R1", "Zeta, A.", "One.", "1990", "J") +
                                     test::JournalBlock("R2", "Alpha, B.", "Two.", "2000", "J") +
                                     test::JournalBlock("R3", "Mid, C.", "Three.", "1995", "J"));
    form_ = std::make_unique<RefWinForm>(*services_);
    ASSERT_TRUE(form_->OpenFile(path_).ok());
    const auto order = [](LocateDlg& dialog) {
        QStringList ids;
        for (int row = 0; row < List(dialog)->count(); ++row) {
            ids << List(dialog)->item(row)->text().section(' ', 0, 0);
        }
        return ids;
    };
    Locate(*form_, "J", [&order](LocateDlg& dialog) {
        EXPECT_EQ(order(dialog), (QStringList{"1990", "1995", "2000"}));
        List(dialog)->item(2)->setCheckState(Qt::Checked); // a mark survives re-sorting
        dialog.findChild<QAction*>("SortbyAuthors1")->trigger();
        EXPECT_EQ(dialog.findChild<QComboBox*>("CB_SortOrder")->currentIndex(), 1);
        EXPECT_EQ(List(dialog)->item(0)->checkState(), Qt::Checked);
        List(dialog)->setCurrentRow(2); // Zeta: R1
        dialog.findChild<QToolButton*>("SP_DisplayRef")->click();
        return dialog.result();
    });
    EXPECT_EQ(form_->File().CurrentIndex(), 0);
    EXPECT_EQ(form_->File().TaggedCount(), 1); // OK applies the marks
    EXPECT_TRUE(form_->File().IsTagged(1));
}

// The file properties show the figures of the word index from its header, and a panel in their
// place while the file has no usable index.
using FilePropertiesTest = test::GuiTest;

TEST_F(FilePropertiesTest, ShowTheFiguresOfTheWordIndex) {
    test::TempDir dir;
    const std::string path = dir.Write("props.ref", test::NumberedFile(12));
    TReferenceFile file;
    ASSERT_TRUE(file.Open(path).ok());
    auto label = [](QDialog& dialog, const char* name) {
        auto* l = dialog.findChild<QLabel*>(QString::fromLatin1(name));
        return l == nullptr ? QStringLiteral("(none)") : l->text();
    };
    {
        FileInfoDlg dialog(file);
        EXPECT_NE(dialog.findChild<QLabel*>(QStringLiteral("PANEL_NoIndex")), nullptr);
        EXPECT_EQ(label(dialog, "LABEL_TotalWords"), QStringLiteral("(none)"));
        EXPECT_EQ(label(dialog, "LABEL_SizeRefs"), QStringLiteral("12"));
    }
    ASSERT_TRUE(CreateWordIndex(FileSystem::Default(), path, kIndexableMask, nullptr).ok());
    WordIndex index;
    ASSERT_EQ(index.Open(FileSystem::Default(), IndexFileOf(FileSystem::Default(), path)),
              IndexOpening::Opened);
    FileInfoDlg dialog(file);
    EXPECT_EQ(dialog.findChild<QLabel*>(QStringLiteral("PANEL_NoIndex")), nullptr);
    EXPECT_EQ(label(dialog, "LABEL_TotalWords"), QLocale().toString(index.Header().totalWords));
    EXPECT_EQ(label(dialog, "LABEL_IndexedWords"),
              QLocale().toString(index.Header().distinctWords));
    // Twelve authors "Authorb, A." .. "Authorm, A.": their surnames and the shared initial.
    EXPECT_EQ(label(dialog, "LABEL_AuthorNames"), QStringLiteral("13"));
}

} // namespace
} // namespace cvx
