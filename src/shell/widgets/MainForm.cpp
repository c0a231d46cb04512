#include "shell/widgets/MainForm.h"

#include "filetools/StructureCheck.h"
#include "formats/FormatFile.h"
#include "joboptions/JobOptions.h"
#include "refstore/Companions.h"
#include "refstore/ReferenceFile.h"
#include "refstore/ReferenceJobs.h"
#include "refstore/ReferenceReader.h"
#include "search/WordIndexBuilder.h"
#include "search/WordIndexFormat.h"
#include "search/widgets/TagDlg.h"
#include "settings/DefaultDirectories.h"
#include "settings/FileDialogSetup.h"
#include "settings/NameLists.h"
#include "settings/WindowPositions.h"
#include "shell/CommandString.h"
#include "shell/HandOver.h"
#include "shell/widgets/CheckFormatDlg.h"
#include "shell/widgets/DialogSeams.h"
#include "shell/widgets/FileDialogFilter.h"
#include "shell/widgets/FileInfoDlg.h"
#include "shell/widgets/HelpViewer.h"
#include "shell/widgets/Icons.h"
#include "shell/widgets/IndexFileDlg.h"
#include "shell/widgets/RefWinForm.h"
#include "shell/widgets/SingleInputDlg.h"
#include "shell/widgets/SplashForm.h"
#include "shell/widgets/StatusLine.h"
#include "storage/FileSystem.h"
#include "text/FileNames.h"
#include "text/StringPrimitives.h"
#include "text/widgets/QtText.h"

#include <QActionGroup>
#include <QApplication>
#include <QCloseEvent>
#include <QComboBox>
#include <QFileInfo>
#include <QLabel>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenuBar>
#include <QPointer>
#include <QScreen>
#include <QStatusBar>
#include <QToolBar>
#include <QToolButton>

