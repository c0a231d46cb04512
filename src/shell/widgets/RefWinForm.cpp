#include "shell/widgets/RefWinForm.h"

#include "documents/PseudoCitation.h"
#include "documents/widgets/CreatePCsForm.h"
#include "formats/RenderJob.h"
#include "refstore/ReferenceJobs.h"
#include "refstore/widgets/ReferenceLinePainter.h"
#include "search/HitMarks.h"
#include "search/IndexedSearch.h"
#include "search/SearchFile.h"
#include "search/widgets/LocateDlg.h"
#include "search/widgets/TagDlg.h"
#include "settings/SettingsStore.h"
#include "shell/ClipboardText.h"
#include "shell/ReferenceQuestion.h"
#include "shell/widgets/ClipboardWriter.h"
#include "shell/widgets/DialogSeams.h"
#include "shell/widgets/DisplayStyle.h"
#include "shell/widgets/PickFileDlg.h"
#include "shell/widgets/RefWinServices.h"
#include "shell/widgets/ReferenceLineDelegate.h"
#include "shell/widgets/ReferenceListModel.h"
#include "shell/widgets/ReferenceListView.h"
#include "shell/widgets/RichEditDA.h"
#include "shell/widgets/StatusLine.h"
#include "text/FileNames.h"
#include "text/Markup.h"
#include "text/StringPrimitives.h"
#include "text/widgets/QtText.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDateTime>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QLabel>
#include <QMenu>
#include <QPointer>
#include <QPushButton>
#include <QSplitter>
#include <QUrl>
#include <QVBoxLayout>

#include <algorithm>

