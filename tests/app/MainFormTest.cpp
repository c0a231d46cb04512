// The main window as a user drives it: opening files by command string, dialog and recent list,
// stepping, tagging, views, deleting and compressing through the menus, the command state, the
// hand-over from a second start and what is kept for the next run.

#include "shell/widgets/MainForm.h"
#include "../shell/widgets/RefWinTestSupport.h"
#include "MainFormTestSupport.h"
#include "settings/NameLists.h"
#include "settings/SettingsStore.h"
#include "settings/WindowPositions.h"
#include "shell/InstanceChannel.h"
#include "shell/widgets/DialogSeams.h"
#include "shell/widgets/RefWinForm.h"
#include "support/ReferenceText.h"
#include "support/TempDir.h"

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QElapsedTimer>
#include <QLabel>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QTest>
#include <QToolBar>
#include <QToolButton>
#include <QUuid>

#include <gtest/gtest.h>

#include <thread>

namespace cvx {
namespace {

using test::WaitFor;

class MainFormTest : public test::GuiTest {
protected:
    void SetUp() override {
        GuiTest::SetUp();
        refs_ = dir_.Write("refs.ref", test::NumberedFile(20));
        // Questions are answered Yes, the program's dialogs accepted, file dialogs choose
        // `chosenFile_`.
        DialogSeams::Install([](const AskedMessage&) { return QMessageBox::Yes; },
                             [](QDialog& d) {
                                 d.accept();
                                 return static_cast<int>(QDialog::Accepted);
                             },
                             [this](const QString&) { return chosenFile_; });
    }

    // The texts of the messages shown so far.
    static std::vector<QString> Asked() {
        std::vector<QString> texts;
        for (const AskedMessage& m : DialogSeams::Messages()) {
            texts.push_back(m.text);
        }
        return texts;
    }

    static int Windows(MainForm& form) {
        return static_cast<int>(form.findChild<QMdiArea*>()->subWindowList().size());
    }
    static bool Idle(MainForm& form) {
        RefWinForm* w = form.ActiveRefWin();
        return w != nullptr && !w->Busy();
    }

