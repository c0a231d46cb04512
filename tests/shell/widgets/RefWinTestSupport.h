#pragma once
// What the reference-window tests share: one application object, a settings store of their own,
// dialog seams that answer for the user, and the main window's services as a small stand-in.

#include "formats/FormatDesc.h"
#include "formats/FormatFile.h"
#include "search/widgets/TagDlg.h"
#include "settings/HistoryLists.h"
#include "shell/widgets/DialogSeams.h"
#include "shell/widgets/RefWinForm.h"
#include "shell/widgets/RefWinServices.h"
#include "shell/widgets/StatusLine.h"

#include <QApplication>
#include <QSettings>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <functional>
#include <map>
#include <string>

namespace cvx::test {

// The one application object of the test program.
inline void EnsureApplication() {
    if (QApplication::instance() == nullptr) {
        // The tests draw off screen wherever they run.
        if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
            qputenv("QT_QPA_PLATFORM", "offscreen");
        }
        static int argc = 1;
        static char name[] = "refwin_tests";
        static char* argv[] = {name, nullptr};
        new QApplication(argc, argv);
    }
}

class FakeServices : public RefWinServices {
public:
    FakeServices() {
        (void)LoadFormatFile(format_, "default");
        QObject::connect(&searchDialog_, &TagDlg::WarningBeep, [] { Beep(); });
    }

    StatusLine& Status() override { return status_; }
    const TFormatDesc& GlobalFormat() const override { return format_; }
    bool ApplyFormat() const override { return applyFormat; }
    bool LatexEnabled() const override { return latex; }
    HistoryLists& History() override { return history_; }
    TagDlg& SearchDialog() override { return searchDialog_; }
    RefWinForm* WindowOfFile(const std::string& name) override {
        const auto it = windows.find(name);
        return it == windows.end() ? nullptr : it->second;
    }

    bool applyFormat = false;
    bool latex = false;
    std::map<std::string, RefWinForm*> windows;

private:
    StatusLine status_;
    TFormatDesc format_;
    HistoryLists history_;
    TagDlg searchDialog_;
};

// Settings in a folder of the test's own, and the dialog seams answering every question with
// `answer` (Yes unless a test says otherwise).
class GuiTest : public ::testing::Test {
protected:
    void SetUp() override {
        EnsureApplication();
        ASSERT_TRUE(settings_.isValid());
        QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, settings_.path());
        DialogSeams::Install(
            [this](const AskedMessage&) { return answer; },
            [this](QDialog& dialog) { return onModal ? onModal(dialog) : modalResult; },
            [](const QString&) { return QString(); });
        DialogSeams::ClearLog();
    }
    void TearDown() override { DialogSeams::Remove(); }

    QMessageBox::StandardButton answer = QMessageBox::Yes;
    int modalResult = 0;
    // Answers the program's dialogs as the user would, instead of `modalResult`.
    std::function<int(QDialog&)> onModal;

private:
    QTemporaryDir settings_;
};

} // namespace cvx::test