namespace cvx {

namespace {

// The detail panel and the list each need this width to be worth showing; the list keeps this
// much when the splitter would squeeze it.
constexpr int kNarrowest = 200;
constexpr int kListKeeps = 300;
// The window's timer: the detail follows a selection this long after its last change.
constexpr int kSelectionSettleMs = 250;
// A file changed outside is read again once it has been quiet this long.
constexpr int kWatchSettleMs = 300;

// "Interface\\Resort always": 0 (or unset) never sort again after a change, 2 when the file holds
// fewer references than "Resort limit" (a limit of 9 or less counts as unset).
constexpr int kResortNever = 0;
constexpr int kResortBelowLimit = 2;
constexpr int kSmallestResortLimit = 9;
constexpr int kDefaultResortLimit = 2000;

std::string Number(int n) {
    return std::to_string(n);
}

// The part of a "short|long" hint before the bar, and after it.
QString HintPart(const QString& hint, bool longPart) {
    const qsizetype bar = hint.indexOf(QLatin1Char('|'));
    if (bar < 0) {
        return hint;
    }
    return longPart ? hint.mid(bar + 1) : hint.left(bar);
}

// The words of the last search of any reference window, which every window's displays mark
// (main thread only).
SearchHits& HitsOfProgram() {
    static SearchHits hits;
    return hits;
}

// The paragraph code a header starts with, so that it is set as the format's layout says.
std::string ParagraphCode(int layout) {
    switch (layout) {
    case 1:
        return "#%";
    case 2:
        return "#&";
    default:
        return std::string("#") + '\xA4';
    }
}

} // namespace

RefWinForm::RefWinForm(RefWinServices& services, QWidget* parent)
    : QWidget(parent), services_(services), selection_(0) {
    setObjectName(QStringLiteral("RefWinForm"));
    setAttribute(Qt::WA_DeleteOnClose);
    BuildControls();
    BuildPopupMenu();
    winRefTimer_.setObjectName(QStringLiteral("WinRefTimer"));
    winRefTimer_.setInterval(kSelectionSettleMs);
    winRefTimer_.setSingleShot(true);
    connect(&winRefTimer_, &QTimer::timeout, this, &RefWinForm::TimerTick);
    watchTimer_.setInterval(kWatchSettleMs);
    watchTimer_.setSingleShot(true);
    connect(&watchTimer_, &QTimer::timeout, this, &RefWinForm::FileChangedOnDisk);
    connect(&watcher_, &QFileSystemWatcher::fileChanged, this, [this] { watchTimer_.start(); });
    SettingsStore store;
    const int stored = store.ReadInt(Setting::ViewType);
    view_ = stored >= Combined && stored <= List ? static_cast<View>(stored) : Combined;
    ApplyView();
    UpdateTagCount();
}

RefWinForm::~RefWinForm() {
    // The list reads the file; it lets go of it before the file goes.
    list_->setModel(nullptr);
}

// ---- Building ----

void RefWinForm::BuildControls() {
    auto* top = new QHBoxLayout;
    top->setContentsMargins(2, 2, 2, 2);
    auto panel = [this](const char* name, MsgId hint) {
        auto* label = new QLabel(this);
        label->setObjectName(QString::fromLatin1(name));
        label->setFrameShape(QFrame::StyledPanel);
        label->setMargin(2);
        label->setToolTip(UiText(hint));
        return label;
    };
    refNumb_ = panel("PANEL_RefNumb", msg::RefWinForm::RefNumbHint);
    tagInfo_ = panel("PANEL_TagInfo", msg::RefWinForm::TagInfoHint);
    locWinMsg_ = new QFrame(this);
    locWinMsg_->setObjectName(QStringLiteral("LocWinMsg"));
    locWinMsg_->setFrameShape(QFrame::StyledPanel);
    auto* msgLayout = new QHBoxLayout(locWinMsg_);
    msgLayout->setContentsMargins(2, 0, 2, 0);
    message_ = new QLabel(locWinMsg_);
    message_->setObjectName(QStringLiteral("LocWinMsgText"));
    selectionCount_ = new QLabel(locWinMsg_);
    selectionCount_->setObjectName(QStringLiteral("PANEL_SelectionCount"));
    selectionCount_->hide();
    bupIdString_ = new QLabel(locWinMsg_);
    bupIdString_->setObjectName(QStringLiteral("PANEL_BupIdString"));
    bupIdString_->setTextFormat(Qt::PlainText);
    msgLayout->addWidget(message_, 1);
    msgLayout->addWidget(selectionCount_);
    msgLayout->addWidget(bupIdString_, 2);
    absRefNumb_ = panel("PANEL_AbsRefNumb", msg::RefWinForm::AbsRefNumbHint);
    top->addWidget(refNumb_);
    top->addWidget(tagInfo_);
    top->addWidget(locWinMsg_, 1);
    top->addWidget(absRefNumb_);

    // The detail panel: tag area, the three displays and the link bar.
    singleRef_ = new QFrame(this);
    singleRef_->setObjectName(QStringLiteral("PANEL_SingleRef"));
    singleRef_->setAccessibleName(UiText(msg::RefWinForm::DetailPanelName));
    auto* detail = new QVBoxLayout(singleRef_);
    detail->setContentsMargins(0, 0, 0, 0);
    auto* tagArea = new QFrame(singleRef_);
    tagArea->setObjectName(QStringLiteral("PANEL_TagStatus"));
    auto* tagLayout = new QHBoxLayout(tagArea);
    tagLayout->setContentsMargins(2, 0, 2, 0);
    image_ = new QLabel(tagArea);
    image_->setObjectName(QStringLiteral("Image1"));
    image_->setAccessibleName(UiText(msg::RefWinForm::StatusImageName));
    tagBox_ = new QCheckBox(UiText(msg::RefWinForm::CheckBoxTag), tagArea);
    tagBox_->setObjectName(QStringLiteral("CheckBox_TAG"));
    // Only the user's clicks change the tag; the window sets the box without a signal of that kind.
    connect(tagBox_, &QCheckBox::clicked, this, &RefWinForm::SetCurrentTag);
    tagLayout->addWidget(image_);
    tagLayout->addWidget(tagBox_);
    tagLayout->addStretch(1);
    auto display = [this](const char* name, MsgId accessible) {
        auto* edit = new RichEditDA(singleRef_);
        edit->setObjectName(QString::fromLatin1(name));
        edit->setReadOnly(true);
        edit->setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
        edit->setAccessibleName(UiText(accessible));
        edit->setContextMenuPolicy(Qt::CustomContextMenu);
        connect(edit, &QWidget::customContextMenuRequested, this,
                [this, edit](const QPoint& at) { popup_->popup(edit->mapToGlobal(at)); });
        return edit;
    };
    idString_ = display("RTF_Idstring", msg::RefWinForm::IdStringName);
    idString_->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    header_ = display("RTF_Header", msg::RefWinForm::HeaderName);
    abstract_ = display("RTF_Abstract", msg::RefWinForm::AbstractName);
    urlPanel_ = new QWidget(singleRef_);
    urlPanel_->setObjectName(QStringLiteral("URLPanel"));
    auto* urlLayout = new QHBoxLayout(urlPanel_);
    urlLayout->setContentsMargins(0, 0, 0, 0);
    urlList_ = new QComboBox(urlPanel_);
    urlList_->setObjectName(QStringLiteral("CB_URLList"));
    urlList_->setToolTip(UiText(msg::RefWinForm::UrlListHint));
    urlList_->setAccessibleName(UiText(msg::RefWinForm::UrlListHint));
    goUrl_ = new QPushButton(UiText(msg::RefWinForm::GoUrl), urlPanel_);
    goUrl_->setObjectName(QStringLiteral("BTN_GoURL"));
    connect(goUrl_, &QPushButton::clicked, this, [this] {
        const QString link = urlList_->currentText();
        if (!link.isEmpty()) {
            OpenExternally(link.startsWith(QLatin1Char('/')) ? QUrl::fromLocalFile(link)
                                                             : QUrl::fromUserInput(link));
        }
    });
    urlLayout->addWidget(urlList_, 1);
    urlLayout->addWidget(goUrl_);
    urlPanel_->hide();
    detail->addWidget(tagArea);
    detail->addWidget(idString_);
    detail->addWidget(header_, 3);
    detail->addWidget(abstract_, 2);
    detail->addWidget(urlPanel_);

    // The list panel.
    multiRefs_ = new QFrame(this);
    multiRefs_->setObjectName(QStringLiteral("PANEL_MultiRefs"));
    auto* listLayout = new QVBoxLayout(multiRefs_);
    listLayout->setContentsMargins(0, 0, 0, 0);
    list_ = new ReferenceListView(multiRefs_);
    list_->setObjectName(QStringLiteral("SingleLineDisplay"));
    list_->setAccessibleName(UiText(msg::RefWinForm::ListName));
    model_ = new ReferenceListModel(this);
    delegate_ = new ReferenceLineDelegate(this);
    delegate_->SetSearchHits(&HitsOfProgram());
    list_->setModel(model_);
    list_->setItemDelegate(delegate_);
    list_->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(list_, &QWidget::customContextMenuRequested, this,
            [this](const QPoint& at) { popup_->popup(list_->viewport()->mapToGlobal(at)); });
    connect(list_->selectionModel(), &QItemSelectionModel::selectionChanged, this,
            &RefWinForm::SelectionChanged);
    connect(list_, &ReferenceListView::TagToggleRequested, this, &RefWinForm::ListTagToggle);
    connect(list_, &ReferenceListView::RowActivated, this, &RefWinForm::RowActivated);
    connect(list_, &ReferenceListView::AuthorSearchKey, this, &RefWinForm::AuthorSearchKey);
    connect(list_, &ReferenceListView::ReferencesDropped, this,
            [this](const QByteArray& texts) { AppendDropped(texts.toStdString()); });
    listLayout->addWidget(list_);

    splitter_ = new QSplitter(Qt::Horizontal, this);
    splitter_->setObjectName(QStringLiteral("Splitter1"));
    splitter_->setChildrenCollapsible(false);
    splitter_->addWidget(singleRef_);
    splitter_->addWidget(multiRefs_);
    splitter_->setStretchFactor(1, 1);
    connect(splitter_, &QSplitter::splitterMoved, this, &RefWinForm::SplitterMoved);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addLayout(top);
    layout->addWidget(splitter_, 1);
}

// The popup menu of every display. Its shortcuts are the main window's, shown here as a reminder;
// the menu itself does not take them.
void RefWinForm::BuildPopupMenu() {
    popup_ = new QMenu(this);
    popup_->setObjectName(QStringLiteral("RefWinPopupMenu"));
    auto item = [this](const char* name, MsgId caption, const QKeySequence& keys,
                       void (RefWinForm::*slot)()) {
        QAction* action = popup_->addAction(UiText(caption));
        action->setObjectName(QString::fromLatin1(name));
        action->setShortcut(keys);
        action->setShortcutContext(Qt::WidgetShortcut);
        connect(action, &QAction::triggered, this, slot);
    };
    item("Createpseudocitation1", msg::RefWinForm::PopupPseudo, QKeySequence(Qt::ALT | Qt::Key_D),
         &RefWinForm::CreatePseudoCitations);
    item("Createshortformat1", msg::RefWinForm::PopupShort, QKeySequence(Qt::ALT | Qt::Key_S),
         &RefWinForm::CreateShortFormat);
    item("CreateLongformat1", msg::RefWinForm::PopupLong, QKeySequence(Qt::ALT | Qt::Key_L),
         &RefWinForm::CreateLongFormat);
    item("Toggletagstatus1", msg::RefWinForm::PopupToggle,
         QKeySequence(Qt::SHIFT | Qt::CTRL | Qt::Key_T), &RefWinForm::ToggleTagOfSelection);
    item("Getnextreference1", msg::RefWinForm::PopupGetNext, QKeySequence(Qt::Key_F3),
         &RefWinForm::GetNextReference);
    popup_->addSeparator();
    suppressSorting_ = popup_->addAction(UiText(msg::RefWinForm::PopupSuppressSorting));
    suppressSorting_->setObjectName(QStringLiteral("SuppresConditionalDisplaySorting"));
    suppressSorting_->setCheckable(true);
    connect(suppressSorting_, &QAction::triggered, this,
            &RefWinForm::SuppressConditionalSortingClick);
    // The check mark shows the rule as the windows apply it (unset is never), which another
    // window may have changed.
    connect(popup_, &QMenu::aboutToShow, this, [this] {
        suppressSorting_->setChecked(SettingsStore().ReadInt(Setting::ResortAlways) ==
                                     kResortNever);
    });
}

// Switches between never sorting again after a change and sorting small files again.
void RefWinForm::SuppressConditionalSortingClick() {
    SettingsStore store;
    const bool suppressed = store.ReadInt(Setting::ResortAlways) == kResortNever;
    if (suppressed) {
        const int limit = store.ReadInt(Setting::ResortLimit);
        (void)store.WriteInt(Setting::ResortAlways, kResortBelowLimit);
        (void)store.WriteInt(Setting::ResortLimit,
                             limit > kSmallestResortLimit ? limit : kDefaultResortLimit);
    } else {
        (void)store.WriteInt(Setting::ResortAlways, kResortNever);
    }
}

// ---- Opening ----

Outcome RefWinForm::OpenFile(const std::string& name) {
    SettingsStore store;
    display_ = std::make_shared<const JobOptions>(JobOptions::Read(store));
    list_->hide();
    if (Outcome opened = OpenReferenceFile(file_, name, &services_.Status().GeneralProgress(),
                                           display_->displayOrder);
        !opened) {
        return opened;
    }
    model_->Attach(&file_, display_->JournalCheck());
    delegate_->SetLargestNumber(model_->LargestNumber());
    list_->show();
    RestyleWindow();
    UpdateTagCount();
    ResetSelection();
    Redisplay(true);
    WatchFile();
    return Outcome::Ok();
}

void RefWinForm::WatchFile() {
    if (!watcher_.files().isEmpty()) {
        watcher_.removePaths(watcher_.files());
    }
    watcher_.addPath(FromUtf8(file_.FileName()));
    RememberStamp();
}

void RefWinForm::RememberStamp() {
    const QFileInfo info(FromUtf8(file_.FileName()));
    knownSize_ = info.exists() ? info.size() : -1;
    knownTime_ = info.exists() ? info.lastModified().toMSecsSinceEpoch() : -1;
}

// Another program (the command line, another instance) changed or removed the file: the window
// maps it anew and shows where it was, or lets it go when it is gone.
void RefWinForm::FileChangedOnDisk() {
    const QString path = FromUtf8(file_.FileName());
    const QFileInfo info(path);
    if (!info.exists()) {
        Disconnect(
            Outcome::Error(Msg(msg::RefWin::FileDisconnected, DisplayPath(file_.FileName()))));
        return;
    }
    // An editor that replaces the file drops it from the watcher.
    if (!watcher_.files().contains(path)) {
        watcher_.addPath(path);
    }
    if (info.size() == knownSize_ && info.lastModified().toMSecsSinceEpoch() == knownTime_) {
        return;
    }
    if (blocked_) {
        return; // the operation that writes it maps it when it ends
    }
    const int position = file_.CurrentPosition();
    if (Outcome refreshed = file_.Refresh(); !refreshed) {
        Disconnect(refreshed);
        return;
    }
    Reshow(position);
    ShowMessage(UiText(msg::RefWinForm::FileChanged));
}

void RefWinForm::Fail(const Outcome& outcome) {
    cvx::ShowMessage(this, MessageKind::Error, cvx::MessageText(outcome.message()));
}

void RefWinForm::Disconnect(const Outcome& why) {
    watcher_.removePaths(watcher_.files());
    if (!why.message().empty()) {
        Fail(why);
    }
    emit Disconnected();
}

// ---- Moving ----

int RefWinForm::RowCount() const {
    return model_->rowCount();
}

int RefWinForm::CurrentRow() const {
    return model_->Rows().RowOf(file_.CurrentPosition());
}

bool RefWinForm::Move(const Outcome& moved) {
    if (!moved) {
        Disconnect(moved);
        return false;
    }
    return true;
}

void RefWinForm::GoToPosition(int position) {
    if (file_.VisibleCount() == 0) {
        return;
    }
    if (Move(file_.GoTo(std::clamp(position, 0, file_.VisibleCount() - 1)))) {
        Redisplay(true);
    }
}

void RefWinForm::NextReference() {
    const int row = CurrentRow();
    if (row < 0 || row + 1 >= RowCount()) {
        Beep();
        return;
    }
    GoToPosition(model_->Rows().PositionOf(row + 1));
}

void RefWinForm::PreviousReference() {
    const int row = CurrentRow();
    if (row <= 0) {
        Beep();
        return;
    }
    GoToPosition(model_->Rows().PositionOf(row - 1));
}

void RefWinForm::FirstReference() {
    if (RowCount() > 0) {
        GoToPosition(model_->Rows().PositionOf(0));
    }
}

void RefWinForm::LastReference() {
    if (RowCount() > 0) {
        GoToPosition(model_->Rows().PositionOf(RowCount() - 1));
    }
}

// The next tagged reference in display order (direction 1) or the previous one (-1), round past
// the end with a beep.
void RefWinForm::StepToTagged(int direction) {
    const int count = file_.VisibleCount();
    if (file_.TaggedCount() == 0 || count == 0) {
        Beep();
        return;
    }
    const int from = file_.CurrentPosition();
    for (int step = 1; step <= count; ++step) {
        const int position = ((from + direction * step) % count + count) % count;
        if (file_.IsTagged(file_.DisplayToAbsolute(position))) {
            if ((position - from) * direction <= 0) {
                Beep();
            }
            GoToPosition(position);
            return;
        }
    }
}

void RefWinForm::NextTagged() {
    StepToTagged(1);
}

void RefWinForm::PreviousTagged() {
    StepToTagged(-1);
}

void RefWinForm::GoToFirstTagged() {
    const int count = file_.VisibleCount();
    for (int position = 0; position < count; ++position) {
        if (file_.IsTagged(file_.DisplayToAbsolute(position))) {
            GoToPosition(position);
            return;
        }
    }
}

// A reference number as the user types it: a list position, or with `originalOrder` the
// reference's number in the file.
void RefWinForm::JumpTo(const std::string& text, bool originalOrder) {
    const std::string trimmed = TrimBlanks(text);
    const bool digits =
        !trimmed.empty() && trimmed.size() <= 9 &&
        std::all_of(trimmed.begin(), trimmed.end(), [](char c) { return c >= '0' && c <= '9'; });
    const int number = digits ? std::stoi(trimmed) : 0;
    const int limit = originalOrder ? file_.RefCount() : RowCount();
    if (number < 1 || number > limit) {
        cvx::ShowMessage(this, MessageKind::Error,
                         UiText(msg::RefWin::NotReferenceNumber, trimmed));
        return;
    }
    if (originalOrder) {
        const int position = file_.AbsoluteToDisplay(number - 1);
        if (position < 0) {
            cvx::ShowMessage(this, MessageKind::Error,
                             UiText(msg::RefWin::NotReferenceNumber, trimmed));
            return;
        }
        GoToPosition(position);
    } else {
        GoToPosition(model_->Rows().PositionOf(number - 1));
    }
}

void RefWinForm::ScrollPage(bool up) {
    if (view_ == SingleReference) {
        return;
    }
    list_->ScrollPage(up);
}

// ---- Views and orders ----

void RefWinForm::ChangeView(View view) {
    view_ = view;
    SettingsStore store;
    (void)store.WriteInt(Setting::ViewType, static_cast<int>(view));
    ApplyView();
    winRefTimer_.start();
    emit StateChanged();
}

void RefWinForm::ApplyView() {
    singleRef_->setVisible(view_ != List);
    multiRefs_->setVisible(view_ != SingleReference);
    bupIdString_->setVisible(view_ == List);
    if (view_ == Combined) {
        SettingsStore store;
        const int width = std::max(kNarrowest, store.ReadInt(Setting::SingleDisplayWidth));
        splitter_->setSizes({width, std::max(kListKeeps, splitter_->width() - width)});
    }
    if (file_.IsOpen()) {
        Redisplay(view_ != SingleReference);
    }
}

// The splitter decides the view when one side becomes too narrow to be of use.
void RefWinForm::SplitterMoved() {
    const QList<int> sizes = splitter_->sizes();
    if (sizes.size() != 2 || view_ != Combined) {
        return;
    }
    const int detail = sizes[0];
    const int listWidth = sizes[1];
    if (detail < kNarrowest) {
        ChangeView(List);
        return;
    }
    if (listWidth < kNarrowest) {
        ChangeView(SingleReference);
        return;
    }
    if (listWidth < kListKeeps) {
        splitter_->setSizes({detail - (kListKeeps - listWidth), kListKeeps});
    }
    SettingsStore store;
    (void)store.WriteInt(Setting::SingleDisplayWidth, splitter_->sizes()[0]);
}

DisplayOrder RefWinForm::SetDisplayOrder(DisplayOrder kind) {
    const int position = file_.CurrentPosition();
    if (Outcome set = file_.SetDisplayOrder(kind); !set) {
        Fail(set);
    }
    Reshow(file_.CurrentPosition() >= 0 ? file_.CurrentPosition() : position);
    emit StateChanged();
    return file_.DisplayKind();
}

namespace {

// Only one display sort runs at a time, in whichever window started it (main thread only).
bool displaySortRunning = false;

} // namespace

bool RefWinForm::DisplaySortRunning() {
    return displaySortRunning;
}

void RefWinForm::ResortOrShowOriginal() {
    if (!file_.IsOpen()) {
        return;
    }
    if (file_.RefCount() > 0 && !displaySortRunning &&
        ResortAfterChange(SettingsStore(), file_.RefCount())) {
        SortDisplayOrder();
        return;
    }
    (void)file_.SetDisplayOrder(DisplayOrder::Original);
    Reshow(file_.CurrentPosition());
    emit StateChanged();
}

void RefWinForm::FocusDisplay() {
    if (isEnabled() && isVisible()) {
        if (idString_->isVisible()) {
            idString_->setFocus();
        } else {
            list_->setFocus();
        }
    }
}

void RefWinForm::SortDisplayOrder() {
    if (displaySortRunning || !file_.IsOpen() || file_.RefCount() == 0) {
        return;
    }
    // The thread reads the text version the window shows now; the window keeps its own cursor.
    const std::shared_ptr<const ReferenceReader> reader = file_.Reader();
    const DisplaySortOptions options = display_->DisplaySort();
    auto report = std::make_shared<DisplaySortReport>();
    const DisplayOrder savedOrder = file_.DisplayKind();
    const int savedReference = file_.CurrentIndex();
    QPointer<RefWinForm> self(this);
    StatusLine::Operation operation;
    operation.kind = msg::Threads::DisplaySorting;
    operation.text = UiText(msg::SortDisplay::SortingDisplay);
    operation.work = [reader, options, report](Progress& progress) {
        *report = SortDisplayOrders(FileSystem::Default(), reader, options, progress);
        return report->outcome;
    };
    operation.finished = [self, report, savedOrder, savedReference](const Outcome&) {
        displaySortRunning = false;
        if (self) {
            self->DisplaySortEnded(*report, savedOrder, savedReference);
        }
    };
    if (!services_.Status().Run(std::move(operation))) {
        return;
    }
    displaySortRunning = true;
    winRefTimer_.stop();
    blocked_ = true;
    setEnabled(false);
    emit StateChanged();
}

// On the main thread when the display sort ended: the window takes the new orders and offers to
// tag the suspected duplicates.
void RefWinForm::DisplaySortEnded(const DisplaySortReport& report, DisplayOrder savedOrder,
                                  int savedReference) {
    blocked_ = false;
    setEnabled(true);
    const Outcome& outcome = report.outcome;
    const QString ended = UiText(outcome ? msg::SortDisplay::DisplaySortingCompleted
                                         : msg::SortDisplay::DisplaySortingAborted);
    services_.Status().ShowText(ended);
    if (!outcome && !outcome.aborted()) {
        Fail(outcome);
    }
    bool toFirstTagged = false;
    const int found = outcome ? report.duplicates.Count() : 0;
    if (found > 0) {
        const std::string name = DisplayPath(file_.FileName());
        const QString question =
            found == 1 ? UiText(msg::RefWin::SortFoundOneDuplicate, name, Number(1))
                       : UiText(msg::RefWin::SortFoundDuplicates, name, Number(found));
        if (cvx::ShowMessage(this, MessageKind::Question, question,
                             QMessageBox::Yes | QMessageBox::No) == QMessageBox::Yes) {
            const std::shared_ptr<const ReferenceReader> reader = file_.Reader();
            if (Outcome tagged = ReplaceTags(file_, report.duplicates, *reader); !tagged) {
                Fail(tagged);
            } else {
                toFirstTagged = true;
            }
        }
    }
    // The original order gives way to the order the user chose last.
    const DisplayOrder order = savedOrder == DisplayOrder::Original
                                   ? JobOptions::Read(SettingsStore()).displayOrder
                                   : savedOrder;
    (void)file_.SetDisplayOrder(order);
    if (file_.TaggedOnly() && file_.TaggedCount() == 0) {
        (void)file_.SetTaggedOnly(false);
    }
    Reshow(file_.AbsoluteToDisplay(std::clamp(savedReference, 0, file_.RefCount() - 1)));
    if (toFirstTagged) {
        GoToFirstTagged();
    }
    // Showing the reference put its status in the panel; the sort's result is what counts now.
    services_.Status().ShowText(ended);
    emit StateChanged();
}

void RefWinForm::SetListTaggedOnly(bool on) {
    if (!file_.SetTaggedOnly(on) && on) {
        Beep();
    }
    Reshow(file_.CurrentPosition());
    emit StateChanged();
}

// ---- Showing ----

void RefWinForm::Reshow(int position) {
    model_->Reload();
    delegate_->SetLargestNumber(model_->LargestNumber());
    selection_ = RefSet(RowCount());
    if (file_.VisibleCount() > 0) {
        if (!Move(file_.GoTo(std::clamp(position, 0, file_.VisibleCount() - 1)))) {
            return;
        }
    }
    ResetSelection();
    UpdateTagCount();
    Redisplay(true);
    RememberStamp();
}

void RefWinForm::Redisplay(bool listFollow) {
    urlList_->clear();
    urlPanel_->hide();
    const int rows = RowCount();
    const int row = CurrentRow();
    refNumb_->setText(
        UiText(msg::RefWin::CountOfTotal, Number(rows > 0 ? row + 1 : 0), Number(rows)));
    absRefNumb_->setVisible(file_.DisplayKind() != DisplayOrder::Original);
    absRefNumb_->setText(UiText(msg::RefWin::APrefix, Number(file_.CurrentIndex() + 1)));
    if (!file_.IsOpen() || file_.RefCount() == 0) {
        idString_->clear();
        header_->clear();
        abstract_->clear();
        return;
    }
    const bool tagged = file_.IsTagged(file_.CurrentIndex());
    tagBox_->setChecked(tagged);
    QFont idFont = idString_->font();
    idFont.setBold(tagged);
    QPalette idPalette = idString_->palette();
    idPalette.setColor(QPalette::Text, tagged ? QColor(Qt::red) : palette().color(QPalette::Text));
    idString_->setPalette(idPalette);
    idString_->SetTextStyle(idFont, idPalette.color(QPalette::Text));
    if (view_ == List) {
        bupIdString_->setText(FromCp1252(CodesToPlainText(file_.IdentificationString())));
    } else {
        ShowDetail();
    }
    if (listFollow && view_ != SingleReference) {
        FollowList();
    }
}

void RefWinForm::ShowDetail() {
    const SearchHits& hits = HitsOfProgram();
    std::vector<std::string> links;
    idString_->LoadMarkedUpText(MarkHits(file_.IdentificationString(), hits), &links);
    ShowStatusOf(file_.CurrentPosition());
    const bool present = file_.PresentSet().Test(file_.CurrentIndex());
    header_->setVisible(present);
    abstract_->setVisible(present);
    if (present) {
        header_->LoadMarkedUpText(MarkHits(HeaderText(), hits), &links);
        const std::string& abstractPart = file_.AbstractPart();
        abstract_->LoadMarkedUpText(TrimBlanks(abstractPart).empty()
                                        ? Message(msg::RefWin::NoComments)
                                        : MarkHits(abstractPart, hits),
                                    &links);
    }
    for (const std::string& link : links) {
        urlList_->addItem(FromCp1252(link));
    }
    urlList_->model()->sort(0);
    if (urlList_->count() > 0) {
        urlList_->setCurrentIndex(0);
        urlPanel_->show();
    }
}

// The reference proper, or with the format applied its long form in the global format.
std::string RefWinForm::HeaderText() {
    const TFormatDesc& format = services_.GlobalFormat();
    if (services_.ApplyFormat()) {
        std::string rendered;
        if (RenderStoredReference(file_, file_.CurrentIndex() + 1, format, true,
                                  RenderOutput::Codes, display_->Render(), rendered)) {
            return ParagraphCode(format.record.paragraphStyle) + rendered;
        }
    }
    return ParagraphCode(0) + file_.ReferenceProper();
}

void RefWinForm::ShowStatusOf(int position) {
    const RefStatus status = file_.Status(position);
    const QString hint = UiText(msg::RefWin::StatusCorrect + static_cast<int>(status));
    const int size = tagBox_->sizeHint().height();
    image_->setPixmap(StatusImage(status, size, devicePixelRatioF()));
    image_->setToolTip(HintPart(hint, false));
    image_->setAccessibleDescription(HintPart(hint, true));
    services_.Status().ShowText(HintPart(hint, false));
}

void RefWinForm::UpdateTagCount() {
    const int tagged = file_.IsOpen() ? file_.TaggedCount() : 0;
    const int total = file_.IsOpen() ? file_.RefCount() : 0;
    tagInfo_->setText(UiText(msg::RefWin::TaggedCount, Number(tagged), Number(total)));
    QPalette colours = tagInfo_->palette();
    colours.setColor(QPalette::WindowText,
                     tagged > 0 ? QColor(Qt::red) : palette().color(QPalette::WindowText));
    tagInfo_->setPalette(colours);
}

void RefWinForm::ShowMessage(const QString& text) {
    message_->setText(text);
}

QString RefWinForm::MessageText() const {
    return message_->text();
}

void RefWinForm::RestyleWindow() {
    SettingsStore store;
    const DisplayStyle style = DisplayStyle::Read(store, QApplication::font());
    const std::array<RichEditDA*, 3> displays = {idString_, header_, abstract_};
    for (std::size_t slot = 0; slot < displays.size(); ++slot) {
        QPalette colours = displays[slot]->palette();
        if (style.backgrounds[slot]) {
            colours.setColor(QPalette::Base, *style.backgrounds[slot]);
        }
        const QColor text = style.textColours[slot].value_or(palette().color(QPalette::Text));
        colours.setColor(QPalette::Text, text);
        displays[slot]->setPalette(colours);
        displays[slot]->SetTextStyle(style.fonts[slot], text);
        displays[slot]->SetHitColours(style.showHits, style.getHit, style.tagHit);
    }
    const QFontMetrics metrics(style.Font(DisplaySlot::IdString));
    idString_->setFixedHeight(2 * metrics.lineSpacing() + 2 * idString_->frameWidth() + 8);
    delegate_->SetFont(style.Font(DisplaySlot::List));
    delegate_->SetHitColours(style.showHits, style.getHit, style.tagHit);
    delegate_->SetLargestNumber(model_->LargestNumber());
    constexpr auto kList = static_cast<std::size_t>(DisplaySlot::List);
    if (style.backgrounds[kList]) {
        QPalette colours = list_->palette();
        colours.setColor(QPalette::Base, *style.backgrounds[kList]);
        list_->setPalette(colours);
    }
    list_->doItemsLayout();
    if (file_.IsOpen()) {
        Redisplay(false);
    }
}

// ---- The list and its selection ----

void RefWinForm::FollowList() {
    const int row = CurrentRow();
    if (row < 0) {
        return;
    }
    const QModelIndex index = model_->index(row);
    followingList_ = true;
    list_->selectionModel()->setCurrentIndex(index, QItemSelectionModel::ClearAndSelect);
    list_->scrollTo(index);
    followingList_ = false;
    selectionCount_->hide();
}

void RefWinForm::ResetSelection() {
    selection_ = RefSet(RowCount());
    const int row = std::max(0, CurrentRow());
    if (RowCount() == 0) {
        list_->selectionModel()->clear();
        return;
    }
    followingList_ = true;
    list_->selectionModel()->setCurrentIndex(model_->index(row),
                                             QItemSelectionModel::ClearAndSelect);
    followingList_ = false;
    selectionCount_->hide();
}

void RefWinForm::SelectionChanged(const QItemSelection& selected,
                                  const QItemSelection& deselected) {
    if (selection_.Size() != RowCount()) {
        selection_ = RefSet(RowCount());
    }
    for (const QItemSelectionRange& range : deselected) {
        for (int row = range.top(); row <= range.bottom(); ++row) {
            selection_.Clear(row);
        }
    }
    for (const QItemSelectionRange& range : selected) {
        for (int row = range.top(); row <= range.bottom(); ++row) {
            selection_.Set(row);
        }
    }
    if (followingList_) {
        return;
    }
    // The row the user chose last: the current one when it is selected, else the last one the
    // change selected.
    const int current = list_->currentIndex().row();
    lastSelectedRow_ = current >= 0 && selection_.Test(current) ? current
                       : !selected.isEmpty()                    ? selected.last().top()
                                                                : current;
    winRefTimer_.start();
}

// The selection settled: the count is shown and the detail follows the row chosen last.
void RefWinForm::TimerTick() {
    const int count = selection_.Count();
    selectionCount_->setVisible(count != 1);
    selectionCount_->setText(UiText(msg::RefWin::SelectedCount, Number(count)));
    if (lastSelectedRow_ >= 0 && lastSelectedRow_ < RowCount()) {
        const int position = model_->Rows().PositionOf(lastSelectedRow_);
        lastSelectedRow_ = -1;
        if (!Move(file_.GoTo(position))) {
            return;
        }
    }
    Redisplay(false);
    emit StateChanged();
}

void RefWinForm::ListTagToggle(int row) {
    const int absolute = model_->AbsoluteOf(row);
    if (absolute < 0) {
        return;
    }
    if (!file_.PresentSet().Test(absolute)) {
        Beep();
        return;
    }
    file_.TaggedSet().Toggle(absolute);
    TagsChanged(file_.TaggedOnly());
}

void RefWinForm::RowActivated(int row) {
    if (!Move(file_.GoTo(model_->Rows().PositionOf(row)))) {
        return;
    }
    Redisplay(false);
    SettingsStore store;
    if (store.ReadInt(Setting::ListViewDoubleClick) == 1) {
        CreatePseudoCitations();
    }
}

// ---- Tagging ----

// Every change of the tags ends here: they are saved, the list and the panels follow, and an
// emptied tagged-only list shows every reference again.
void RefWinForm::TagsChanged(bool rowsChange) {
    if (Outcome saved = file_.SaveTags(); !saved) {
        Fail(saved);
    }
    if (file_.TaggedOnly() && file_.TaggedCount() == 0) {
        file_.SetTaggedOnly(false);
        rowsChange = true;
    }
    if (rowsChange) {
        Reshow(file_.CurrentPosition());
    } else {
        model_->TagsChanged();
        UpdateTagCount();
        Redisplay(false);
    }
    emit StateChanged();
}

void RefWinForm::SetCurrentTag(bool tagged) {
    const int current = file_.CurrentIndex();
    if (!file_.IsOpen() || file_.RefCount() == 0) {
        tagBox_->setChecked(false);
        return;
    }
    if (tagged && !file_.PresentSet().Test(current)) {
        Beep();
        tagBox_->setChecked(false);
        file_.TaggedSet().Clear(current);
        return;
    }
    file_.TaggedSet().SetTo(current, tagged);
    TagsChanged(file_.TaggedOnly());
}

void RefWinForm::ToggleTagOfSelection() {
    const std::vector<int> rows = selection_.Members();
    if (rows.empty()) {
        if (CurrentRow() >= 0) {
            ListTagToggle(CurrentRow());
        }
        return;
    }
    const bool untag = file_.IsTagged(model_->AbsoluteOf(rows.front()));
    for (const int row : rows) {
        const int absolute = model_->AbsoluteOf(row);
        file_.TaggedSet().SetTo(absolute, !untag && file_.PresentSet().Test(absolute));
    }
    if (untag && file_.TaggedOnly() && file_.TaggedCount() > 0) {
        (void)file_.GoTo(model_->Rows().PositionOf(rows.front()));
    }
    TagsChanged(file_.TaggedOnly());
}

// Every reference changes its tag; deleted references stay untagged, as they can never be tagged.
void RefWinForm::InvertTags() {
    file_.TaggedSet().Complement();
    file_.DropDeletedFromSets();
    ShowMessage({});
    TagsChanged(file_.TaggedOnly());
}

void RefWinForm::ClearTags() {
    file_.SetTaggedOnly(false);
    file_.TaggedSet().ClearAll();
    ShowMessage({});
    TagsChanged(true);
}

void RefWinForm::TagAll() {
    QWidget* focus = QApplication::focusWidget();
    const bool textFocus = focus == idString_ || focus == header_ || focus == abstract_;
    if (textFocus) {
        static_cast<RichEditDA*>(focus)->selectAll();
        return;
    }
    file_.TaggedSet().ClearAll();
    file_.TaggedSet().Complement();
    file_.DropDeletedFromSets();
    TagsChanged(file_.TaggedOnly());
}

void RefWinForm::TagSelected() {
    for (const int row : selection_.Members()) {
        const int absolute = model_->AbsoluteOf(row);
        if (file_.PresentSet().Test(absolute)) {
            file_.TaggedSet().Set(absolute);
        }
    }
    TagsChanged(file_.TaggedOnly());
}

void RefWinForm::SelectTagged() {
    QItemSelection rows;
    for (int row = 0; row < RowCount(); ++row) {
        if (file_.IsTagged(model_->AbsoluteOf(row))) {
            const int first = row;
            while (row + 1 < RowCount() && file_.IsTagged(model_->AbsoluteOf(row + 1))) {
                ++row;
            }
            rows.select(model_->index(first), model_->index(row));
        }
    }
    followingList_ = true;
    list_->selectionModel()->select(rows, QItemSelectionModel::ClearAndSelect);
    followingList_ = false;
    winRefTimer_.start();
}

void RefWinForm::TagByNumbers(const std::string& text, bool originalOrder, bool clearFirst) {
    if (Outcome tagged = file_.TagSequence(text, originalOrder, clearFirst); !tagged) {
        Fail(tagged);
        return;
    }
    TagsChanged(file_.TaggedOnly());
    GoToFirstTagged();
}

// ---- Searching ----

namespace {

// The last find of any reference window, which FindNext repeats.
struct LastFind {
    std::string expression;
    bool indexed = false;
};
LastFind& LastFindOfProgram() {
    static LastFind last;
    return last;
}

} // namespace

bool RefWinForm::Search(const std::string& expression, SearchMode mode, bool indexed) {
    SearchResult result;
    Progress* progress = &services_.Status().GeneralProgress();
    const Outcome searched =
        indexed ? IndexedSearch(file_, expression, mode, display_->thesaurus, progress, result)
                : SearchFile(file_, expression, mode, SettingsStore().ReadBool(Setting::NoDiac),
                             progress, result);
    if (!searched) {
        Fail(searched);
    }
    // Every window's displays mark what this search found, or nothing after it found nothing.
    HitsOfProgram().Record(mode, result, searched.ok());
    list_->viewport()->update();
    const bool found = searched.ok() && result.found;
    if (found && mode == SearchMode::Get && result.wrapped) {
        Beep(); // the reference found lies before the one the search started from
    }
    const MsgId said = !found                    ? msg::RefWin::NoReferencesFound
                       : mode == SearchMode::Tag ? msg::RefWin::TaggedWith
                                                 : msg::RefWin::FoundUsing;
    ShowMessage(UiText(said, expression));
    return found;
}

void RefWinForm::FindOrTag(bool tag, const std::string& expression, bool indexed) {
    const std::string trimmed = TrimBlanks(expression);
    if (trimmed.empty() || !file_.IsOpen()) {
        Beep();
        return;
    }
    services_.History().PushHistory(tag ? HistoryList::TagStrings : HistoryList::GetStrings,
                                    trimmed);
    if (tag) {
        (void)Search(trimmed, SearchMode::Tag, indexed);
        TagsChanged(file_.TaggedOnly());
        GoToFirstTagged();
        return;
    }
    LastFindOfProgram() = {trimmed, indexed};
    if (Search(trimmed, SearchMode::Get, indexed) && file_.TaggedOnly() &&
        !file_.IsTagged(file_.CurrentIndex())) {
        // The reference found is not in the tagged-only list: the list shows all again.
        Beep();
        file_.SetTaggedOnly(false);
    }
    Reshow(file_.CurrentPosition());
}

// Typing in the list looks for an author: the name grows in the status line, Return finds the
// next reference by that author (the last name again when nothing was typed).
void RefWinForm::AuthorSearchKey(int key, const QString& text) {
    const QString prefix = UiText(msg::RefWin::SearchAuthorName);
    switch (key) {
    case Qt::Key_Escape:
        typedAuthor_.clear();
        services_.Status().ShowText({});
        return;
    case Qt::Key_Backspace:
        typedAuthor_.chop(1);
        break;
    case Qt::Key_Return: {
        if (!typedAuthor_.isEmpty()) {
            lastAuthorSearch_ = typedAuthor_;
        }
        typedAuthor_.clear();
        if (lastAuthorSearch_.isEmpty()) {
            if (CurrentRow() >= 0) {
                RowActivated(CurrentRow());
            }
            return;
        }
        (void)Search("AU(" + ToCp1252(lastAuthorSearch_) + ")", SearchMode::Get, false);
        Reshow(file_.CurrentPosition());
        return;
    }
    default:
        typedAuthor_ += text;
        break;
    }
    services_.Status().ShowText(prefix + typedAuthor_);
}

void RefWinForm::AskFindOrTag(bool tag) {
    const HistoryList list = tag ? HistoryList::TagStrings : HistoryList::GetStrings;
    TagDlg& dialog = services_.SearchDialog();
    dialog.setWindowTitle(UiText(tag ? msg::RefWin::TagReferences : msg::RefWin::GetReference));
    dialog.SetExpressions(services_.History().Entries(list));
    dialog.PrepareForFile(file_);
    if (cvx::RunModal(dialog) != QDialog::Accepted) {
        Beep();
        return;
    }
    // Entries the user removed in the dialog stay removed.
    HistoryLists& history = services_.History();
    history.ClearHistory(list);
    const std::vector<std::string> kept = dialog.Expressions();
    for (auto it = kept.rbegin(); it != kept.rend(); ++it) {
        history.PushHistory(list, *it);
    }
    FindOrTag(tag, dialog.Expression(), dialog.UseIndexedSearch());
}

void RefWinForm::LocateReferences() {
    if (!file_.IsOpen()) {
        return;
    }
    LocateDlg dialog(file_, *this, display_->JournalCheck(), this);
    if (!dialog.PrepareLocate()) {
        return;
    }
    dialog.UpdateLocateCounts();
    const bool display = cvx::RunModal(dialog) == QDialog::Accepted;
    TagsChanged(file_.TaggedOnly());
    const int chosen = dialog.SelectedReference();
    if (!display || chosen < 0) {
        return;
    }
    if (file_.AbsoluteToDisplay(chosen) < 0) {
        // The reference chosen is not in the tagged-only list: the list shows all again.
        file_.SetTaggedOnly(false);
        Reshow(file_.CurrentPosition());
    }
    GoToPosition(file_.AbsoluteToDisplay(chosen));
}

TagDlg& RefWinForm::SearchDialog() {
    return services_.SearchDialog();
}

HistoryLists& RefWinForm::History() {
    return services_.History();
}

Progress& RefWinForm::GeneralProgress() {
    return services_.Status().GeneralProgress();
}

int RefWinForm::RunModal(QDialog& dialog) {
    return cvx::RunModal(dialog);
}

QMessageBox::StandardButton RefWinForm::AskYesNoCancel(const QString& text) {
    return cvx::ShowMessage(this, MessageKind::Warning, text,
                            QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel,
                            QMessageBox::Yes);
}

void RefWinForm::Locate(const std::string& expression, bool indexed) {
    (void)Search(expression, SearchMode::Locate, indexed);
}

bool RefWinForm::FindNext() {
    const LastFind last = LastFindOfProgram();
    if (last.expression.empty()) {
        return false;
    }
    FindOrTag(false, last.expression, last.indexed);
    return true;
}

void RefWinForm::GetNextReference() {
    if (!FindNext()) {
        AskFindOrTag(false);
    }
}

// ---- Copying ----

void RefWinForm::CopyText() {
    QWidget* focus = QApplication::focusWidget();
    if (focus == idString_ || focus == header_ || focus == abstract_) {
        auto* display = static_cast<RichEditDA*>(focus);
        if (display->textCursor().hasSelection()) {
            display->copy();
        } else {
            Beep();
        }
        return;
    }
    if (CurrentRow() < 0) {
        Beep();
        return;
    }
    PutRenderedOnClipboard(true);
}

void RefWinForm::CreateLongFormat() {
    PutRenderedOnClipboard(true);
}

void RefWinForm::CreateShortFormat() {
    PutRenderedOnClipboard(false);
}

void RefWinForm::PutRenderedOnClipboard(bool longForm) {
    if (!file_.IsOpen() || file_.RefCount() == 0) {
        Beep();
        return;
    }
    std::string text;
    if (Outcome rendered =
            RenderStoredReference(file_, file_.CurrentIndex() + 1, services_.GlobalFormat(),
                                  longForm, RenderOutput::Codes, display_->Render(), text);
        !rendered) {
        Fail(rendered);
        return;
    }
    PutOnClipboard(ClipboardForms(text, TextEncoding::Cp1252, services_.LatexEnabled(),
                                  display_->clipboard.suppressRtf));
}

void RefWinForm::CreatePseudoCitations() {
    if (!file_.IsOpen() || file_.RefCount() == 0) {
        Beep();
        return;
    }
    CreatePCsForm dialog(file_.TaggedCount(), this);
    if (RunModal(dialog) != QDialog::Accepted) {
        return;
    }
    std::vector<int> numbers;
    if (dialog.ForTagged()) {
        for (const int absolute : file_.TaggedSet().Members()) {
            numbers.push_back(absolute + 1);
        }
    } else {
        numbers.push_back(file_.CurrentIndex() + 1);
    }
    const RenderOptions options = display_->Render();
    std::vector<PseudoCitationRequest> requests;
    for (const int number : numbers) {
        PseudoCitationRequest request;
        request.file = file_.FileName();
        request.number = number;
        request.option = dialog.Option();
        request.optionText = dialog.OptionText();
        request.firstInGroup = dialog.FirstInGroup();
        request.skipEnclosure = dialog.SkipEnclosure();
        if (!LabelOfReference(file_, number, options, request.label)) {
            request.label.clear();
        }
        requests.push_back(std::move(request));
    }
    std::string text;
    const Outcome built = BuildPseudoCitations(requests, display_->clipboard.hideReferences, text);
    if (!built) {
        Fail(built);
        services_.Status().ShowText(UiText(msg::RefWin::PseudoCitationsFailed));
        return;
    }
    PutOnClipboard(ClipboardForms(text, TextEncoding::Utf8, services_.LatexEnabled(),
                                  display_->clipboard.suppressRtf));
    services_.Status().ShowText(UiText(msg::RefWin::CreatedPseudoCitations));
}

// ---- Changing the file ----

namespace {

// Write-protected: we may not write it, or nobody may (which binds the superuser too, by intent).
bool WriteProtected(const QFileInfo& info) {
    constexpr QFileDevice::Permissions kAnyWrite =
        QFileDevice::WriteOwner | QFileDevice::WriteGroup | QFileDevice::WriteOther;
    return info.exists() && (!info.isWritable() || (info.permissions() & kAnyWrite) == 0);
}

} // namespace

bool RefWinForm::Writable() {
    const QFileInfo info(FromUtf8(file_.FileName()));
    if (WriteProtected(info)) {
        cvx::ShowMessage(this, MessageKind::Information,
                         UiText(msg::FileOpen::FileReadOnly, DisplayPath(file_.FileName())));
        return false;
    }
    return true;
}

std::vector<std::string> RefWinForm::Descriptions(const std::vector<int>& absolute) const {
    std::vector<std::string> descriptions;
    const RenderOptions options = display_->Render();
    for (const int index : absolute) {
        if (static_cast<int>(descriptions.size()) >= kDescribedReferences) {
            break;
        }
        std::string label;
        if (LabelOfReference(file_, index + 1, options, label)) {
            descriptions.push_back(ReferenceDescription(label));
        }
    }
    return descriptions;
}

void RefWinForm::DeleteCurrent() {
    if (!file_.IsOpen() || file_.RefCount() == 0 || !Writable()) {
        return;
    }
    const int current = file_.CurrentIndex();
    const std::string question =
        DescribedQuestion(Message(msg::RefWin::DeleteCurrentReference), Descriptions({current}), 1);
    if (cvx::ShowMessage(this, MessageKind::Question, cvx::MessageText(question),
                         QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel) !=
        QMessageBox::Yes) {
        return;
    }
    const int position = file_.CurrentPosition();
    if (Outcome deleted = DeleteReferences(file_, {current + 1}); !deleted) {
        Fail(deleted);
    }
    Reshow(position);
    emit StateChanged();
}

void RefWinForm::DeleteTagged() {
    const int tagged = file_.TaggedCount();
    if (tagged == 0 || !Writable()) {
        return;
    }
    const std::string name = DisplayPath(file_.FileName());
    const std::string question =
        tagged == 1 ? Msg(msg::RefWin::DeleteReferenceQuestion, name)
                    : Msg(msg::RefWin::DeleteReferencesQuestion, Number(tagged), name);
    const std::vector<int> members = file_.TaggedSet().Members();
    if (cvx::ShowMessage(
            this, MessageKind::Question,
            cvx::MessageText(DescribedQuestion(question, Descriptions(members), tagged)),
            QMessageBox::Yes | QMessageBox::No) != QMessageBox::Yes) {
        return;
    }
    const int position = file_.CurrentPosition();
    (void)file_.SetDisplayOrder(DisplayOrder::Original);
    int deleted = 0;
    if (Outcome done = DeleteTaggedReferences(file_, deleted); !done) {
        Fail(done);
    }
    Reshow(position);
    services_.Status().ShowText(UiText(msg::Desktop::DeletingCompleted));
    ResortOrShowOriginal();
}

void RefWinForm::Compress() {
    if (!file_.IsOpen() || !Writable()) {
        return;
    }
    if (cvx::ShowMessage(this, MessageKind::Question, UiText(msg::RefWin::CompressQuestion),
                         QMessageBox::Yes | QMessageBox::No) != QMessageBox::Yes) {
        return;
    }
    file_.SetProgress(&services_.Status().GeneralProgress());
    const Outcome compressed = file_.Compress();
    file_.SetProgress(nullptr);
    if (!compressed) {
        Fail(compressed);
    } else {
        services_.Status().ShowText(UiText(msg::Desktop::CompressingCompleted));
    }
    Reshow(0);
    emit StateChanged();
    if (compressed && ResortAfterChange(SettingsStore(), file_.RefCount())) {
        SortDisplayOrder();
    }
}

void RefWinForm::AppendToFile(bool tagged) {
    if (!file_.IsOpen() || file_.RefCount() == 0 || (tagged && file_.TaggedCount() == 0)) {
        Beep();
        return;
    }
    HistoryLists& history = services_.History();
    // The pick list browses for a destination itself when its history holds none yet.
    PickFileDlg dialog(history, this);
    dialog.ShowPickFiles(tagged);
    if (RunModal(dialog) != QDialog::Accepted || dialog.Text().isEmpty()) {
        return;
    }
    const std::string destination = ToUtf8(dialog.Text());
    if (QFileInfo(dialog.Text())
            .absoluteFilePath()
            .compare(QFileInfo(FromUtf8(file_.FileName())).absoluteFilePath(),
                     Qt::CaseInsensitive) == 0) {
        cvx::ShowMessage(this, MessageKind::Error, UiText(msg::FileOpen::CannotCopyBack));
        return;
    }
    history.PushHistory(HistoryList::PickFile, destination);
    if (WriteProtected(QFileInfo(dialog.Text()))) {
        cvx::ShowMessage(this, MessageKind::Information,
                         UiText(msg::FileOpen::FileReadOnly, DisplayPath(destination)));
        return;
    }
    RefWinForm* receiver = services_.WindowOfFile(destination);
    if (receiver != nullptr) {
        receiver->SetEnabledByOperation(false);
    }
    const int position = file_.CurrentPosition();
    int appended = 0;
    const Outcome done = AppendReferences(file_, destination,
                                          tagged ? ReferenceScope::Tagged : ReferenceScope::Current,
                                          file_.CurrentIndex() + 1, appended);
    if (receiver != nullptr) {
        receiver->SetEnabledByOperation(true);
        receiver->ResortOrShowOriginal();
    }
    if (!done) {
        Fail(done);
    }
    // The job moved this file's cursor to the reference it appended.
    if (file_.VisibleCount() > 0) {
        (void)file_.GoTo(position);
    }
    Redisplay(true);
}

// Reference texts dragged from another window's list are appended to this file.
void RefWinForm::AppendDropped(const std::string& texts) {
    if (texts.empty() || !Writable()) {
        return;
    }
    int count = 0;
    for (std::size_t at = texts.find("\r\n\r\n"); at != std::string::npos;
         at = texts.find("\r\n\r\n", at + 4)) {
        ++count;
    }
    const std::string name = DisplayPath(file_.FileName());
    const std::string question =
        count == 1 ? Msg(msg::RefWin::AppendReferenceQuestion, name)
                   : Msg(msg::RefWin::AppendReferencesQuestion, Number(count), name);
    if (cvx::ShowMessage(this, MessageKind::Question, cvx::MessageText(question),
                         QMessageBox::Yes | QMessageBox::No) != QMessageBox::Yes) {
        return;
    }
    const int position = file_.CurrentPosition();
    if (Outcome appended = file_.AppendText(texts); !appended) {
        Fail(appended);
    }
    Reshow(position);
    ResortOrShowOriginal();
}

void RefWinForm::Remap() {
    if (Outcome refreshed = file_.Refresh(); !refreshed) {
        Disconnect(refreshed);
        return;
    }
    Reshow(0);
    emit StateChanged();
}

void RefWinForm::SetEnabledByOperation(bool enabled) {
    blocked_ = !enabled;
    setEnabled(enabled);
    if (enabled && file_.IsOpen()) {
        const int position = file_.CurrentPosition();
        if (Outcome refreshed = file_.Refresh(); !refreshed) {
            Disconnect(refreshed);
            return;
        }
        Reshow(position);
    }
    emit StateChanged();
}

} // namespace cvx
