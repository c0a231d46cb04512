#pragma once
// TRefWinForm, the reference window: one open reference file shown as its current reference in
// detail, as a list with one line per reference, or both side by side. The main window's commands
// act on the active reference window through the operations below; the window asks its file for
// every piece of data and never holds the references themselves.

#include "joboptions/JobOptions.h"
#include "refstore/RefSet.h"
#include "refstore/ReferenceFile.h"
#include "search/SearchResult.h"
#include "search/widgets/LocateServices.h"
#include "text/Catalogue.h"
#include "text/Outcome.h"

#include <QFileSystemWatcher>
#include <QTimer>
#include <QWidget>

#include <memory>
#include <string>

class QAction;
class QCheckBox;
class QComboBox;
class QFrame;
class QItemSelection;
class QLabel;
class QMenu;
class QPushButton;
class QSplitter;

namespace cvx {

class ReferenceLineDelegate;
class ReferenceListModel;
class ReferenceListView;
class RefWinServices;
class RichEditDA;

// The window serves its locate dialog (LocateServices) privately.
class RefWinForm : public QWidget, private LocateServices {
    Q_OBJECT
public:
    enum View { Combined = 0, SingleReference = 1, List = 2 };

    explicit RefWinForm(RefWinServices& services, QWidget* parent = nullptr);
    ~RefWinForm() override;

    // Opens the file and shows its first reference (in the display order of the settings).
    Outcome OpenFile(const std::string& name);
    const std::string& FileName() const { return file_.FileName(); }
    const TReferenceFile& File() const { return file_; }
    // Another window's operation writes into the file; the window is disabled meanwhile.
    bool Busy() const { return blocked_; }

    // ---- Moving ----
    void GoToPosition(int position); // a display position
    void NextReference();
    void PreviousReference();
    void FirstReference();
    void LastReference();
    void NextTagged();
    void PreviousTagged();
    void JumpTo(const std::string& text, bool originalOrder);
    void ScrollPage(bool up);
    // The list position of the current reference and the number of list rows.
    int CurrentRow() const;
    int RowCount() const;

    // ---- Views and orders ----
    View ViewKind() const { return view_; }
    void ChangeView(View view);
    // The order the window shows afterwards (the file's own when no stored order fits).
    DisplayOrder SetDisplayOrder(DisplayOrder kind);
    // Computes the stored display orders in a lane of the status line; the window is disabled
    // until the thread ends and then offers to tag the suspected duplicates it found.
    void SortDisplayOrder();
    // A display sort runs in some window (only one at a time).
    static bool DisplaySortRunning();
    // After the file's references changed: the display is sorted again when the settings ask for
    // it (always, or below a number of references), otherwise it shows the file's own order.
    void ResortOrShowOriginal();
    // Gives the keyboard to the identification string (the list in the list view).
    void FocusDisplay();
    void SetListTaggedOnly(bool on);
    bool ListTaggedOnly() const { return file_.TaggedOnly(); }

    // ---- Tagging ----
    void ToggleTagOfSelection();
    void InvertTags();
    void ClearTags();
    void TagAll();
    void TagSelected();
    void SelectTagged();
    void TagByNumbers(const std::string& text, bool originalOrder, bool clearFirst);
    // Tags every reference that `expression` finds (`tag`), or goes to the next one it finds,
    // through the word index when `indexed`. The expression comes from the search dialog.
    void FindOrTag(bool tag, const std::string& expression, bool indexed);
    // Asks for an expression through the search dialog, then tags or finds with it as FindOrTag.
    void AskFindOrTag(bool tag);
    // The locate dialog: lists the references of the last locating search (asking for an
    // expression when there was none) and makes the one chosen current.
    void LocateReferences();
    // Repeats the last find of any window from the current reference; false when there was none
    // (the caller then asks for an expression).
    bool FindNext();
    // Repeats the last find, or asks for an expression when there was none.
    void GetNextReference();
    // The tag check box of the detail panel, as the user clicks it.
    void SetCurrentTag(bool tagged);
    int SelectionCount() const { return selection_.Count(); }

    // ---- Copying ----
    void CopyText();
    void CreateLongFormat();
    void CreateShortFormat();
    void CreatePseudoCitations();