    test::TempDir dir_;
    std::string refs_;
    QString chosenFile_;
};

TEST_F(MainFormTest, OpensAtTheRequestedReferenceAndReusesTheFilesWindow) {
    MainForm form;
    form.show();
    form.OpenFileCommand(refs_ + " <#12#>");
    ASSERT_EQ(Windows(form), 1);
    RefWinForm* w = form.ActiveRefWin();
    ASSERT_NE(w, nullptr);
    EXPECT_EQ(w->File().CurrentIndex(), 11);

    // The same file by another name: its window moves, no second one opens.
    form.OpenFileCommand(dir_.Path().string() + "/./refs.ref <#3#>");
    EXPECT_EQ(Windows(form), 1);
    EXPECT_EQ(w->File().CurrentIndex(), 2);
    EXPECT_TRUE(Asked().empty());
}

TEST_F(MainFormTest, RefusesWhatCannotBeShown) {
    MainForm form;
    form.show();
    form.OpenFileCommand(refs_ + " <#50#>");
    ASSERT_EQ(Asked().size(), 1u);
    EXPECT_TRUE(Asked()[0].contains(QStringLiteral("#50")));
    EXPECT_TRUE(Asked()[0].contains(QStringLiteral("only 20 references")));
    ASSERT_NE(form.ActiveRefWin(), nullptr);
    EXPECT_EQ(form.ActiveRefWin()->File().CurrentIndex(), 0);

    const struct {
        std::string file;
        QString says;
    } refused[] = {
        {dir_.File("missing.ref"), QStringLiteral("There is no file")},
        {dir_.Write("empty.ref", ""), QStringLiteral("is empty")},
        {dir_.Path().string(), QStringLiteral("There is no file")},
    };
    for (const auto& r : refused) {
        DialogSeams::ClearLog();
        form.OpenFileCommand(r.file);
        ASSERT_EQ(Asked().size(), 1u) << r.file;
        EXPECT_TRUE(Asked()[0].contains(r.says)) << Asked()[0].toStdString();
        EXPECT_EQ(Windows(form), 1) << r.file;
    }
}

TEST_F(MainFormTest, CommandsFollowTheActiveWindowAndItsTags) {
    MainForm form;
    form.show();
    for (const char* name : {"CopyItem", "FileCloseItem", "Nextreference1", "Tagall1"}) {
        EXPECT_FALSE(test::CommandOf(form, name)->isEnabled()) << name;
    }
    form.OpenFileCommand(refs_);
    ASSERT_TRUE(WaitFor([&] { return Idle(form); }));
    for (const char* name : {"CopyItem", "FileCloseItem", "Nextreference1", "Tagall1"}) {
        EXPECT_TRUE(test::CommandOf(form, name)->isEnabled()) << name;
    }
    for (const char* name : {"Writetaggedreferences1", "Nextreference2", "Compressfile1"}) {
        EXPECT_FALSE(test::CommandOf(form, name)->isEnabled()) << name;
    }

    test::RunCommand(form, "Tagall1");
    EXPECT_EQ(form.ActiveRefWin()->File().TaggedCount(), 20);
    EXPECT_TRUE(test::CommandOf(form, "Writetaggedreferences1")->isEnabled());
    test::RunCommand(form, "Listtaggedonly1");
    EXPECT_TRUE(form.ActiveRefWin()->ListTaggedOnly());
    EXPECT_TRUE(test::CommandOf(form, "Listtaggedonly1")->isChecked());
    test::RunCommand(form, "Listtaggedonly1");
    test::RunCommand(form, "Clearalltagging1");
    EXPECT_EQ(form.ActiveRefWin()->File().TaggedCount(), 0);
    EXPECT_FALSE(test::CommandOf(form, "Nextreference2")->isEnabled());

    test::RunCommand(form, "FileCloseItem");
    ASSERT_TRUE(WaitFor([&] { return Windows(form) == 0; }));
    EXPECT_FALSE(test::CommandOf(form, "CopyItem")->isEnabled());
}

TEST_F(MainFormTest, StepsTagsByNumbersAndChangesViewsFromTheKeyboard) {
    MainForm form;
    form.show();
    form.OpenFileCommand(refs_);
    RefWinForm* w = form.ActiveRefWin();
    ASSERT_NE(w, nullptr);
    // Shortcuts reach the active window only.
    form.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&form));
    QTest::keyClick(&form, Qt::Key_PageDown);
    QTest::keyClick(&form, Qt::Key_PageDown);
    EXPECT_EQ(w->File().CurrentIndex(), 2);
    QTest::keyClick(&form, Qt::Key_End, Qt::ControlModifier);
    EXPECT_EQ(w->File().CurrentIndex(), 19);
    QTest::keyClick(&form, Qt::Key_PageUp);
    EXPECT_EQ(w->File().CurrentIndex(), 18);

    w->TagByNumbers("2,5-7", true, true);
    EXPECT_EQ(w->File().TaggedCount(), 4);
    QTest::keyClick(&form, Qt::Key_Home, Qt::ControlModifier);
    QTest::keyClick(&form, Qt::Key_N, Qt::ControlModifier);
    EXPECT_EQ(w->File().CurrentIndex(), 1);

    EXPECT_EQ(w->ViewKind(), RefWinForm::Combined);
    QTest::keyClick(&form, Qt::Key_F8);
    EXPECT_EQ(w->ViewKind(), RefWinForm::SingleReference);
    QTest::keyClick(&form, Qt::Key_F8);
    EXPECT_EQ(w->ViewKind(), RefWinForm::List);
    QTest::keyClick(&form, Qt::Key_F8);
    EXPECT_EQ(w->ViewKind(), RefWinForm::Combined);
    test::RunCommand(form, "Listview3");
    EXPECT_EQ(w->ViewKind(), RefWinForm::List);
    EXPECT_TRUE(test::CommandOf(form, "Listview3")->isChecked());
}

