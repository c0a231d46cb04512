#pragma once
// TRefWinForm, the reference window: one open reference file shown as its current reference in
// detail, as a list with one line per reference, or both side by side. The main window's commands
// act on the active reference window through the operations below; the window asks its file for
// every piece of data and never holds the references themselves.

#include "joboptions/JobOptions.h"
#include "refstore/RefSet.h"
#include "refstore/ReferenceFile.h"
#include "text/Catalogue.h"
#include "text/Outcome.h"

#include <QFileSystemWatcher>
#include <QTimer>
#include <QWidget>

#include <functional>
#include <memory>
#include <string>

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

class RefWinForm : public QWidget {
    Q_OBJECT
public:
    enum View { Combined = 0, SingleReference = 1, List = 2 };

    explicit RefWinForm(RefWinServices& services, QWidget* parent = nullptr);
    ~RefWinForm() override;

    // Opens the file and shows its first reference (in the display order of the settings).
    Outcome OpenFile(const std::string& name);
    const std::string& FileName() const { return file_.FileName(); }
    const TReferenceFile& File() const { return file_; }
    // A background operation works on the file; the window is disabled meanwhile.
    bool Busy() const { return busy_ || blocked_; }

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

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    void BuildControls();
    void BuildPopupMenu();
    void ApplyView();
    void SplitterMoved();
    void UpdateTagCount();
    void ShowStatusOf(int position);
    std::string HeaderText();
    void FollowList();
    void ResetSelection();
    void SelectionChanged(const QItemSelection& selected, const QItemSelection& deselected);
    void TimerTick();
    void ListTagToggle(int row);
    void RowActivated(int row);
    void TagsChanged(bool rowsChange);
    void LeaveTaggedOnlyWhenEmpty();
    void ShowMessage(const QString& text);
    void Fail(const Outcome& outcome);
    bool Writable();
    // Moves through the file and shows the result; a failed move disconnects the window.
    bool Move(const Outcome& moved);
    void Disconnect(const Outcome& why);
    void FileChangedOnDisk();
    void WatchFile();

    // Runs `work` on the window's file in a lane of the status line; the window is disabled and
    // its list shows what it showed until `after` runs on the main thread.
    void RunFileOperation(MsgId kind, MsgId text, bool abortable,
                          std::function<Outcome(TReferenceFile&, Progress&)> work,
                          std::function<void(const Outcome&)> after);
    void PutRenderedOnClipboard(bool longForm);
    std::vector<std::string> Descriptions(const std::vector<int>& absolute) const;

    RefWinServices& services_;
    TReferenceFile file_;
    std::shared_ptr<const JobOptions> display_; // what the displays read with
    View view_ = Combined;
    RefSet selection_;
    int lastSelectedRow_ = -1;
    bool busy_ = false;    // an operation of this window uses the file on a worker thread
    bool blocked_ = false; // another window's operation writes into the file
    bool followingList_ = false;
    bool suppressTagClick_ = false;
    QString lastSearchText_;
    QTimer winRefTimer_;
    QTimer storeSizeTimer_;
    QTimer watchTimer_;
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
};

} // namespace cvx