    // ---- Changing the file ----
    void DeleteCurrent();
    void DeleteTagged();
    void Compress();
    void AppendToFile(bool tagged);
    // Appends reference texts (each followed by an empty line) dropped from another list.
    void AppendDropped(const std::string& texts);
    void Remap();
    // Moves to the first tagged reference in display order.
    void GoToFirstTagged();

    // After the settings of fonts and colours changed.
    void RestyleWindow();
    void Redisplay(bool listFollow);
    // Disabled while another window's operation writes into this file; enabling maps it anew.
    void SetEnabledByOperation(bool enabled);

    // The message panel of the window (LocWinMsg).
    QString MessageText() const;

signals:
    // The main window's commands depend on what changed.
    void StateChanged();
    // The file can no longer be read; the main window closes the window.
    void Disconnected();

private:
    void BuildControls();
    void BuildPopupMenu();
    void SuppressConditionalSortingClick();
    void ApplyView();
    void SplitterMoved();
    void UpdateTagCount();
    void ShowStatusOf(int position);
    void StepToTagged(int direction);
    std::string HeaderText();
    void ShowDetail();
    void FollowList();
    void ResetSelection();
    void SelectionChanged(const QItemSelection& selected, const QItemSelection& deselected);
    void TimerTick();
    void ListTagToggle(int row);
    void RowActivated(int row);
    void AuthorSearchKey(int key, const QString& text);
    void TagsChanged(bool rowsChange);
    void ShowMessage(const QString& text);
    // Runs a search on the file and reports its result in the message panel.
    bool Search(const std::string& expression, SearchMode mode, bool indexed);
    // LocateServices
    TagDlg& SearchDialog() override;
    HistoryLists& History() override;
    Progress& GeneralProgress() override;
    int RunModal(QDialog& dialog) override;
    QMessageBox::StandardButton AskYesNoCancel(const QString& text) override;
    void Locate(const std::string& expression, bool indexed) override;
    void Fail(const Outcome& outcome) override;
    bool Writable();
    // Moves through the file and shows the result; a failed move disconnects the window.
    bool Move(const Outcome& moved);
    void Disconnect(const Outcome& why);
    void FileChangedOnDisk();
    void WatchFile();
    // After the file's text changed: the list takes the rows anew and the window shows the
    // reference at `position` (or the last one).
    void Reshow(int position);
    void PutRenderedOnClipboard(bool longForm);
    // The short descriptions of the first references of `absolute` for a question.
    std::vector<std::string> Descriptions(const std::vector<int>& absolute) const;
    void RememberStamp();
    void DisplaySortEnded(const DisplaySortReport& report, DisplayOrder savedOrder,
                          int savedReference);

    RefWinServices& services_;
    TReferenceFile file_;
    std::shared_ptr<const JobOptions> display_; // what the displays read with
    View view_ = Combined;
    RefSet selection_;
    int lastSelectedRow_ = -1;
    bool blocked_ = false; // another window's operation writes into the file
    bool followingList_ = false;
    QString typedAuthor_;      // the type-ahead author search being typed
    QString lastAuthorSearch_; // the last one searched for
    QTimer winRefTimer_;
    QTimer watchTimer_;
    // The size and time of the file when this window last read or wrote it, so that its own
    // writes are not taken for another program's.
    qint64 knownSize_ = -1;
    qint64 knownTime_ = -1;
    QFileSystemWatcher watcher_;

    QLabel* refNumb_ = nullptr;
    QLabel* tagInfo_ = nullptr;
    QFrame* locWinMsg_ = nullptr;
    QLabel* message_ = nullptr;
    QLabel* selectionCount_ = nullptr;
    QLabel* bupIdString_ = nullptr;
    QLabel* absRefNumb_ = nullptr;
    QSplitter* splitter_ = nullptr;
    QFrame* singleRef_ = nullptr;
    QLabel* image_ = nullptr;
    QCheckBox* tagBox_ = nullptr;
    RichEditDA* idString_ = nullptr;
    RichEditDA* header_ = nullptr;
    RichEditDA* abstract_ = nullptr;
    QWidget* urlPanel_ = nullptr;
    QComboBox* urlList_ = nullptr;
    QPushButton* goUrl_ = nullptr;
    QFrame* multiRefs_ = nullptr;
    ReferenceListView* list_ = nullptr;
    ReferenceListModel* model_ = nullptr;
    ReferenceLineDelegate* delegate_ = nullptr;
    QMenu* popup_ = nullptr;
    QAction* suppressSorting_ = nullptr;
};

} // namespace cvx
