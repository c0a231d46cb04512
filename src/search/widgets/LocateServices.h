#pragma once
// What the locate dialog needs from the reference window that opens it: the program's search
// dialog and history lists, its modal moments (so that tests can answer them), the search in
// locating mode and the reports of failures.

#include "settings/HistoryLists.h"
#include "text/Outcome.h"

#include <QMessageBox>

#include <string>

class QDialog;

namespace cvx {

class Progress;
class TagDlg;

class LocateServices {
public:
    virtual ~LocateServices() = default;

    virtual TagDlg& SearchDialog() = 0;
    virtual HistoryLists& History() = 0;
    virtual Progress& GeneralProgress() = 0;
    // QDialog::Accepted or QDialog::Rejected.
    virtual int RunModal(QDialog& dialog) = 0;
    // A warning with Yes, No and Cancel; the button chosen.
    virtual QMessageBox::StandardButton AskYesNoCancel(const QString& text) = 0;
    // Marks the references the expression finds in the file's LocatedSet, reporting the result
    // as the window reports its searches.
    virtual void Locate(const std::string& expression, bool indexed) = 0;
    virtual void Fail(const Outcome& outcome) = 0;
};

} // namespace cvx
