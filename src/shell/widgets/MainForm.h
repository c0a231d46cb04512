#pragma once
// TMainForm, the frame of the desktop program: a multiple-document window whose children are the
// reference windows, with the menus and tool bars of its commands, the status line with its lanes,
// the recent-files list and what is kept from one run to the next. It holds no reference data:
// every command on a file goes through the active reference window.

#include "formats/FormatDesc.h"
#include "settings/HistoryLists.h"
#include "shell/IndexQueue.h"
#include "shell/RecentFiles.h"
#include "shell/widgets/RefWinServices.h"
#include "text/Catalogue.h"
#include "text/Outcome.h"

#include <QMainWindow>

#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <vector>

class QAction;
class QActionGroup;
class QComboBox;
class QMdiArea;
class QMdiSubWindow;
class QMenu;
class QToolBar;
class QToolButton;

namespace cvx {

struct CheckReport;
class FileSystem;
class ReferenceReader;
class RefWinForm;
class StatusLine;
class TagDlg;

class MainForm : public QMainWindow, public RefWinServices {
    Q_OBJECT
public:
    explicit MainForm(QWidget* parent = nullptr);
    ~MainForm() override;

    // The first show: reopens the files of the last run, then runs the start's own command line.
    void Start(const std::string& commandLine);

    // Opens a file or runs a command string ("refs.ref <#12#>", "... <#-1#>").
    void OpenFileCommand(const std::string& command);
    // A message from another start of the program (its hand-over code and UTF-8 text).
    void HandOverReceived(int code, const QString& text);
    // Puts a file name at the top of the recent-files list of the File menu.
    void InsertFileNameInMenu(const std::string& command);
    // Computes the enabled and checked state of every command from the active window.
    void RefreshCommandState();

    // An index is being built, or files wait for theirs.
    bool IndexingBusy() const;
    // The file system of the index builds (tests give one of their own).
    void SetJobFileSystem(FileSystem& fs) { jobFs_ = &fs; }

    RefWinForm* ActiveRefWin() const;
    std::vector<RefWinForm*> RefWins() const;
    const RecentFiles& Recent() const { return recent_; }

    // RefWinServices
    StatusLine& Status() override { return *status_; }
    const TFormatDesc& GlobalFormat() const override { return globalFormat_; }
    bool ApplyFormat() const override { return applyFormat_; }
    bool LatexEnabled() const override { return latex_; }
    HistoryLists& History() override { return history_; }
    TagDlg& SearchDialog() override { return *tagDlg_; }
    RefWinForm* WindowOfFile(const std::string& name) override;

protected:
    void closeEvent(QCloseEvent* event) override;
    // Remembers the size of the reference windows as the user leaves them.
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QAction* AddAction(QMenu* menu, const char* name, MsgId caption, const QKeySequence& key,
                       void (MainForm::*handler)());
    // Runs `act` on the active reference window; nothing without one.
    template <typename Act> void OnActive(Act act);
    void BuildMenus();
    void BuildFileMenu();
    void BuildEditMenu();
    void BuildSearchMenu();
    void BuildViewMenu();
    void BuildFormatsMenu();
    void BuildToolsMenu();
    void BuildWindowMenu();
    void BuildToolBars();
    void AddDisplayOrderBox(QToolBar* bar);
    void ReadClipboardFlags();
    void RebuildRecentMenu();
    void FillWindowList();

    RefWinForm* OpenNewWindow(const std::string& file, int position);
    void ShowAt(RefWinForm& window, int position);
    void Activate(RefWinForm& window);
    void CloseWindowOf(RefWinForm& window);
    void RestoreWindowPosition();
    void SaveWindowPosition();
    void LoadGlobalFormat(const std::string& name);
    void RedisplayAll();

    // The index queue: the next file that exists and holds references is built in the dual
    // lane; its window is disabled meanwhile and maps its file anew afterwards.
    void CheckIfMoreToIndex();
    bool StartIndexing(const std::string& name);
    void IndexingEnded(const std::string& name, const Outcome& outcome);
    // The structure check of the window's file in a lane; the faulty references become its tags.
    void StartStructureCheck(RefWinForm& window);
    void StructureCheckEnded(RefWinForm* window, const std::string& file,
                             const std::shared_ptr<const ReferenceReader>& checked,
                             const CheckReport& report);

    // Handlers of the commands.
    void FileOpenItemClick();
    void AppendThisRefToFileClick();
    void WriteTaggedReferencesClick();
    void FileCloseItemClick();
    void CloseAllWindowsClick();
    void FileInformationClick();
    void CreateIndexFileClick();
    void RemapFileClick();
    void CompressFileClick();
    void FileExitItemClick();
    void CopyItemClick();
    void DeleteCurrentReferenceClick();
    void DeleteTaggedReferencesClick();
    void CheckFileStructureClick();
    void GetReferencesClick();
    void GetNextReferenceClick();
    void TagReferencesClick();
    void LocateReferencesClick();
    void TagByReferenceNumberClick();
    void ToggleTagStatusClick();
    void TagAllClick();
    void InvertTaggingClick();
    void ClearAllTaggingClick();
    void SelectTaggedRefsClick();
    void TagSelectedClick();
    void FirstReferenceClick();
    void PreviousReferenceClick();
    void NextReferenceClick();
    void LastReferenceClick();
    void JumpToReferenceClick();
    void ScrollPageUpClick();
    void ScrollPageDownClick();
    void PreviousTaggedClick();
    void NextTaggedClick();
    void ChangeViewClick();
    void CombinedViewClick();
    void SingleViewClick();
    void ListViewClick();
    void ListTaggedOnlyClick();
    void SetDisplayOrderClick();
    void SortDisplayOrderClick();
    void DisplayOrderChange(int index);
    void LoadFormatFileClick();
    void ApplyFormatClick();
    void CreateLongFormatClick();
    void CreateShortFormatClick();
    void CreatePseudoCitationClick();
    void HideFileReferenceClick();
    void SuppressRtfClick();
    void EnableLatexClick();
    void CascadeClick();
    void TileClick();
    void MinimizeAllClick();
    void BrowseClick();
    void ContentsClick();
    void AboutClick();

    QMdiArea* area_ = nullptr;
    StatusLine* status_ = nullptr;
    TagDlg* tagDlg_ = nullptr; // the search dialog, for the program's life
    QMenu* fileMenu_ = nullptr;
    QMenu* windowMenu_ = nullptr;
    QAction* recentSeparator_ = nullptr;
    std::vector<QAction*> recentActions_;
    std::vector<QAction*> windowListActions_;
    std::map<std::string, QAction*> actions_; // by objectName
    QToolBar* refToolBar_ = nullptr;
    QToolButton* viewSelect_ = nullptr;
    QActionGroup* views_ = nullptr;
    QComboBox* displayOrder_ = nullptr; // CB_DisplayOrder
    QWidget* displayOrderLabel_ = nullptr;

    IndexQueue indexQueue_;
    std::string indexingFile_;      // the file whose index is being built; empty when none
    bool indexingDisabled_ = false; // its window was disabled for the build
    std::uint32_t indexMask_;       // the fields the indexing dialog offers: the last chosen
    bool checkRunning_ = false;     // a structure check runs (one at a time)
    FileSystem* jobFs_;

    RecentFiles recent_;
    HistoryLists history_;
    TFormatDesc globalFormat_;
    bool applyFormat_ = false;
    bool latex_ = false;
    bool started_ = false;
    bool tearingDown_ = false;
    int arrangement_ = 0; // 0 none, 1 tiled, 2 cascaded, 3 minimised
};

} // namespace cvx
