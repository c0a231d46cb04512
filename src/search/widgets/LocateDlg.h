#pragma once
// TLocateDlg, the locate dialog: the references a locating search marked (at most 200), each with
// a check box that shows and edits its tag mark, sorted by year or by author. The marks reach the
// file only when the user agrees. Made for one use by a reference window.

#include "refstore/RefArrData.h"
#include "search/LocatedList.h"
#include "text/Catalogue.h"

#include <QDialog>

#include <string>
#include <vector>

class QAction;
class QComboBox;
class QKeySequence;
class QLabel;
class QListWidget;
class QListWidgetItem;
class QMenu;
class QPushButton;
class QToolButton;

namespace cvx {

class LocateServices;
class TReferenceFile;

class LocateDlg : public QDialog {
    Q_OBJECT
public:
    LocateDlg(TReferenceFile& file, LocateServices& services, const FormalCheck& check,
              QWidget* parent = nullptr);

    // Lists the references of the last locating search, or asks for an expression when there
    // was none; false when the user cancelled that question.
    bool PrepareLocate();
    void UpdateLocateCounts();
    // The reference (absolute index) of the focused row; -1 without rows.
    int SelectedReference() const;

    // Closing with changed marks asks whether to apply them; Cancel keeps the dialog open.
    void done(int result) override;

    // The expression of the last locating search of the program (empty before the first).
    static const std::string& LastLocateExpression();

protected:
    void showEvent(QShowEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    void BuildMenus();
    void BuildControls();
    QAction* AddCommand(QMenu* menu, const char* name, MsgId caption, const QKeySequence& key,
                        void (LocateDlg::*handler)());
    bool AskLocateExpression();
    void FillList();
    void SortList();
    void SortChosen(int item);
    void ShowRows();
    void SetMarks(bool allRows, bool tagged);
    std::vector<QListWidgetItem*> SelectedRows() const;
    int CheckedRows() const;
    void ApplyMarks();
    void ShowMessage(const QString& text);
    void SaveWindowPosition();

    // Commands.
    void TagAll();
    void TagSelected();
    void ToggleTagStatus();
    void UntagAll();
    void UntagSelected();
    void ClearList();
    void ClearSelected();
    void LocateAgain();
    void DisplayReference();
    void SaveAndExit();

    TReferenceFile& file_;
    LocateServices& services_;
    FormalCheck check_;
    std::vector<LocatedRow> rows_; // in list order
    bool capped_ = false;
    bool changed_ = false;
    bool filling_ = false; // the list's own changes of check marks are not the user's

    QListWidget* list_ = nullptr;       // CB_LocalizedRefs
    QComboBox* sortOrder_ = nullptr;    // CB_SortOrder
    QPushButton* expression_ = nullptr; // PANEL_LocExpression
    QLabel* rowCount_ = nullptr;        // PANEL_LocRefs
    QLabel* checkedCount_ = nullptr;    // PANEL_TagLocated
    QLabel* message_ = nullptr;         // M_Message
    QToolButton* tagAll_ = nullptr;
    QToolButton* tagSelected_ = nullptr;
    QToolButton* untagAll_ = nullptr;
    QToolButton* untagSelected_ = nullptr;
    QToolButton* clearList_ = nullptr;
    QToolButton* clearSelected_ = nullptr;
    QAction* sortByYear_ = nullptr;
    QAction* sortByAuthors_ = nullptr;
    std::vector<QAction*> selectionCommands_; // enabled only with rows selected
};

} // namespace cvx
