// The main window's background operations: the lanes with their abort buttons and their limit,
// the index queue in the dual lane with its dialog, and the structure check whose faulty
// references become the tags.

#include "../shell/widgets/RefWinTestSupport.h"
#include "MainFormTestSupport.h"
#include "refstore/ReferenceFile.h"
#include "search/IndexState.h"
#include "search/WordIndexBuilder.h"
#include "settings/NameLists.h"
#include "settings/SettingsStore.h"
#include "shell/widgets/IndexFileDlg.h"
#include "shell/widgets/RefWinForm.h"
#include "shell/widgets/StatusLine.h"
#include "support/FileBytes.h"
#include "support/ForwardingFileSystem.h"
#include "support/ReferenceText.h"
#include "support/TempDir.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>

#include <atomic>
#include <chrono>
#include <thread>

namespace cvx {
namespace {

using test::CommandOf;
using test::RunCommand;
using test::WaitFor;

// Holds the reads of worker threads until released, so that a test can act while a build runs.
class HeldFileSystem : public test::ForwardingFileSystem {
public:
    std::unique_ptr<ReadableFile> OpenForRead(const std::string& path, Outcome& result) override {
        if (std::this_thread::get_id() != main_) {
            while (held_.load()) {
                std::this_thread::sleep_for(std::chrono::milliseconds(1));
            }
        }
        return disk_.OpenForRead(path, result);
    }
    void Hold() { held_ = true; }
    void Release() { held_ = false; }

    // Declared after the main window, so that a test that fails while reads are held never
    // leaves the window's end waiting for them.
    struct ReleaseOnExit {
        HeldFileSystem& fs;
        ~ReleaseOnExit() { fs.Release(); }
    };

private:
    std::thread::id main_ = std::this_thread::get_id();
    std::atomic<bool> held_{false};
};

class BackgroundOperationsTest : public test::GuiTest {
protected:
    static std::vector<QString> Asked() {
        std::vector<QString> texts;
        for (const AskedMessage& m : DialogSeams::Messages()) {
            texts.push_back(m.text);
        }
        return texts;
    }
    static bool AskedFor(const QString& part) {
        for (const QString& text : Asked()) {
            if (text.contains(part)) {
                return true;
            }
        }
        return false;
    }
    template <typename T> static T* Child(QObject& parent, const char* name) {
        auto* child = parent.findChild<T*>(QString::fromLatin1(name));
        EXPECT_NE(child, nullptr) << name;
        return child;
    }
    // An operation that runs until it is asked to abort.
    static StatusLine::Operation UntilAborted(MsgId kind, bool* ended = nullptr) {
        StatusLine::Operation operation;
        operation.kind = kind;
        operation.text = QStringLiteral("working");
        operation.work = [](Progress& progress) {
            for (int i = 0; i < 10000 && !progress.AbortRequested(); ++i) {
                std::this_thread::sleep_for(std::chrono::milliseconds(1));
            }
            return Outcome::Aborted("stopped");
        };
        operation.finished = [ended](const Outcome& outcome) {
            if (ended != nullptr) {
                *ended = outcome.aborted();
            }
        };
        return operation;
    }
    static std::vector<int> Tagged(const TReferenceFile& file) {
        std::vector<int> tagged;
        for (int i = 0; i < file.RefCount(); ++i) {
            if (file.IsTagged(i)) {
                tagged.push_back(i);
            }
        }
        return tagged;
    }
    static bool IndexUsable(const std::string& file, std::uint32_t mask) {
        TReferenceFile opened;
        return opened.Open(file) && IndexState(opened, mask) == 1;
    }

