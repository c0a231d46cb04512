#pragma once
// TPickFileDlg, the pick list of destination files: the reference files references were last
// appended to ("Pick file" history), to pick one, add one by browsing, or remove old ones.

#include "settings/HistoryLists.h"

#include <QDialog>

#include <vector>

class QLineEdit;
class QListWidget;
class QPushButton;
class QToolButton;

namespace cvx {

class PickFileDlg : public QDialog {
    Q_OBJECT
public:
    PickFileDlg(HistoryLists& history, QWidget* parent = nullptr);

    // Fills the list from the history; `tagged` names the file dialog's purpose.
    void ShowPickFiles(bool tagged);
    // The chosen file name (UTF-8 text of CB_PickNames), trimmed.
    QString Text() const;

private:
    void Reload(int select);
    void AddFileName();
    void Remove();
    void Restore();
    // The history list is rewritten from the list at once, so a removal stays even when the
    // dialog is cancelled.
    void StoreList();
    void UpdateButtons();

    HistoryLists& history_;
    bool tagged_ = false;
    std::vector<QString> removed_;
    QLineEdit* name_ = nullptr;
    QListWidget* list_ = nullptr;
    QToolButton* remove_ = nullptr;
    QToolButton* restore_ = nullptr;
    QPushButton* removeButton_ = nullptr;
    QPushButton* ok_ = nullptr;
};

} // namespace cvx