// Sorting the display runs in a lane with the window disabled, offers the suspected duplicate to
// tag, and the display-order box then switches between the stored orders.
TEST_F(MainFormTest, SortsTheDisplayInALaneAndSwitchesOrdersFromTheBox) {
    const std::string file = dir_.Write(
        "unsorted.ref",
        test::JournalBlock("S", "Smith, J.", "First.", "2001 (10) pp 5-9", "Nature") +
            test::JournalBlock("A", "Adams, K.", "Second.", "1999 (3) pp 1-2", "Science") +
            test::JournalBlock("S2", "Smith, J.", "First again.", "2001 (10) pp 5-9", "Nature") +
            test::JournalBlock("B", "Brown, L.", "Third.", "2005 (7) pp 11-19", "Cell"));
    MainForm form;
    form.show();
    form.OpenFileCommand(file + " <#2#>");
    ASSERT_TRUE(WaitFor([&] { return Idle(form); }));
    RefWinForm* w = form.ActiveRefWin();
    auto* box = form.findChild<QComboBox*>(QStringLiteral("CB_DisplayOrder"));
    ASSERT_NE(box, nullptr);
    EXPECT_EQ(box->count(), 7);
    // No stored orders yet: the window shows the file's own order.
    EXPECT_EQ(box->currentIndex(), static_cast<int>(DisplayOrder::Original));

    test::RunCommand(form, "Sortdisplayorder1");
    EXPECT_TRUE(w->Busy());
    EXPECT_FALSE(test::CommandOf(form, "Sortdisplayorder1")->isEnabled());
    ASSERT_TRUE(WaitFor([&] { return Idle(form) && !RefWinForm::DisplaySortRunning(); }));
    ASSERT_EQ(Asked().size(), 1U);
    EXPECT_TRUE(Asked()[0].contains(QStringLiteral("1 reference was found")))
        << Asked()[0].toStdString();
    EXPECT_EQ(w->File().TaggedCount(), 1);
    // The author order of the settings replaces the file's own; the duplicate is current.
    EXPECT_EQ(w->File().DisplayKind(), DisplayOrder::AuthorYear);
    EXPECT_EQ(box->currentIndex(), static_cast<int>(DisplayOrder::AuthorYear));
    EXPECT_TRUE(w->File().IsTagged(w->File().CurrentIndex()));

    // Year descending: Brown 2005 first.
    box->activated(static_cast<int>(DisplayOrder::YearDescending));
    EXPECT_EQ(w->File().DisplayKind(), DisplayOrder::YearDescending);
    w->FirstReference();
    EXPECT_EQ(w->File().CurrentIndex(), 3);
    EXPECT_EQ(SettingsStore().ReadInt(Setting::SortType),
              static_cast<int>(DisplayOrder::YearDescending));
    box->activated(static_cast<int>(DisplayOrder::Original));
    w->FirstReference();
    EXPECT_EQ(w->File().CurrentIndex(), 0);
    EXPECT_FALSE(w->isHidden());
}

// After deleting tagged references the display is sorted again or shows the file's own order, as
// the rule in the settings (switched from the window's popup menu) says.
TEST_F(MainFormTest, DeletingTaggedReferencesSortsAgainWhenTheSettingsSaySo) {
    MainForm form;
    form.show();
    form.OpenFileCommand(refs_);
    ASSERT_TRUE(WaitFor([&] { return Idle(form); }));
    RefWinForm* w = form.ActiveRefWin();
    auto* suppress = w->findChild<QAction*>(QStringLiteral("SuppresConditionalDisplaySorting"));
    ASSERT_NE(suppress, nullptr);

    // Unset: never sorted again.
    w->TagByNumbers("3", true, true);
    test::RunCommand(form, "Deletetaggedreferences1");
    ASSERT_TRUE(WaitFor([&] { return Idle(form); }));
    EXPECT_FALSE(RefWinForm::DisplaySortRunning());
    EXPECT_EQ(w->File().DisplayKind(), DisplayOrder::Original);

    // The popup item turns sorting below the limit on: a file of 20 is sorted again.
    suppress->trigger();
    EXPECT_EQ(SettingsStore().ReadInt(Setting::ResortAlways), 2);
    EXPECT_EQ(SettingsStore().ReadInt(Setting::ResortLimit), 2000);
    w->TagByNumbers("4", true, true);
    form.RefreshCommandState();
    test::RunCommand(form, "Deletetaggedreferences1");
    EXPECT_TRUE(w->Busy());
    ASSERT_TRUE(WaitFor([&] { return Idle(form) && !RefWinForm::DisplaySortRunning(); }));
    EXPECT_EQ(w->File().DisplayKind(), DisplayOrder::AuthorYear);
    EXPECT_EQ(w->File().DeletedCount(), 2);

    suppress->trigger();
    EXPECT_EQ(SettingsStore().ReadInt(Setting::ResortAlways), 0);
}