namespace cvx {

namespace {

constexpr int kMainWindowSlot = 0; // "Interface\Windows\Main window"
constexpr int kRefWinSlot = 11;    // "Interface\Windows\RefWin"

bool FileExists(const std::string& name) {
    return QFileInfo(FromUtf8(name)).isFile();
}

// Names of files are compared as the program stores them: absolute and clean.
bool SameFile(const std::string& a, const std::string& b) {
    return AbsoluteFileName(a) == AbsoluteFileName(b);
}

QString FileDialogTitle(MsgId title) {
    return UiText(title);
}

// A set of references as the numbers the user types: "1-3,7" (1-based, in file order).
std::string NumberSequence(const RefSet& set) {
    std::string text;
    const std::vector<int> members = set.Members();
    for (std::size_t i = 0; i < members.size();) {
        std::size_t last = i;
        while (last + 1 < members.size() && members[last + 1] == members[last] + 1) {
            ++last;
        }
        text += (text.empty() ? "" : ",") + std::to_string(members[i] + 1);
        if (last > i) {
            text += "-" + std::to_string(members[last] + 1);
        }
        i = last + 1;
    }
    return text;
}

} // namespace

MainForm::MainForm(QWidget* parent)
    : QMainWindow(parent), indexMask_(kDefaultIndexMask), jobFs_(&FileSystem::Default()) {
    setObjectName(QStringLiteral("MainForm"));
    setWindowTitle(QStringLiteral("Citavox"));
    setWindowIcon(ProgramIcon(IconKind::Application));
    area_ = new QMdiArea(this);
    area_->setObjectName(QStringLiteral("ClientArea"));
    area_->setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    area_->setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    setCentralWidget(area_);
    status_ = new StatusLine(this);
    statusBar()->addWidget(status_, 1);
    statusBar()->setSizeGripEnabled(true);

    const SettingsStore store;
    history_.LoadHistoryLists(store);
    recent_.Load(store, FileExists);
    latex_ = store.ReadBool(Setting::EnabledLatex);
    applyFormat_ = store.ReadBool(Setting::UseFormat);

    tagDlg_ = new TagDlg(this);
    connect(tagDlg_, &TagDlg::WarningBeep, this, [] { Beep(); });

    BuildMenus();
    BuildToolBars();
    ReadClipboardFlags();
    RebuildRecentMenu();
    connect(area_, &QMdiArea::subWindowActivated, this, [this] { RefreshCommandState(); });
    connect(status_, &StatusLine::OperationsChanged, this, [this] { RefreshCommandState(); });
    RefreshCommandState();
}

MainForm::~MainForm() {
    // The reference windows use this window's services: they end while those still exist, and
    // the commands are not recomputed for a window on its way out.
    tearingDown_ = true;
    delete area_;
    SettingsStore store;
    (void)history_.SaveHistoryLists(store);
    (void)recent_.Save(store);
}

// ---- Building the menus ----

QAction* MainForm::AddAction(QMenu* menu, const char* name, MsgId caption, const QKeySequence& key,
                             void (MainForm::*handler)()) {
    auto* action = new QAction(UiText(caption), this);
    action->setObjectName(QString::fromLatin1(name));
    action->setShortcut(key);
    // The window's shortcuts stay active while a reference window's child has the focus.
    action->setShortcutContext(Qt::WindowShortcut);
    connect(action, &QAction::triggered, this, handler);
    menu->addAction(action);
    actions_[name] = action;
    return action;
}

template <typename Act> void MainForm::OnActive(Act act) {
    if (RefWinForm* window = ActiveRefWin(); window != nullptr && !window->Busy()) {
        act(*window);
        RefreshCommandState();
    }
}

void MainForm::BuildMenus() {
    BuildFileMenu();
    BuildEditMenu();
    BuildSearchMenu();
    BuildViewMenu();
    BuildFormatsMenu();
    BuildToolsMenu();
    BuildWindowMenu();
    QMenu* help = menuBar()->addMenu(UiText(msg::MainWindow::Help1));
    help->setObjectName(QStringLiteral("Help1"));
    AddAction(help, "Contents1", msg::MainWindow::Contents1, QKeySequence(Qt::CTRL | Qt::Key_F1),
              &MainForm::ContentsClick);
    AddAction(help, "HelpAboutItem", msg::MainWindow::HelpAboutItem, {}, &MainForm::AboutClick);
}

void MainForm::BuildFileMenu() {
    fileMenu_ = menuBar()->addMenu(UiText(msg::MainWindow::File1));
    fileMenu_->setObjectName(QStringLiteral("File1"));
    QMenu* m = fileMenu_;
    AddAction(m, "FileOpenItem", msg::MainWindow::FileOpenItem, QKeySequence(Qt::CTRL | Qt::Key_O),
              &MainForm::FileOpenItemClick)
        ->setIcon(ProgramIcon(IconKind::OpenFile));
    m->addSeparator();
    AddAction(m, "AppendThisRefToFile", msg::MainWindow::AppendThisRefToFile,
              QKeySequence(Qt::CTRL | Qt::Key_1), &MainForm::AppendThisRefToFileClick);
    AddAction(m, "Writetaggedreferences1", msg::MainWindow::Writetaggedreferences1,
              QKeySequence(Qt::CTRL | Qt::Key_W), &MainForm::WriteTaggedReferencesClick);
    m->addSeparator();
    AddAction(m, "FileCloseItem", msg::MainWindow::FileCloseItem,
              QKeySequence(Qt::CTRL | Qt::Key_F4), &MainForm::FileCloseItemClick);
    AddAction(m, "CloseAllwindows1", msg::MainWindow::CloseAllwindows1, {},
              &MainForm::CloseAllWindowsClick);
    m->addSeparator();
    AddAction(m, "Fileinformation1", msg::MainWindow::Fileinformation1,
              QKeySequence(Qt::CTRL | Qt::Key_Return), &MainForm::FileInformationClick);
    AddAction(m, "Createindexfile1", msg::MainWindow::Createindexfile1, {},
              &MainForm::CreateIndexFileClick);
    AddAction(m, "reMapfile1", msg::MainWindow::ReMapfile1, {}, &MainForm::RemapFileClick);
    AddAction(m, "Compressfile1", msg::MainWindow::Compressfile1, {}, &MainForm::CompressFileClick);
    m->addSeparator();
    AddAction(m, "FileExitItem", msg::MainWindow::FileExitItem, QKeySequence(Qt::ALT | Qt::Key_F4),
              &MainForm::FileExitItemClick);
    // The compress command needs deleted references in the active file.
    connect(m, &QMenu::aboutToShow, this, &MainForm::RefreshCommandState);
}

void MainForm::BuildEditMenu() {
    QMenu* m = menuBar()->addMenu(UiText(msg::MainWindow::Edit1));
    m->setObjectName(QStringLiteral("Edit1"));
    AddAction(m, "CopyItem", msg::MainWindow::CopyItem, QKeySequence(Qt::CTRL | Qt::Key_C),
              &MainForm::CopyItemClick);
    m->addSeparator();
    AddAction(m, "Deletecurrentreference1", msg::MainWindow::Deletecurrentreference1,
              QKeySequence(Qt::SHIFT | Qt::CTRL | Qt::Key_D),
              &MainForm::DeleteCurrentReferenceClick);
    AddAction(m, "Deletetaggedreferences1", msg::MainWindow::Deletetaggedreferences1, {},
              &MainForm::DeleteTaggedReferencesClick);
    m->addSeparator();
    AddAction(m, "Checkfilestructure1", msg::MainWindow::Checkfilestructure1,
              QKeySequence(Qt::SHIFT | Qt::Key_F7), &MainForm::CheckFileStructureClick);
    connect(m, &QMenu::aboutToShow, this, &MainForm::RefreshCommandState);
}

void MainForm::BuildSearchMenu() {
    QMenu* m = menuBar()->addMenu(UiText(msg::MainWindow::Select1));
    m->setObjectName(QStringLiteral("Select1"));
    AddAction(m, "Getreferences2", msg::SearchDialog::FindReference,
              QKeySequence(Qt::CTRL | Qt::Key_F), &MainForm::GetReferencesClick)
        ->setIcon(ProgramIcon(IconKind::Find));
    AddAction(m, "Getnextreference2", msg::SearchDialog::FindNextReference,
              QKeySequence(Qt::Key_F3), &MainForm::GetNextReferenceClick);
    AddAction(m, "Tagreferences1", msg::SearchDialog::TagReferences,
              QKeySequence(Qt::CTRL | Qt::Key_T), &MainForm::TagReferencesClick)
        ->setIcon(ProgramIcon(IconKind::Tag));
    AddAction(m, "Tagbyreferencenumber1", msg::MainWindow::Tagbyreferencenumber1,
              QKeySequence(Qt::SHIFT | Qt::CTRL | Qt::Key_F9),
              &MainForm::TagByReferenceNumberClick);
    AddAction(m, "Toggletagstatus1", msg::MainWindow::Toggletagstatus1,
              QKeySequence(Qt::SHIFT | Qt::CTRL | Qt::Key_T), &MainForm::ToggleTagStatusClick);
    AddAction(m, "Tagall1", msg::MainWindow::Tagall1, QKeySequence(Qt::CTRL | Qt::Key_A),
              &MainForm::TagAllClick);
    AddAction(m, "Inverttagging2", msg::MainWindow::Inverttagging2,
              QKeySequence(Qt::SHIFT | Qt::CTRL | Qt::Key_I), &MainForm::InvertTaggingClick);
    AddAction(m, "Clearalltagging1", msg::MainWindow::Clearalltagging1,
              QKeySequence(Qt::SHIFT | Qt::CTRL | Qt::Key_C), &MainForm::ClearAllTaggingClick);
    AddAction(m, "Selecttaggedrefs1", msg::MainWindow::Selecttaggedrefs1,
              QKeySequence(Qt::SHIFT | Qt::CTRL | Qt::Key_S), &MainForm::SelectTaggedRefsClick);
    AddAction(m, "Tagselected2", msg::MainWindow::Tagselected2, {}, &MainForm::TagSelectedClick);
    AddAction(m, "Locatereferences2", msg::SearchDialog::LocateReferences,
              QKeySequence(Qt::CTRL | Qt::Key_L), &MainForm::LocateReferencesClick)
        ->setIcon(ProgramIcon(IconKind::Locate));
    connect(m, &QMenu::aboutToShow, this, &MainForm::RefreshCommandState);
}

void MainForm::BuildViewMenu() {
    QMenu* m = menuBar()->addMenu(UiText(msg::MainWindow::View1));
    m->setObjectName(QStringLiteral("View1"));
    AddAction(m, "Firstreference1", msg::MainWindow::Firstreference1,
              QKeySequence(Qt::CTRL | Qt::Key_Home), &MainForm::FirstReferenceClick);
    AddAction(m, "Previousreferences1", msg::MainWindow::Previousreferences1,
              QKeySequence(Qt::Key_PageUp), &MainForm::PreviousReferenceClick)
        ->setIcon(ProgramIcon(IconKind::Previous));
    AddAction(m, "Nextreference1", msg::MainWindow::Nextreference1, QKeySequence(Qt::Key_PageDown),
              &MainForm::NextReferenceClick)
        ->setIcon(ProgramIcon(IconKind::Next));
    AddAction(m, "Lastreference1", msg::MainWindow::Lastreference1,
              QKeySequence(Qt::CTRL | Qt::Key_End), &MainForm::LastReferenceClick);
    AddAction(m, "Jumptoreference1", msg::MainWindow::Jumptoreference1,
              QKeySequence(Qt::CTRL | Qt::Key_J), &MainForm::JumpToReferenceClick);
    m->addSeparator();
    AddAction(m, "Scrollonepageup1", msg::MainWindow::Scrollonepageup1,
              QKeySequence(Qt::CTRL | Qt::Key_PageUp), &MainForm::ScrollPageUpClick);
    AddAction(m, "Scrollonepagedown1", msg::MainWindow::Scrollonepagedown1,
              QKeySequence(Qt::CTRL | Qt::Key_PageDown), &MainForm::ScrollPageDownClick);
    m->addSeparator();
    AddAction(m, "Previousreferences2", msg::MainWindow::Previousreferences2,
              QKeySequence(Qt::CTRL | Qt::Key_P), &MainForm::PreviousTaggedClick)
        ->setIcon(ProgramIcon(IconKind::PreviousTagged));
    AddAction(m, "Nextreference2", msg::MainWindow::Nextreference2,
              QKeySequence(Qt::CTRL | Qt::Key_N), &MainForm::NextTaggedClick)
        ->setIcon(ProgramIcon(IconKind::NextTagged));
    m->addSeparator();
    AddAction(m, "Setdisplayorder1", msg::MainWindow::Setdisplayorder1,
              QKeySequence(Qt::SHIFT | Qt::CTRL | Qt::Key_F8), &MainForm::SetDisplayOrderClick);
    QMenu* views = m->addMenu(UiText(msg::MainWindow::ChangeDisplayView));
    views->setObjectName(QStringLiteral("ChangeDisplayView"));
    AddAction(views, "Changeview2", msg::MainWindow::Changeview2, QKeySequence(Qt::Key_F8),
              &MainForm::ChangeViewClick);
    views->addSeparator();
    views_ = new QActionGroup(this);
    for (QAction* a :
         {AddAction(views, "Splitview3", msg::MainWindow::Splitview3, {},
                    &MainForm::CombinedViewClick),
          AddAction(views, "Singlereferenceview3", msg::MainWindow::Singlereferenceview3, {},
                    &MainForm::SingleViewClick),
          AddAction(views, "Listview3", msg::MainWindow::Listview3, {},
                    &MainForm::ListViewClick)}) {
        a->setCheckable(true);
        views_->addAction(a);
    }
    AddAction(m, "Listtaggedonly1", msg::MainWindow::Listtaggedonly1, QKeySequence(Qt::Key_F9),
              &MainForm::ListTaggedOnlyClick)
        ->setCheckable(true);
    actions_["Listtaggedonly1"]->setIcon(ProgramIcon(IconKind::TaggedOnly));
    connect(m, &QMenu::aboutToShow, this, &MainForm::RefreshCommandState);
}

void MainForm::BuildFormatsMenu() {
    QMenu* m = menuBar()->addMenu(UiText(msg::MainWindow::Formats1));
    m->setObjectName(QStringLiteral("Formats1"));
    AddAction(m, "Loadformatfile1", msg::MainWindow::Loadformatfile1, {},
              &MainForm::LoadFormatFileClick);
    AddAction(m, "Applyformattorefheader1", msg::MainWindow::Applyformattorefheader1,
              QKeySequence(Qt::CTRL | Qt::Key_F8), &MainForm::ApplyFormatClick)
        ->setCheckable(true);
    m->addSeparator();
    AddAction(m, "CreateLongformat1", msg::MainWindow::CreateLongformat1,
              QKeySequence(Qt::ALT | Qt::Key_L), &MainForm::CreateLongFormatClick)
        ->setIcon(ProgramIcon(IconKind::LongFormat));
    AddAction(m, "CreateShortformat1", msg::MainWindow::CreateShortformat1,
              QKeySequence(Qt::ALT | Qt::Key_S), &MainForm::CreateShortFormatClick)
        ->setIcon(ProgramIcon(IconKind::ShortFormat));
    AddAction(m, "Createpseudocitation1", msg::MainWindow::Createpseudocitation1,
              QKeySequence(Qt::ALT | Qt::Key_D), &MainForm::CreatePseudoCitationClick)
        ->setIcon(ProgramIcon(IconKind::PseudoCitation));
    m->addSeparator();
    AddAction(m, "Hidefilereference1", msg::MainWindow::Hidefilereference1, {},
              &MainForm::HideFileReferenceClick)
        ->setCheckable(true);
    AddAction(m, "SuppressRTFformat1", msg::MainWindow::SuppressRTFformat1, {},
              &MainForm::SuppressRtfClick)
        ->setCheckable(true);
    AddAction(m, "EnableLaTexprocessing1", msg::MainWindow::EnableLaTexprocessing1, {},
              &MainForm::EnableLatexClick)
        ->setCheckable(true);
    connect(m, &QMenu::aboutToShow, this, &MainForm::RefreshCommandState);
}

// The tools window is not part of this program yet: the menu holds the commands on the active
// window.
void MainForm::BuildToolsMenu() {
    QMenu* m = menuBar()->addMenu(UiText(msg::MainWindow::Tools1));
    m->setObjectName(QStringLiteral("Tools1"));
    AddAction(m, "Sortdisplayorder1", msg::MainWindow::Sortdisplayorder1,
              QKeySequence(Qt::CTRL | Qt::ALT | Qt::Key_O), &MainForm::SortDisplayOrderClick)
        ->setIcon(ProgramIcon(IconKind::SortDisplay));
    connect(m, &QMenu::aboutToShow, this, &MainForm::RefreshCommandState);
}

void MainForm::BuildWindowMenu() {
    windowMenu_ = menuBar()->addMenu(UiText(msg::MainWindow::Window1));
    windowMenu_->setObjectName(QStringLiteral("Window1"));
    QMenu* m = windowMenu_;
    AddAction(m, "WindowCascadeItem", msg::MainWindow::WindowCascadeItem,
              QKeySequence(Qt::CTRL | Qt::Key_F5), &MainForm::CascadeClick);
    AddAction(m, "WindowTileItem", msg::MainWindow::WindowTileItem, {}, &MainForm::TileClick);
    AddAction(m, "WindowMinimizeItem", msg::MainWindow::WindowMinimizeItem, {},
              &MainForm::MinimizeAllClick);
    AddAction(m, "Browse1", msg::MainWindow::Browse1, QKeySequence(Qt::CTRL | Qt::Key_F6),
              &MainForm::BrowseClick);
    connect(m, &QMenu::aboutToShow, this, &MainForm::FillWindowList);
}

void MainForm::BuildToolBars() {
    QToolBar* top = addToolBar(UiText(msg::MainWindow::MainToolBar));
    top->setObjectName(QStringLiteral("MainToolBar"));
    auto addButton = [this](QToolBar* bar, const char* name, const char* action, MsgId hint) {
        QAction* a = actions_.at(action);
        bar->addAction(a);
        QWidget* button = bar->widgetForAction(a);
        button->setObjectName(QString::fromLatin1(name));
        // The button takes its tip from the action whenever the action changes.
        a->setToolTip(UiText(hint));
        button->setAccessibleName(UiText(hint));
    };
    addButton(top, "SP_OpenFile", "FileOpenItem", msg::MainWindow::SpOpenFile);
    addButton(top, "SP_SortDisplayOrder", "Sortdisplayorder1", msg::MainWindow::SpSortDisplayOrder);

    // The view selector: a click moves to the next view, its menu offers all three.
    viewSelect_ = new QToolButton(top);
    viewSelect_->setObjectName(QStringLiteral("SP_ViewSelect"));
    viewSelect_->setToolTip(UiText(msg::MainWindow::SpViewSelect));
    viewSelect_->setAccessibleName(UiText(msg::MainWindow::SpViewSelect));
    viewSelect_->setPopupMode(QToolButton::MenuButtonPopup);
    viewSelect_->setIcon(ProgramIcon(IconKind::ViewCombined));
    auto* viewMenu = new QMenu(viewSelect_);
    viewMenu->setObjectName(QStringLiteral("ViewMenu"));
    const std::pair<const char*, MsgId> entries[] = {
        {"Splitview1", msg::MainWindow::Splitview1},
        {"Singlereferenceview1", msg::MainWindow::Singlereferenceview1},
        {"Listview1", msg::MainWindow::Listview1}};
    const std::array<void (MainForm::*)(), 3> handlers = {
        &MainForm::CombinedViewClick, &MainForm::SingleViewClick, &MainForm::ListViewClick};
    for (std::size_t i = 0; i < handlers.size(); ++i) {
        QAction* a = viewMenu->addAction(UiText(entries[i].second), this, handlers[i]);
        a->setObjectName(QString::fromLatin1(entries[i].first));
        a->setCheckable(true);
    }
    viewSelect_->setMenu(viewMenu);
    connect(viewSelect_, &QToolButton::clicked, this, &MainForm::ChangeViewClick);
    top->addWidget(viewSelect_);
    addButton(top, "SP_ViewOnlyTagged", "Listtaggedonly1", msg::MainWindow::SpViewOnlyTagged);
    addButton(top, "SP_Tag", "Tagreferences1", msg::MainWindow::SpTag);
    addButton(top, "SP_Get", "Getreferences2", msg::MainWindow::SpGet);
    addButton(top, "SP_Locate", "Locatereferences2", msg::MainWindow::SpLocate);

    AddDisplayOrderBox(top);

    refToolBar_ = new QToolBar(UiText(msg::MainWindow::RefToolBar), this);
    refToolBar_->setObjectName(QStringLiteral("RefToolBar"));
    addToolBar(Qt::LeftToolBarArea, refToolBar_);
    addButton(refToolBar_, "SP_PrevRef", "Previousreferences1", msg::MainWindow::SpPrevRef);
    addButton(refToolBar_, "SP_NextRef", "Nextreference1", msg::MainWindow::SpNextRef);
    addButton(refToolBar_, "SP_PrevTagRef", "Previousreferences2", msg::MainWindow::SpPrevTagRef);
    addButton(refToolBar_, "SP_NextTagRef", "Nextreference2", msg::MainWindow::SpNextTagRef);
    addButton(refToolBar_, "SP_CrePseudo", "Createpseudocitation1", msg::MainWindow::SpCrePseudo);
    addButton(refToolBar_, "SP_CreLong", "CreateLongformat1", msg::MainWindow::SpCreLong);
    addButton(refToolBar_, "SP_CreShort", "CreateShortformat1", msg::MainWindow::SpCreShort);
}

// "Display order:" and the box of the seven orders, whose index is the order's kind.
void MainForm::AddDisplayOrderBox(QToolBar* bar) {
    auto* label = new QLabel(UiText(msg::MainWindow::DisplayOrderLabel), bar);
    label->setObjectName(QStringLiteral("LabelDisplayOrder"));
    label->setContentsMargins(8, 0, 4, 0);
    displayOrder_ = new QComboBox(bar);
    displayOrder_->setObjectName(QStringLiteral("CB_DisplayOrder"));
    displayOrder_->setAccessibleName(UiText(msg::MainWindow::DisplayOrderBoxName));
    displayOrder_->setSizeAdjustPolicy(QComboBox::AdjustToContents);
    for (int kind = 0; kind <= static_cast<int>(DisplayOrder::Original); ++kind) {
        displayOrder_->addItem(UiText(msg::SortDisplay::ChoiceAuthor + kind));
    }
    label->setBuddy(displayOrder_);
    displayOrderLabel_ = label;
    // Without a reference window the box shows its last entry, the file's own order.
    displayOrder_->setCurrentIndex(displayOrder_->count() - 1);
    bar->addWidget(label);
    bar->addWidget(displayOrder_);
    connect(displayOrder_, &QComboBox::activated, this, &MainForm::DisplayOrderChange);
}

// The clipboard flags as stored: hiding the file reference means nothing without RTF.
void MainForm::ReadClipboardFlags() {
    const SettingsStore store;
    const bool suppressRtf = store.ReadBool(Setting::SuppressRtf);
    QAction* hide = actions_.at("Hidefilereference1");
    hide->setChecked(!suppressRtf && store.ReadBool(Setting::HideReferencesInPseudoCitations));
    hide->setEnabled(!suppressRtf);
    actions_.at("SuppressRTFformat1")->setChecked(suppressRtf);
    actions_.at("EnableLaTexprocessing1")->setChecked(latex_);
    actions_.at("Applyformattorefheader1")->setChecked(applyFormat_);
}

// ---- State of the commands ----

void MainForm::RefreshCommandState() {
    if (tearingDown_) {
        return;
    }
    RefWinForm* window = ActiveRefWin();
    const bool active = window != nullptr && !window->Busy();
    const bool tagged = active && window->File().TaggedCount() > 0;
    const bool children = !area_->subWindowList().isEmpty();
    for (const char* name : {"AppendThisRefToFile",
                             "Fileinformation1",
                             "reMapfile1",
                             "CopyItem",
                             "Deletecurrentreference1",
                             "Tagbyreferencenumber1",
                             "Toggletagstatus1",
                             "Tagall1",
                             "Inverttagging2",
                             "Clearalltagging1",
                             "Tagselected2",
                             "Firstreference1",
                             "Previousreferences1",
                             "Nextreference1",
                             "Lastreference1",
                             "Jumptoreference1",
                             "Scrollonepageup1",
                             "Scrollonepagedown1",
                             "Changeview2",
                             "Splitview3",
                             "Singlereferenceview3",
                             "Listview3",
                             "CreateLongformat1",
                             "CreateShortformat1",
                             "Createpseudocitation1"}) {
        actions_.at(name)->setEnabled(active);
    }
    for (const char* name :
         {"Getreferences2", "Getnextreference2", "Tagreferences1", "Locatereferences2"}) {
        actions_.at(name)->setEnabled(active);
    }
    for (const char* name : {"Writetaggedreferences1", "Deletetaggedreferences1",
                             "Selecttaggedrefs1", "Previousreferences2", "Nextreference2"}) {
        actions_.at(name)->setEnabled(tagged);
    }
    actions_.at("Compressfile1")->setEnabled(active && window->File().DeletedCount() > 0);
    QAction* taggedOnly = actions_.at("Listtaggedonly1");
    taggedOnly->setEnabled(tagged || (active && window->ListTaggedOnly()));
    taggedOnly->setChecked(active && window->ListTaggedOnly());
    for (const char* name : {"FileCloseItem", "CloseAllwindows1", "WindowCascadeItem",
                             "WindowTileItem", "WindowMinimizeItem", "Browse1"}) {
        actions_.at(name)->setEnabled(children);
    }
    actions_.at("Setdisplayorder1")->setEnabled(active);
    actions_.at("Sortdisplayorder1")->setEnabled(active && !RefWinForm::DisplaySortRunning());
    actions_.at("Createindexfile1")->setEnabled(!IndexingBusy());
    actions_.at("Checkfilestructure1")->setEnabled(active && !checkRunning_);
    displayOrder_->setEnabled(active);
    displayOrderLabel_->setEnabled(active);
    displayOrder_->setCurrentIndex(active ? static_cast<int>(window->File().DisplayKind())
                                          : displayOrder_->count() - 1);
    viewSelect_->setEnabled(active);
    refToolBar_->setEnabled(active);
    if (active) {
        static constexpr std::array<IconKind, 3> kViewIcons = {
            IconKind::ViewCombined, IconKind::ViewSingle, IconKind::ViewList};
        const int view = static_cast<int>(window->ViewKind());
        viewSelect_->setIcon(ProgramIcon(kViewIcons[static_cast<std::size_t>(view)]));
        views_->actions().at(view)->setChecked(true);
        viewSelect_->menu()->actions().at(view)->setChecked(true);
    }
}

// ---- Windows ----

RefWinForm* MainForm::ActiveRefWin() const {
    QMdiSubWindow* sub = area_->activeSubWindow();
    return sub == nullptr ? nullptr : qobject_cast<RefWinForm*>(sub->widget());
}

std::vector<RefWinForm*> MainForm::RefWins() const {
    std::vector<RefWinForm*> windows;
    for (QMdiSubWindow* sub : area_->subWindowList()) {
        if (auto* w = qobject_cast<RefWinForm*>(sub->widget())) {
            windows.push_back(w);
        }
    }
    return windows;
}

RefWinForm* MainForm::WindowOfFile(const std::string& name) {
    for (RefWinForm* w : RefWins()) {
        if (SameFile(w->FileName(), name)) {
            return w;
        }
    }
    return nullptr;
}

void MainForm::Activate(RefWinForm& window) {
    auto* sub = qobject_cast<QMdiSubWindow*>(window.parentWidget());
    if (sub == nullptr) {
        return;
    }
    if (sub->isMinimized()) {
        sub->showNormal();
    }
    area_->setActiveSubWindow(sub);
    window.setFocus();
}

void MainForm::CloseWindowOf(RefWinForm& window) {
    if (auto* sub = qobject_cast<QMdiSubWindow*>(window.parentWidget())) {
        sub->close();
    }
}

// Goes to a requested position (0-based, in the file's own numbering); past the end the user is
// told and the window shows its first reference.
void MainForm::ShowAt(RefWinForm& window, int position) {
    const int count = window.File().RefCount();
    if (position >= count) {
        ShowMessage(this, MessageKind::Warning,
                    UiText(msg::FileOpen::ReferenceBeyondEnd, std::to_string(position + 1),
                           PathArgument(FromUtf8(window.FileName())), std::to_string(count)));
        window.FirstReference();
    } else {
        window.GoToPosition(window.File().AbsoluteToDisplay(position));
    }
}

RefWinForm* MainForm::OpenNewWindow(const std::string& file, int position) {
    auto* window = new RefWinForm(*this);
    window->setAttribute(Qt::WA_DeleteOnClose);
    QMdiSubWindow* sub = area_->addSubWindow(window);
    sub->setWindowTitle(FromUtf8(file));
    sub->setWindowIcon(ProgramIcon(IconKind::Application));
    if (Outcome opened = window->OpenFile(file); !opened) {
        sub->close();
        ShowMessage(this, MessageKind::Error, MessageText(opened.message()));
        return nullptr;
    }
    if (window->File().RefCount() == 0) {
        sub->close();
        ShowMessage(this, MessageKind::Warning,
                    UiText(msg::RefWin::FileEmpty, PathArgument(FromUtf8(file))));
        return nullptr;
    }
    connect(window, &RefWinForm::StateChanged, this, &MainForm::RefreshCommandState);
    connect(window, &RefWinForm::Disconnected, sub, &QMdiSubWindow::close);
    connect(sub, &QObject::destroyed, this, [this] { RefreshCommandState(); });
    // A new window takes the size the user left the last one at; before that, most of the
    // client area, so that its list and reference have room.
    const WindowPosition stored = ReadWindowPosition(SettingsStore(), kRefWinSlot);
    const QSize room = area_->viewport()->size();
    const QSize size = stored.valid && stored.width > 0 && stored.height > 0
                           ? QSize(stored.width, stored.height)
                           : QSize(room.width() * 9 / 10, room.height() * 9 / 10);
    sub->resize(std::max(size.width(), sub->minimumWidth()),
                std::max(size.height(), sub->minimumHeight()));
    if (stored.maximised) {
        sub->showMaximized();
    } else {
        sub->show();
    }
    sub->installEventFilter(this);
    ShowAt(*window, position);
    Activate(*window);
    return window;
}

void MainForm::OpenFileCommand(const std::string& command) {
    const CommandRequest request = ParseCommandString(command);
    if (request.kind != CommandRequest::Kind::OpenFile) {
        // The tools window is not part of this program yet: its requests are taken and dropped.
        return;
    }
    if (RefWinForm* open = WindowOfFile(request.file)) {
        ShowAt(*open, request.position);
        Activate(*open);
    } else if (FileExists(request.file)) {
        OpenNewWindow(request.file, request.position);
    } else {
        ShowMessage(this, MessageKind::Error,
                    UiText(msg::FileOpen::NoSuchFile, PathArgument(FromUtf8(request.file))));
    }
    RefreshCommandState();
}

void MainForm::HandOverReceived(int code, const QString& text) {
    if (isMinimized()) {
        showNormal();
    }
    raise();
    activateWindow();
    const std::string command = ToUtf8(text);
    switch (static_cast<HandOverCode>(code)) {
    case HandOverCode::OpenCommand:
        if (!TrimView(command).empty()) {
            InsertFileNameInMenu(command);
            OpenFileCommand(command);
        }
        break;
    case HandOverCode::RefreshState:
        RefreshCommandState();
        break;
    case HandOverCode::EditFormat:
        ShowMessage(this, MessageKind::Information,
                    UiText(msg::Desktop::NoFormatEditor, PathArgument(text)));
        break;
    }
}

void MainForm::Start(const std::string& commandLine) {
    if (started_) {
        return;
    }
    started_ = true;
    const std::string lastFormat = SettingsStore().ReadText(Setting::LastUsedFormat);
    if (!lastFormat.empty()) {
        LoadGlobalFormat(lastFormat);
    }
    // The files open when the program last ended; those that are gone are skipped silently.
    const std::vector<std::string> reopen = ReadNameList(SettingsStore(), kLastOpenedSection);
    if (!reopen.empty()) {
        SplashForm splash(SplashForm::Mode::LoadingFiles, this);
        splash.show();
        const int step = 100 / (static_cast<int>(reopen.size()) + 1);
        for (const std::string& name : reopen) {
            if (FileExists(TrimBlanks(name))) {
                InsertFileNameInMenu(name);
                splash.Step(step);
                OpenFileCommand(name);
            }
        }
    }
    RestoreWindowPosition();
    if (!commandLine.empty()) {
        HandOverReceived(static_cast<int>(HandOverFor(commandLine).code), FromUtf8(commandLine));
    }
    RefreshCommandState();
}

// ---- Recent files ----

void MainForm::InsertFileNameInMenu(const std::string& command) {
    const std::string name = RecentEntryName(command);
    if (name.empty()) {
        return;
    }
    recent_.Enter(name);
    RebuildRecentMenu();
}

void MainForm::RebuildRecentMenu() {
    for (QAction* a : recentActions_) {
        fileMenu_->removeAction(a);
        a->deleteLater();
    }
    recentActions_.clear();
    if (recent_.Entries().empty()) {
        return;
    }
    if (recentSeparator_ == nullptr) {
        recentSeparator_ = fileMenu_->addSeparator();
    }
    int k = 1;
    for (const std::string& name : recent_.Entries()) {
        auto* a = new QAction(QStringLiteral("&%1 %2").arg(k).arg(FromUtf8(name)), this);
        a->setObjectName(QStringLiteral("RecentFile%1").arg(k));
        connect(a, &QAction::triggered, this, [this, name] {
            InsertFileNameInMenu(name);
            OpenFileCommand(name);
        });
        fileMenu_->addAction(a);
        recentActions_.push_back(a);
        ++k;
    }
}

// ---- Closing and the window's place ----

void MainForm::RestoreWindowPosition() {
    const WindowPosition p = ReadWindowPosition(SettingsStore(), kMainWindowSlot);
    if (p.valid) {
        setGeometry(p.left, p.top, p.width, p.height);
    } else if (const QScreen* screen = this->screen()) {
        // Never placed before: most of the screen, in its middle.
        const QRect free = screen->availableGeometry();
        resize(free.width() * 4 / 5, free.height() * 4 / 5);
        move(free.center() - rect().center());
    }
    if (p.maximised) {
        showMaximized();
    }
}

void MainForm::SaveWindowPosition() {
    SettingsStore store;
    const QRect r = normalGeometry();
    (void)WriteWindowPosition(store, kMainWindowSlot, r.top(), r.left(), r.width(), r.height(),
                              isMaximized());
}

void MainForm::closeEvent(QCloseEvent* event) {
    // The files open now are opened again at the next start, in the order they were opened; with
    // none open, none are, rather than those of some earlier run.
    std::vector<std::string> open;
    for (RefWinForm* w : RefWins()) {
        open.push_back(w->FileName());
    }
    SettingsStore store;
    (void)WriteNameList(store, kLastOpenedSection, open);
    SaveWindowPosition();
    // Nothing more is indexed; the build that runs stops and keeps the index the file had.
    indexQueue_.Clear();
    status_->AbortAndWait();
    area_->closeAllSubWindows();
    event->accept();
}

// ---- Formats ----

void MainForm::LoadGlobalFormat(const std::string& name) {
    ResetFormat(globalFormat_);
    if (Outcome loaded = LoadFormatFile(globalFormat_, name); !loaded) {
        ResetFormat(globalFormat_);
        status_->ShowText(MessageText(loaded.message()));
    }
}

void MainForm::RedisplayAll() {
    for (RefWinForm* w : RefWins()) {
        w->Redisplay(false);
    }
}

// ---- Command handlers ----

void MainForm::FileOpenItemClick() {
    const QString chosen =
        AskReferenceFileName(this, FileDialogTitle(msg::FileOpen::ReferenceFileName));
    if (chosen.isEmpty()) {
        return;
    }
    SettingsStore store;
    (void)SetDefaultDirectory(store, DefaultDirectoryKind::References,
                              ToUtf8(QFileInfo(chosen).absolutePath()));
    const std::string name = ToUtf8(chosen);
    InsertFileNameInMenu(name);
    OpenFileCommand(name);
}

void MainForm::AppendThisRefToFileClick() {
    OnActive([](RefWinForm& w) { w.AppendToFile(false); });
}

void MainForm::WriteTaggedReferencesClick() {
    OnActive([](RefWinForm& w) { w.AppendToFile(true); });
}

void MainForm::FileCloseItemClick() {
    if (QMdiSubWindow* sub = area_->activeSubWindow()) {
        sub->close();
    }
}

void MainForm::CloseAllWindowsClick() {
    area_->closeAllSubWindows();
    RefreshCommandState();
}

void MainForm::FileInformationClick() {
    OnActive([this](RefWinForm& w) {
        FileInfoDlg dialog(w.File(), this);
        RunModal(dialog);
    });
}

// ---- The index queue ----

bool MainForm::IndexingBusy() const {
    return !indexingFile_.empty() || !indexQueue_.Empty();
}

// The fields to index, of the active window's file or of every member of a file group.
void MainForm::CreateIndexFileClick() {
    if (IndexingBusy()) {
        return;
    }
    const RefWinForm* window = ActiveRefWin();
    IndexFileDlg dialog(this);
    dialog.SetFileName(window != nullptr ? window->FileName() : std::string());
    dialog.SetFieldMask(indexMask_);
    if (RunModal(dialog) != QDialog::Accepted || dialog.FieldMask() == 0) {
        return;
    }
    indexMask_ = dialog.FieldMask();
    if (dialog.SingleFileChosen()) {
        indexQueue_.Fill({dialog.FileName()}, indexMask_);
    } else {
        indexQueue_.Fill(FileGroupMembers(SettingsStore(), dialog.GroupName()), indexMask_);
    }
    CheckIfMoreToIndex();
}

void MainForm::CheckIfMoreToIndex() {
    while (!tearingDown_ && indexingFile_.empty()) {
        const std::optional<std::string> next = indexQueue_.TakeNext();
        if (!next || StartIndexing(*next)) {
            break;
        }
    }
    RefreshCommandState();
}

// A file that is gone or holds no references is passed over.
bool MainForm::StartIndexing(const std::string& name) {
    if (!FileExists(name) || FileIsEmpty(*jobFs_, name)) {
        return false;
    }
    RefWinForm* window = WindowOfFile(name);
    indexingDisabled_ = window != nullptr && !window->Busy();
    StatusLine::Operation operation;
    operation.kind = msg::Threads::Indexing;
    operation.text = FromUtf8(BaseName(name));
    operation.work = [fs = jobFs_, name, mask = indexQueue_.FieldMask()](Progress& progress) {
        return CreateWordIndex(*fs, name, mask, &progress);
    };
    operation.finished = [this, name](const Outcome& outcome) { IndexingEnded(name, outcome); };
    if (!status_->RunDual(std::move(operation), indexQueue_.Permille())) {
        return false;
    }
    indexingFile_ = name;
    if (indexingDisabled_) {
        window->SetEnabledByOperation(false);
    }
    return true;
}

// An aborted or failed build left the index the file had.
void MainForm::IndexingEnded(const std::string& name, const Outcome& outcome) {
    indexingFile_.clear();
    if (RefWinForm* window = WindowOfFile(name); window != nullptr && indexingDisabled_) {
        window->SetEnabledByOperation(true);
    }
    indexingDisabled_ = false;
    // After the window showed its reference again, whose status went to the same panel.
    status_->ShowText(
        UiText(outcome ? msg::CreateIDX::IndexingCompleted : msg::CreateIDX::IndexingAborted));
    if (!outcome && !outcome.aborted() && !tearingDown_) {
        ShowMessage(this, MessageKind::Error, MessageText(outcome.message()));
    }
    CheckIfMoreToIndex();
}

// ---- The structure check ----

void MainForm::CheckFileStructureClick() {
    OnActive([this](RefWinForm& w) { StartStructureCheck(w); });
}

void MainForm::StartStructureCheck(RefWinForm& window) {
    if (checkRunning_ || window.File().RefCount() == 0) {
        return;
    }
    SettingsStore store;
    CheckFormatDlg dialog(this);
    dialog.SetScope(store.ReadInt(Setting::CheckType));
    const int answer = RunModal(dialog);
    // The scope is kept however the dialog was closed.
    (void)store.WriteInt(Setting::CheckType, static_cast<int>(dialog.Scope()));
    if (answer != QDialog::Accepted) {
        return;
    }
    const std::shared_ptr<const ReferenceReader> reader = window.File().Reader();
    const auto options = std::make_shared<const JobOptions>(JobOptions::Read(store));
    auto report = std::make_shared<CheckReport>();
    QPointer<RefWinForm> target(&window);
    StatusLine::Operation operation;
    operation.kind = msg::Threads::CheckingStructure;
    operation.work = [reader, options, report, scope = dialog.Scope()](Progress& progress) {
        *report = CheckReferenceStructure(reader, scope, options->JournalCheck(), progress);
        return report->outcome;
    };
    operation.finished = [this, target, file = window.FileName(), reader, report](const Outcome&) {
        checkRunning_ = false;
        StructureCheckEnded(target.data(), file, reader, *report);
    };
    if (!status_->Run(std::move(operation))) {
        return;
    }
    checkRunning_ = true;
    window.SetEnabledByOperation(false);
    RefreshCommandState();
}

// The faulty references become the file's tags, also when none was found; an aborted check
// leaves the tags as they were.
void MainForm::StructureCheckEnded(RefWinForm* window, const std::string& file,
                                   const std::shared_ptr<const ReferenceReader>& checked,
                                   const CheckReport& report) {
    if (window != nullptr) {
        window->SetEnabledByOperation(true);
    }
    if (tearingDown_) {
        return;
    }
    const Outcome& outcome = report.outcome;
    if (outcome.aborted()) {
        status_->ShowText(UiText(msg::CheckFormat::CheckAborted));
        return;
    }
    if (!outcome) {
        ShowMessage(this, MessageKind::Error, MessageText(outcome.message()));
        return;
    }
    const int found = report.faulty.Count();
    ShowMessage(this, MessageKind::Information,
                found == 0   ? UiText(msg::CheckFormat::NoSuspectedProblems)
                : found == 1 ? UiText(msg::CheckFormat::OneSuspected)
                             : UiText(msg::CheckFormat::SomeSuspected, std::to_string(found)));
    if (window == nullptr) {
        // The window was closed meanwhile: the tags go to the file all the same.
        TReferenceFile closed;
        Outcome stored = closed.Open(file);
        if (stored) {
            stored = ReplaceTags(closed, report.faulty, *checked);
        }
        if (!stored) {
            ShowMessage(this, MessageKind::Error, MessageText(stored.message()));
        }
        return;
    }
    const TReferenceFile& shown = window->File();
    if (shown.Reader()->Stamp() != checked->Stamp() || shown.RefCount() != report.references) {
        ShowMessage(this, MessageKind::Error,
                    UiText(msg::Citavox::FileChangedDuringJob, DisplayPath(file)));
        return;
    }
    if (window->ListTaggedOnly()) {
        window->SetListTaggedOnly(false);
    }
    if (found == 0) {
        window->ClearTags();
        window->FirstReference();
    } else {
        // Tags the numbers in file order and goes to the first of them.
        window->TagByNumbers(NumberSequence(report.faulty), true, true);
    }
    RefreshCommandState();
}

// ---- The reference windows' size ----

bool MainForm::eventFilter(QObject* watched, QEvent* event) {
    if ((event->type() == QEvent::Resize || event->type() == QEvent::WindowStateChange) &&
        !tearingDown_) {
        auto* sub = qobject_cast<QMdiSubWindow*>(watched);
        if (sub != nullptr && !sub->isMinimized() && sub->isVisible() &&
            qobject_cast<RefWinForm*>(sub->widget()) != nullptr) {
            SettingsStore store;
            const QRect r = sub->geometry();
            (void)WriteWindowPosition(store, kRefWinSlot, r.top(), r.left(), r.width(), r.height(),
                                      sub->isMaximized());
        }
    }
    return QMainWindow::eventFilter(watched, event);
}

void MainForm::RemapFileClick() {
    OnActive([](RefWinForm& w) { w.Remap(); });
}

void MainForm::CompressFileClick() {
    OnActive([](RefWinForm& w) { w.Compress(); });
}

void MainForm::CopyItemClick() {
    if (ActiveRefWin() == nullptr) {
        Beep();
        return;
    }
    OnActive([](RefWinForm& w) { w.CopyText(); });
}

void MainForm::DeleteCurrentReferenceClick() {
    OnActive([](RefWinForm& w) { w.DeleteCurrent(); });
}

void MainForm::DeleteTaggedReferencesClick() {
    OnActive([](RefWinForm& w) { w.DeleteTagged(); });
}

void MainForm::GetReferencesClick() {
    OnActive([](RefWinForm& w) { w.AskFindOrTag(false); });
}

// Without a find to repeat, the user is asked for one.
void MainForm::GetNextReferenceClick() {
    OnActive([](RefWinForm& w) {
        if (!w.FindNext()) {
            w.AskFindOrTag(false);
        }
    });
}

void MainForm::TagReferencesClick() {
    OnActive([](RefWinForm& w) { w.AskFindOrTag(true); });
}

void MainForm::LocateReferencesClick() {
    OnActive([](RefWinForm& w) { w.LocateReferences(); });
}

void MainForm::TagByReferenceNumberClick() {
    OnActive([this](RefWinForm& w) {
        SettingsStore store;
        SingleInputDlg dialog(this);
        dialog.SetInputForm(SingleInputDlg::ByNumbers);
        dialog.SetUseOriginalOrder(store.ReadBool(Setting::OriginalTagNumber));
        dialog.SetClearPrevious(store.ReadBool(Setting::ClearBeforeTag));
        if (RunModal(dialog) != QDialog::Accepted) {
            return;
        }
        (void)store.WriteBool(Setting::OriginalTagNumber, dialog.UseOriginalOrder());
        (void)store.WriteBool(Setting::ClearBeforeTag, dialog.ClearPrevious());
        if (!dialog.Text().isEmpty()) {
            w.TagByNumbers(ToCp1252(dialog.Text()), dialog.UseOriginalOrder(),
                           dialog.ClearPrevious());
        }
    });
}

void MainForm::ToggleTagStatusClick() {
    OnActive([](RefWinForm& w) { w.ToggleTagOfSelection(); });
}

void MainForm::TagAllClick() {
    OnActive([](RefWinForm& w) { w.TagAll(); });
}

void MainForm::InvertTaggingClick() {
    OnActive([](RefWinForm& w) { w.InvertTags(); });
}

void MainForm::ClearAllTaggingClick() {
    OnActive([](RefWinForm& w) { w.ClearTags(); });
}

void MainForm::SelectTaggedRefsClick() {
    OnActive([](RefWinForm& w) { w.SelectTagged(); });
}

void MainForm::TagSelectedClick() {
    OnActive([](RefWinForm& w) { w.TagSelected(); });
}

void MainForm::FirstReferenceClick() {
    OnActive([](RefWinForm& w) { w.FirstReference(); });
}

// With Ctrl held down the buttons go to the ends of the file.
void MainForm::PreviousReferenceClick() {
    const bool toEnd = QApplication::keyboardModifiers().testFlag(Qt::ControlModifier);
    OnActive([toEnd](RefWinForm& w) { toEnd ? w.FirstReference() : w.PreviousReference(); });
}

void MainForm::NextReferenceClick() {
    const bool toEnd = QApplication::keyboardModifiers().testFlag(Qt::ControlModifier);
    OnActive([toEnd](RefWinForm& w) { toEnd ? w.LastReference() : w.NextReference(); });
}

void MainForm::LastReferenceClick() {
    OnActive([](RefWinForm& w) { w.LastReference(); });
}

void MainForm::JumpToReferenceClick() {
    OnActive([this](RefWinForm& w) {
        SettingsStore store;
        SingleInputDlg dialog(this);
        dialog.SetInputForm(SingleInputDlg::Jump);
        dialog.SetUseOriginalOrder(store.ReadBool(Setting::OriginalJump));
        if (RunModal(dialog) != QDialog::Accepted) {
            return;
        }
        (void)store.WriteBool(Setting::OriginalJump, dialog.UseOriginalOrder());
        if (!dialog.Text().isEmpty()) {
            w.JumpTo(ToCp1252(dialog.Text()), dialog.UseOriginalOrder());
        }
    });
}

void MainForm::ScrollPageUpClick() {
    OnActive([](RefWinForm& w) { w.ScrollPage(true); });
}

void MainForm::ScrollPageDownClick() {
    OnActive([](RefWinForm& w) { w.ScrollPage(false); });
}

void MainForm::PreviousTaggedClick() {
    OnActive([](RefWinForm& w) { w.PreviousTagged(); });
}

void MainForm::NextTaggedClick() {
    OnActive([](RefWinForm& w) { w.NextTagged(); });
}

// Combined, single reference, list, and round again.
void MainForm::ChangeViewClick() {
    OnActive([](RefWinForm& w) {
        w.ChangeView(static_cast<RefWinForm::View>((static_cast<int>(w.ViewKind()) + 1) % 3));
    });
}

void MainForm::CombinedViewClick() {
    OnActive([](RefWinForm& w) { w.ChangeView(RefWinForm::Combined); });
}

void MainForm::SingleViewClick() {
    OnActive([](RefWinForm& w) { w.ChangeView(RefWinForm::SingleReference); });
}

void MainForm::ListViewClick() {
    OnActive([](RefWinForm& w) { w.ChangeView(RefWinForm::List); });
}

void MainForm::ListTaggedOnlyClick() {
    OnActive([](RefWinForm& w) { w.SetListTaggedOnly(!w.ListTaggedOnly()); });
}

void MainForm::SetDisplayOrderClick() {
    if (displayOrder_->isEnabled()) {
        displayOrder_->setFocus();
        displayOrder_->showPopup();
    } else {
        SortDisplayOrderClick();
    }
}

void MainForm::SortDisplayOrderClick() {
    OnActive([](RefWinForm& w) { w.SortDisplayOrder(); });
}

// With Shift held down every reference window takes the order, otherwise the active one; the
// order the active window shows afterwards is remembered for the next files opened.
void MainForm::DisplayOrderChange(int index) {
    RefWinForm* active = ActiveRefWin();
    if (active == nullptr || index < 0) {
        return;
    }
    const auto kind = static_cast<DisplayOrder>(index);
    const bool everyWindow = (QApplication::keyboardModifiers() & Qt::ShiftModifier) != 0;
    DisplayOrder shown = kind;
    for (RefWinForm* w : everyWindow ? RefWins() : std::vector<RefWinForm*>{active}) {
        if (!w->Busy()) {
            const DisplayOrder took = w->SetDisplayOrder(kind);
            if (w == active) {
                shown = took;
            }
        }
    }
    SettingsStore store;
    (void)store.WriteInt(Setting::SortType, static_cast<int>(shown));
    RefreshCommandState();
    active->FocusDisplay();
}

void MainForm::LoadFormatFileClick() {
    SettingsStore store;
    const FileDialogSetup setup = PrepareFileDialog(
        store, FileKind::Format, DefaultDirectoryKind::Formats, {FileKind::Format});
    const QString chosen = AskOpenFileName(this, FileDialogTitle(msg::FileOpen::FormatFileName),
                                           FromUtf8(setup.initialDirectory), DialogFilter(setup));
    if (chosen.isEmpty()) {
        return;
    }
    TFormatDesc loaded;
    if (Outcome r = LoadFormatFile(loaded, ToUtf8(chosen)); !r) {
        ShowMessage(this, MessageKind::Error, MessageText(r.message()));
        return;
    }
    globalFormat_ = loaded;
    (void)store.WriteText(Setting::LastUsedFormat, ToUtf8(chosen));
    (void)store.WriteText(Setting::LastEditedFormat, ToUtf8(chosen));
    RedisplayAll();
}

void MainForm::ApplyFormatClick() {
    applyFormat_ = !applyFormat_;
    SettingsStore store;
    (void)store.WriteBool(Setting::UseFormat, applyFormat_);
    actions_.at("Applyformattorefheader1")->setChecked(applyFormat_);
    RedisplayAll();
}

void MainForm::CreateLongFormatClick() {
    OnActive([](RefWinForm& w) { w.CreateLongFormat(); });
}

void MainForm::CreateShortFormatClick() {
    OnActive([](RefWinForm& w) { w.CreateShortFormat(); });
}

void MainForm::CreatePseudoCitationClick() {
    OnActive([](RefWinForm& w) { w.CreatePseudoCitations(); });
}

void MainForm::HideFileReferenceClick() {
    SettingsStore store;
    (void)store.WriteBool(Setting::HideReferencesInPseudoCitations,
                          !store.ReadBool(Setting::HideReferencesInPseudoCitations));
    ReadClipboardFlags();
}

void MainForm::SuppressRtfClick() {
    SettingsStore store;
    (void)store.WriteBool(Setting::SuppressRtf, !store.ReadBool(Setting::SuppressRtf));
    ReadClipboardFlags();
}

void MainForm::EnableLatexClick() {
    latex_ = !latex_;
    SettingsStore store;
    (void)store.WriteBool(Setting::EnabledLatex, latex_);
    ReadClipboardFlags();
}

void MainForm::FileExitItemClick() {
    close();
}

void MainForm::CascadeClick() {
    area_->cascadeSubWindows();
    arrangement_ = 2;
}

void MainForm::TileClick() {
    area_->tileSubWindows();
    arrangement_ = 1;
}

void MainForm::MinimizeAllClick() {
    const QList<QMdiSubWindow*> subs = area_->subWindowList();
    for (auto it = subs.rbegin(); it != subs.rend(); ++it) {
        (*it)->showMinimized();
    }
    arrangement_ = 3;
}

void MainForm::BrowseClick() {
    area_->activateNextSubWindow();
    if (QMdiSubWindow* sub = area_->activeSubWindow()) {
        sub->widget()->setFocus();
    }
}

// The list of open windows at the end of the Window menu, the active one checked.
void MainForm::FillWindowList() {
    for (QAction* a : windowListActions_) {
        windowMenu_->removeAction(a);
        a->deleteLater();
    }
    windowListActions_.clear();
    const QList<QMdiSubWindow*> subs = area_->subWindowList();
    if (subs.isEmpty()) {
        return;
    }
    windowListActions_.push_back(windowMenu_->addSeparator());
    int k = 1;
    for (QMdiSubWindow* sub : subs) {
        QAction* a =
            windowMenu_->addAction(QStringLiteral("&%1 %2").arg(k++).arg(sub->windowTitle()));
        a->setCheckable(true);
        a->setChecked(sub == area_->activeSubWindow());
        connect(a, &QAction::triggered, this, [this, sub] {
            if (sub->isMinimized()) {
                sub->showNormal();
            }
            area_->setActiveSubWindow(sub);
        });
        windowListActions_.push_back(a);
    }
}

void MainForm::ContentsClick() {
    ShowHelp(this, 0);
}

void MainForm::AboutClick() {
    SplashForm about(SplashForm::Mode::About, this);
    RunModal(about);
}

} // namespace cvx