    test::TempDir dir_;
    HeldFileSystem gate_;
};

TEST_F(BackgroundOperationsTest, AnAbortButtonAsksAndStopsItsLane) {
    MainForm form;
    form.show();
    auto* row = Child<QWidget>(form, "Panel4Msg_B");
    auto* running = Child<QLabel>(form, "ThreadCountsRunning");
    auto* abort = Child<QPushButton>(form, "BTN_Abort_B");
    EXPECT_EQ(abort->property("tag").toInt(), 66);
    EXPECT_TRUE(row->isHidden());
    EXPECT_TRUE(running->isHidden());

    bool aborted = false;
    ASSERT_TRUE(form.Status().Run(UntilAborted(msg::Threads::DisplaySorting, &aborted)));
    EXPECT_FALSE(row->isHidden());
    EXPECT_FALSE(running->isHidden());
    EXPECT_TRUE(running->text().contains(QLatin1Char('1')));

    // No: the question names the operation, and it goes on.
    answer = QMessageBox::No;
    QTest::mouseClick(abort, Qt::LeftButton);
    ASSERT_EQ(Asked().size(), 1U);
    EXPECT_EQ(Asked()[0], QStringLiteral("Do you want to abort the \"display sorting\" thread?"));
    QTest::qWait(30);
    EXPECT_EQ(form.Status().Running(), 1);

    answer = QMessageBox::Yes;
    QTest::mouseClick(abort, Qt::LeftButton);
    ASSERT_TRUE(WaitFor([&] { return form.Status().Running() == 0; }));
    EXPECT_TRUE(aborted);
    EXPECT_TRUE(row->isHidden());
    EXPECT_TRUE(running->isHidden());
}

TEST_F(BackgroundOperationsTest, AFourthOperationIsRefused) {
    const std::string refs = dir_.Write("refs.ref", test::NumberedFile(20));
    MainForm form;
    form.show();
    form.OpenFileCommand(refs);
    RefWinForm* w = form.ActiveRefWin();
    ASSERT_NE(w, nullptr);
    for (const char* lane : {"Panel4Msg_B", "Panel4Msg_C", "Panel4Msg_D"}) {
        ASSERT_TRUE(form.Status().Run(UntilAborted(msg::Threads::Listing)));
        EXPECT_FALSE(Child<QWidget>(form, lane)->isHidden()) << lane;
    }
    EXPECT_FALSE(form.Status().Run(UntilAborted(msg::Threads::Listing)));
    // A command that needs a lane tells the user and leaves the window as it was.
    RunCommand(form, "Sortdisplayorder1");
    ASSERT_EQ(Asked().size(), 2U);
    for (const QString& text : Asked()) {
        EXPECT_TRUE(
            text.startsWith(QStringLiteral("Multiple program threads are already running.")))
            << text.toStdString();
    }
    EXPECT_FALSE(w->Busy());
    EXPECT_FALSE(RefWinForm::DisplaySortRunning());
    // The index creation has a lane of its own.
    EXPECT_TRUE(CommandOf(form, "Createindexfile1")->isEnabled());

    form.Status().AbortAndWait();
    ASSERT_TRUE(WaitFor([&] { return form.Status().Running() == 0; }));
}

TEST_F(BackgroundOperationsTest, TheIndexingDialogNeedsAFieldAndATarget) {
    const std::string refs = dir_.Write("refs.ref", test::NumberedFile(3));
    IndexFileDlg dialog;
    auto* single = Child<QRadioButton>(dialog, "RB_IndexCurFile");
    auto* group = Child<QRadioButton>(dialog, "RB_IndexFileGroup");
    QPushButton* ok = dialog.findChild<QDialogButtonBox*>()->button(QDialogButtonBox::Ok);
    // No reference window and no groups: nothing to index.
    dialog.SetFieldMask(0x100A0);
    EXPECT_FALSE(single->isEnabled());
    EXPECT_TRUE(group->isChecked());
    EXPECT_FALSE(ok->isEnabled());
    for (const char* name : {"CHECK_AuthorNames", "CHECK_YVP", "CHECK_FreeText"}) {
        EXPECT_TRUE(Child<QCheckBox>(dialog, name)->isChecked()) << name;
    }
    EXPECT_FALSE(Child<QCheckBox>(dialog, "CHECK_Title")->isChecked());

    dialog.SetFileName(refs);
    EXPECT_TRUE(single->isChecked());
    EXPECT_TRUE(dialog.SingleFileChosen());
    EXPECT_TRUE(ok->isEnabled());
    QTest::mouseClick(Child<QPushButton>(dialog, "BTN_UncheckAll"), Qt::LeftButton);
    EXPECT_EQ(dialog.FieldMask(), 0U);
    EXPECT_FALSE(ok->isEnabled());
    QTest::mouseClick(Child<QPushButton>(dialog, "BTN_CheckAll"), Qt::LeftButton);
    EXPECT_EQ(dialog.FieldMask(), 0x11FF0U);
    EXPECT_TRUE(ok->isEnabled());
    Child<QCheckBox>(dialog, "CHECK_Abstract")->click();
    EXPECT_EQ(dialog.FieldMask(), 0x11FF0U & ~(1U << 12));

    // A name typed that names no file.
    auto* name = Child<QLineEdit>(dialog, "LABEL_CurFileName");
    name->clear();
    QTest::keyClicks(name, QString::fromStdString(dir_.File("missing.ref")));
    EXPECT_TRUE(single->isChecked());
    EXPECT_FALSE(ok->isEnabled());
}

// Two members of a group are indexed one after the other; the window of the one that is open is
// disabled while its index is built and maps its file anew afterwards.
TEST_F(BackgroundOperationsTest, TheQueueIndexesEveryMemberOfAGroup) {
    const std::string a = dir_.Write("a.ref", test::NumberedFile(30));
    const std::string b = dir_.Write("b.ref", test::NumberedFile(40));
    const std::string empty = dir_.Write("empty.ref", "");
    {
        SettingsStore store;
        ASSERT_TRUE(WriteFileGroup(store, "Pair", {a, dir_.File("gone.ref"), empty, b}));
    }
    MainForm form;
    const HeldFileSystem::ReleaseOnExit release{gate_};
    form.SetJobFileSystem(gate_);
    form.show();
    form.OpenFileCommand(b);
    RefWinForm* w = form.ActiveRefWin();
    ASSERT_NE(w, nullptr);
    onModal = [](QDialog& d) {
        auto* groups = d.findChild<QComboBox*>(QStringLiteral("CB_FileGroups"));
        EXPECT_EQ(groups->currentText(), QStringLiteral("Pair"));
        d.findChild<QRadioButton*>(QStringLiteral("RB_IndexFileGroup"))->setChecked(true);
        d.findChild<QCheckBox*>(QStringLiteral("CHECK_Title"))->setChecked(true);
        return static_cast<int>(QDialog::Accepted);
    };
    gate_.Hold();
    RunCommand(form, "Createindexfile1");
    EXPECT_FALSE(CommandOf(form, "Createindexfile1")->isEnabled());
    auto* dual = Child<QWidget>(form, "PanelMsg_Dual");
    EXPECT_FALSE(dual->isHidden());
    EXPECT_TRUE(Child<QLabel>(form, "M_MsgPanelFile")->text().startsWith(QStringLiteral("a.ref")));
    EXPECT_EQ(Child<QPushButton>(form, "BTN_Abort_Dual")->property("tag").toInt(), -1);
    EXPECT_FALSE(w->Busy()); // a's build runs; b waits
    gate_.Release();

    ASSERT_TRUE(WaitFor([&] { return !form.IndexingBusy(); }));
    EXPECT_TRUE(Asked().empty());
    EXPECT_TRUE(dual->isHidden());
    EXPECT_EQ(form.Status().Text(), QStringLiteral("Indexing completed."));
    const std::uint32_t fields = 0x100A0 | (1U << 6);
    EXPECT_TRUE(IndexUsable(a, fields));
    EXPECT_TRUE(IndexUsable(b, fields));
    EXPECT_FALSE(w->Busy());
    EXPECT_TRUE(w->isEnabled());
    EXPECT_TRUE(CommandOf(form, "Createindexfile1")->isEnabled());
}

TEST_F(BackgroundOperationsTest, AnAbortedBuildKeepsTheIndexTheFileHad) {
    const std::string refs = dir_.Write("refs.ref", test::NumberedFile(50));
    ASSERT_TRUE(CreateWordIndex(FileSystem::Default(), refs, 0x100A0, nullptr));
    const std::string index = IndexFileOf(FileSystem::Default(), refs);
    const std::string before = test::ReadBytes(index);
    ASSERT_FALSE(before.empty());

    MainForm form;
    const HeldFileSystem::ReleaseOnExit release{gate_};
    form.SetJobFileSystem(gate_);
    form.show();
    form.OpenFileCommand(refs);
    RefWinForm* w = form.ActiveRefWin();
    ASSERT_NE(w, nullptr);
    onModal = [](QDialog& d) {
        EXPECT_TRUE(d.findChild<QRadioButton*>(QStringLiteral("RB_IndexCurFile"))->isChecked());
        d.findChild<QPushButton*>(QStringLiteral("BTN_CheckAll"))->click();
        return static_cast<int>(QDialog::Accepted);
    };
    gate_.Hold();
    RunCommand(form, "Createindexfile1");
    // The window of the file is disabled while its index is built.
    EXPECT_TRUE(w->Busy());
    EXPECT_FALSE(w->isEnabled());
    EXPECT_FALSE(CommandOf(form, "Nextreference1")->isEnabled());
    EXPECT_FALSE(Child<QLabel>(form, "ThreadCountsRunning")->isHidden());

    QTest::mouseClick(Child<QPushButton>(form, "BTN_Abort_Dual"), Qt::LeftButton);
    ASSERT_EQ(Asked().size(), 1U);
    EXPECT_EQ(Asked()[0], QStringLiteral("Do you want to abort the \"indexing\" thread?"));
    gate_.Release();
    ASSERT_TRUE(WaitFor([&] { return !form.IndexingBusy(); }));
    EXPECT_EQ(form.Status().Text(), QStringLiteral("Indexing aborted."));
    EXPECT_EQ(test::ReadBytes(index), before);
    EXPECT_TRUE(Child<QWidget>(form, "PanelMsg_Dual")->isHidden());
    EXPECT_TRUE(Child<QLabel>(form, "ThreadCountsRunning")->isHidden());
    EXPECT_FALSE(w->Busy());
    EXPECT_TRUE(CommandOf(form, "Nextreference1")->isEnabled());
    EXPECT_EQ(Asked().size(), 1U);
}

// References 2 (year) and 4 (no volume) break the year rule; every name is well formed.
std::string FileWithFaultyYears() {
    return test::JournalBlock("A", "Adams, K.", "One.", "1999 (3) pp 1-2", "Science") +
           test::JournalBlock("B", "Brown, L.", "Two.", "19x9 (3) pp 1-2", "Science") +
           test::JournalBlock("C", "Cole, M.", "Three.", "2001 (4) pp 5-9", "Science") +
           test::JournalBlock("D", "Dunn, P.", "Four.", "2003 pp 5-9", "Science");
}

TEST_F(BackgroundOperationsTest, TheStructureCheckTagsTheFaultyReferences) {
    const std::string refs = dir_.Write("check.ref", FileWithFaultyYears());
    MainForm form;
    form.show();
    form.OpenFileCommand(refs);
    RefWinForm* w = form.ActiveRefWin();
    ASSERT_NE(w, nullptr);
    w->TagByNumbers("1", true, true);

    // Cancelled: the scope chosen is kept, nothing runs.
    onModal = [](QDialog& d) {
        d.findChild<QRadioButton*>(QStringLiteral("RB_CheckJournal"))->setChecked(true);
        return static_cast<int>(QDialog::Rejected);
    };
    RunCommand(form, "Checkfilestructure1");
    EXPECT_EQ(SettingsStore().ReadInt(Setting::CheckType), 4);
    EXPECT_EQ(form.Status().Running(), 0);

    const struct {
        const char* button;
        QString says;
        std::vector<int> tagged;
    } scopes[] = {
        {"RB_CheckYear",
         QStringLiteral("2 references were found with suspected formal problems."),
         {1, 3}},
        // Nothing found: the tags are cleared.
        {"RB_CheckAuthor",
         QStringLiteral("No references with suspected formal problems found."),
         {}},
    };
    for (const auto& scope : scopes) {
        DialogSeams::ClearLog();
        onModal = [&scope](QDialog& d) {
            // The last scope chosen is preset.
            EXPECT_FALSE(d.findChild<QRadioButton*>(QStringLiteral("RB_CheckAll"))->isChecked());
            d.findChild<QRadioButton*>(QString::fromLatin1(scope.button))->setChecked(true);
            return static_cast<int>(QDialog::Accepted);
        };
        RunCommand(form, "Checkfilestructure1");
        EXPECT_TRUE(w->Busy()) << scope.button;
        EXPECT_FALSE(CommandOf(form, "Checkfilestructure1")->isEnabled());
        ASSERT_TRUE(WaitFor([&] { return form.Status().Running() == 0 && !w->Busy(); }));
        ASSERT_EQ(Asked().size(), 1U) << scope.button;
        EXPECT_EQ(Asked()[0], scope.says);
        EXPECT_EQ(Tagged(w->File()), scope.tagged) << scope.button;
        EXPECT_EQ(w->File().CurrentIndex(), scope.tagged.empty() ? 0 : scope.tagged.front());
        EXPECT_TRUE(CommandOf(form, "Checkfilestructure1")->isEnabled());
    }
    // The tags were saved: the file opened anew has none.
    TReferenceFile reopened;
    ASSERT_TRUE(reopened.Open(refs));
    EXPECT_EQ(reopened.TaggedCount(), 0);
}

} // namespace
} // namespace cvx