TEST_F(MainFormTest, DeletesAndCompressesThroughTheMenus) {
    MainForm form;
    form.show();
    form.OpenFileCommand(refs_ + " <#4#>");
    ASSERT_TRUE(WaitFor([&] { return Idle(form); }));
    test::RunCommand(form, "Deletecurrentreference1");
    ASSERT_TRUE(
        WaitFor([&] { return Idle(form) && form.ActiveRefWin()->File().DeletedCount() == 1; }));
    form.RefreshCommandState();
    test::RunCommand(form, "Compressfile1");
    ASSERT_TRUE(
        WaitFor([&] { return Idle(form) && form.ActiveRefWin()->File().DeletedCount() == 0; }));
    EXPECT_EQ(form.ActiveRefWin()->File().RefCount(), 19);
    EXPECT_FALSE(test::CommandOf(form, "Compressfile1")->isEnabled());
}

TEST_F(MainFormTest, OpensFromTheDialogAndReopensFromTheRecentList) {
    {
        MainForm form;
        form.show();
        chosenFile_ = QString::fromStdString(refs_);
        test::RunCommand(form, "FileOpenItem");
        ASSERT_EQ(Windows(form), 1);
        ASSERT_EQ(form.Recent().Entries().size(), 1u);
        test::RunCommand(form, "CloseAllwindows1");
        ASSERT_TRUE(WaitFor([&] { return Windows(form) == 0; }));
        auto* recent = form.findChild<QAction*>(QStringLiteral("RecentFile1"));
        ASSERT_NE(recent, nullptr);
        EXPECT_TRUE(recent->text().endsWith(QStringLiteral("refs.ref")));
        recent->trigger();
        EXPECT_EQ(Windows(form), 1);
        form.close();
    }
    // The next run opens what was open at the end of this one, and lists it as recent.
    MainForm next;
    next.show();
    EXPECT_EQ(next.Recent().Entries().size(), 1u);
    next.Start("");
    EXPECT_EQ(Windows(next), 1);
}

TEST_F(MainFormTest, TheTopToolBarOffersTheSearchCommandsWithTheirHints) {
    MainForm form;
    form.show();
    const struct {
        const char* button;
        const char* command;
        QString hint;
    } buttons[] = {
        {"SP_Tag", "Tagreferences1", QStringLiteral("Tag references (Ctrl+T)")},
        {"SP_Get", "Getreferences2", QStringLiteral("Find reference (Ctrl+F)")},
        {"SP_Locate", "Locatereferences2", QStringLiteral("Locate references (Ctrl+L)")},
    };
    auto* bar = form.findChild<QToolBar*>(QStringLiteral("MainToolBar"));
    ASSERT_NE(bar, nullptr);
    for (const auto& b : buttons) {
        auto* button = bar->findChild<QToolButton*>(QString::fromLatin1(b.button));
        ASSERT_NE(button, nullptr) << b.button;
        EXPECT_EQ(button->toolTip(), b.hint);
        EXPECT_EQ(button->defaultAction(), test::CommandOf(form, b.command));
        EXPECT_FALSE(button->isEnabled()) << b.button;
    }
    form.OpenFileCommand(refs_);
    for (const auto& b : buttons) {
        EXPECT_TRUE(bar->findChild<QToolButton*>(QString::fromLatin1(b.button))->isEnabled());
    }
}

// Without a reference window the box shows the file's own order and is disabled with its label.
TEST_F(MainFormTest, TheDisplayOrderBoxRestsOnItsLastEntryWithoutAWindow) {
    MainForm form;
    form.show();
    auto* box = form.findChild<QComboBox*>(QStringLiteral("CB_DisplayOrder"));
    auto* label = form.findChild<QLabel*>(QStringLiteral("LabelDisplayOrder"));
    ASSERT_NE(box, nullptr);
    ASSERT_NE(label, nullptr);
    EXPECT_EQ(label->buddy(), box);
    EXPECT_EQ(box->currentIndex(), 6);
    EXPECT_EQ(box->currentText(), QStringLiteral("7· Original order"));
    EXPECT_FALSE(box->isEnabled());
    EXPECT_FALSE(label->isEnabled());

    form.OpenFileCommand(refs_);
    test::RunCommand(form, "Sortdisplayorder1");
    ASSERT_TRUE(WaitFor([&] { return Idle(form) && !RefWinForm::DisplaySortRunning(); }));
    EXPECT_EQ(box->currentIndex(), static_cast<int>(DisplayOrder::AuthorYear));
    EXPECT_TRUE(box->isEnabled());
    EXPECT_TRUE(label->isEnabled());
    test::RunCommand(form, "CloseAllwindows1");
    ASSERT_TRUE(WaitFor([&] { return Windows(form) == 0; }));
    EXPECT_EQ(box->currentIndex(), 6);
    EXPECT_FALSE(label->isEnabled());
}

// A reference window opens at the size the last one was left at, and remembers its own.
TEST_F(MainFormTest, ReferenceWindowsTakeAndKeepTheirStoredSize) {
    {
        SettingsStore store;
        ASSERT_TRUE(WriteWindowPosition(store, 11, 5, 7, 420, 310, false));
    }
    MainForm form;
    form.resize(1000, 800);
    form.show();
    form.OpenFileCommand(refs_);
    auto* sub = form.findChild<QMdiArea*>()->activeSubWindow();
    ASSERT_NE(sub, nullptr);
    EXPECT_EQ(sub->size(), QSize(420, 310));

    sub->resize(500, 330);
    WindowPosition stored = ReadWindowPosition(SettingsStore(), 11);
    EXPECT_TRUE(stored.valid);
    EXPECT_EQ(stored.width, 500);
    EXPECT_EQ(stored.height, 330);
    EXPECT_FALSE(stored.maximised);

    // Maximised, the window says so and keeps the size to come back to.
    sub->showMaximized();
    stored = ReadWindowPosition(SettingsStore(), 11);
    EXPECT_TRUE(stored.maximised);
    EXPECT_EQ(stored.width, 500);
    test::RunCommand(form, "CloseAllwindows1");
    ASSERT_TRUE(WaitFor([&] { return Windows(form) == 0; }));
    form.OpenFileCommand(refs_);
    sub = form.findChild<QMdiArea*>()->activeSubWindow();
    ASSERT_NE(sub, nullptr);
    EXPECT_TRUE(sub->isMaximized());
}

TEST_F(MainFormTest, TakesACommandStringFromASecondStart) {
    MainForm form;
    form.show();
    const QString name =
        QStringLiteral("citavox-test-") + QUuid::createUuid().toString(QUuid::Id128);
    InstanceChannel channel(name);
    ASSERT_EQ(channel.Claim(HandOverFor("")), InstanceChannel::Role::First);
    QObject::connect(&channel, &InstanceChannel::Received, &form, &MainForm::HandOverReceived);

    InstanceChannel::Delivery delivery = InstanceChannel::Delivery::NoInstance;
    std::thread second(
        [&] { delivery = InstanceChannel::Send(name, HandOverFor(refs_ + " <#5#>"), 3000); });
    const bool opened = WaitFor([&] { return form.ActiveRefWin() != nullptr; });
    second.join();
    EXPECT_EQ(delivery, InstanceChannel::Delivery::Delivered);
    ASSERT_TRUE(opened);
    EXPECT_EQ(form.ActiveRefWin()->File().CurrentIndex(), 4);
    EXPECT_EQ(form.Recent().Entries().size(), 1u);
}

} // namespace
} // namespace cvx
