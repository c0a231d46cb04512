#include "search/widgets/LocateDlg.h"

#include "refstore/ReferenceFile.h"
#include "search/widgets/LocateServices.h"
#include "search/widgets/TagDlg.h"
#include "settings/SettingsStore.h"
#include "settings/WindowPositions.h"
#include "text/Markup.h"
#include "text/Progress.h"
#include "text/StringPrimitives.h"
#include "text/widgets/QtText.h"

#include <QComboBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QToolButton>
#include <QVBoxLayout>

#include <map>

namespace cvx {

namespace {

constexpr int kLocateWindowSlot = 3; // "Interface\Windows": the locate dialog
constexpr int kMaxHistoryEntries = 21;
constexpr std::string_view kTitleMarker = "!T!T!T";
constexpr std::string_view kEmptyTitle = "!T!T!T!T!T!T";
constexpr int kIndexRole = Qt::UserRole;

std::string& LastLocate() {
    static std::string last;
    return last;
}

// A row's text without its codes: the title in place, an empty one named.
QString RowText(const std::string& line) {
    std::string text = line;
    if (const std::size_t empty = text.find(kEmptyTitle); empty != std::string::npos) {
        text.replace(empty, kEmptyTitle.size(), Message(msg::RefWin::LacksTitle));
    }
    for (std::size_t at = text.find(kTitleMarker); at != std::string::npos;
         at = text.find(kTitleMarker, at)) {
        text.erase(at, kTitleMarker.size());
    }
    return FromCp1252(TrimBlanks(CodesToPlainText(text)));
}

QToolButton* NewToolButton(QWidget* parent, const char* name, MsgId caption) {
    auto* button = new QToolButton(parent);
    button->setObjectName(QString::fromLatin1(name));
    button->setText(UiText(caption).remove(QLatin1Char('&')));
    button->setToolButtonStyle(Qt::ToolButtonTextOnly);
    return button;
}

} // namespace

LocateDlg::LocateDlg(TReferenceFile& file, LocateServices& services, const FormalCheck& check,
                     QWidget* parent)
    : QDialog(parent), file_(file), services_(services), check_(check) {
    setObjectName(QStringLiteral("TLocateDlg"));
    setWindowTitle(UiText(msg::RefWin::LocateReferences));
    BuildControls();
    BuildMenus();
}

const std::string& LocateDlg::LastLocateExpression() {
    return LastLocate();
}

void LocateDlg::BuildControls() {
    auto* layout = new QVBoxLayout(this);

    auto* tools = new QHBoxLayout;
    auto* locate = NewToolButton(this, "SP_Locate", msg::SearchDialog::LocateReferences);
    auto* display =
        NewToolButton(this, "SP_DisplayRef", msg::SearchDialog::DisplayCurrentReference);
    tagAll_ = NewToolButton(this, "SP_TagAll", msg::SearchDialog::TagAll);
    tagSelected_ = NewToolButton(this, "SP_TagSelected", msg::SearchDialog::TagSelected);
    untagAll_ = NewToolButton(this, "SP_UntagAll", msg::SearchDialog::UntagAll);
    untagSelected_ = NewToolButton(this, "SP_UntagSelected", msg::SearchDialog::UntagSelected);
    clearList_ = NewToolButton(this, "SP_ClearList", msg::SearchDialog::ClearList);
    clearSelected_ = NewToolButton(this, "SP_ClearSelected", msg::SearchDialog::ClearSelected);
    for (QToolButton* b : {locate, display, tagAll_, tagSelected_, untagAll_, untagSelected_,
                           clearList_, clearSelected_}) {
        tools->addWidget(b);
    }
    tools->addStretch(1);
    connect(locate, &QToolButton::clicked, this, &LocateDlg::LocateAgain);
    connect(display, &QToolButton::clicked, this, &LocateDlg::DisplayReference);
    connect(tagAll_, &QToolButton::clicked, this, &LocateDlg::TagAll);
    connect(tagSelected_, &QToolButton::clicked, this, &LocateDlg::TagSelected);
    connect(untagAll_, &QToolButton::clicked, this, &LocateDlg::UntagAll);
    connect(untagSelected_, &QToolButton::clicked, this, &LocateDlg::UntagSelected);
    connect(clearList_, &QToolButton::clicked, this, &LocateDlg::ClearList);
    connect(clearSelected_, &QToolButton::clicked, this, &LocateDlg::ClearSelected);
    layout->addLayout(tools);

    auto* sortRow = new QHBoxLayout;
    auto* sortCaption = new QLabel(UiText(msg::SearchDialog::SortOrderCaption), this);
    sortOrder_ = new QComboBox(this);
    sortOrder_->setObjectName(QStringLiteral("CB_SortOrder"));
    sortOrder_->addItem(UiText(msg::SearchDialog::ByYearItem));
    sortOrder_->addItem(UiText(msg::SearchDialog::ByAuthorItem));
    sortCaption->setBuddy(sortOrder_);
    expression_ = new QPushButton(this);
    expression_->setObjectName(QStringLiteral("PANEL_LocExpression"));
    expression_->setFlat(true);
    expression_->setToolTip(UiText(msg::SearchDialog::LocExpressionHint));
    sortRow->addWidget(sortCaption);
    sortRow->addWidget(sortOrder_);
    sortRow->addWidget(expression_, 1);
    layout->addLayout(sortRow);
    connect(sortOrder_, &QComboBox::currentIndexChanged, this, &LocateDlg::SortChosen);
    connect(expression_, &QPushButton::clicked, this, &LocateDlg::LocateAgain);

    list_ = new QListWidget(this);
    list_->setObjectName(QStringLiteral("CB_LocalizedRefs"));
    list_->setAccessibleName(UiText(msg::SearchDialog::LocatedListName));
    list_->setSelectionMode(QAbstractItemView::ExtendedSelection);
    list_->setUniformItemSizes(true);
    layout->addWidget(list_, 1);
    connect(list_, &QListWidget::itemChanged, this, [this] {
        if (!filling_) {
            changed_ = true;
            UpdateLocateCounts();
        }
    });
    connect(list_, &QListWidget::itemSelectionChanged, this, &LocateDlg::UpdateLocateCounts);
    connect(list_, &QListWidget::itemDoubleClicked, this, &LocateDlg::DisplayReference);

    auto* panels = new QHBoxLayout;
    message_ = new QLabel(this);
    message_->setObjectName(QStringLiteral("M_Message"));
    rowCount_ = new QLabel(this);
    rowCount_->setObjectName(QStringLiteral("PANEL_LocRefs"));
    rowCount_->setToolTip(UiText(msg::SearchDialog::LocatedRowsHint));
    checkedCount_ = new QLabel(this);
    checkedCount_->setObjectName(QStringLiteral("PANEL_TagLocated"));
    checkedCount_->setToolTip(UiText(msg::SearchDialog::CheckedRowsHint));
    for (QLabel* panel : {message_, rowCount_, checkedCount_}) {
        panel->setFrameShape(QFrame::StyledPanel);
    }
    panels->addWidget(message_, 1);
    panels->addWidget(rowCount_);
    panels->addWidget(checkedCount_);
    layout->addLayout(panels);
}

QAction* LocateDlg::AddCommand(QMenu* menu, const char* name, MsgId caption,
                               const QKeySequence& key, void (LocateDlg::*handler)()) {
    auto* action = new QAction(UiText(caption), this);
    action->setObjectName(QString::fromLatin1(name));
    action->setShortcut(key);
    connect(action, &QAction::triggered, this, handler);
    menu->addAction(action);
    return action;
}

void LocateDlg::BuildMenus() {
    auto* bar = new QMenuBar(this);
    layout()->setMenuBar(bar);
    QMenu* file = bar->addMenu(UiText(msg::SearchDialog::FileMenu));
    AddCommand(file, "Locatereferences1", msg::SearchDialog::LocateReferences,
               QKeySequence(Qt::SHIFT | Qt::CTRL | Qt::Key_L), &LocateDlg::LocateAgain);
    AddCommand(file, "Displaycurrentreference1", msg::SearchDialog::DisplayCurrentReference, {},
               &LocateDlg::DisplayReference);
    AddCommand(file, "Savecurrenttagstatusandexit1", msg::SearchDialog::SaveAndExit,
               QKeySequence(Qt::CTRL | Qt::Key_S), &LocateDlg::SaveAndExit);
    AddCommand(file, "Exit1", msg::SearchDialog::Exit, {}, &QDialog::reject);

    QMenu* edit = bar->addMenu(UiText(msg::SearchDialog::EditMenu));
    AddCommand(edit, "TagAlllocatedCtrlT1", msg::SearchDialog::TagAll, {}, &LocateDlg::TagAll);
    selectionCommands_.push_back(AddCommand(edit, "Tagselected1", msg::SearchDialog::TagSelected,
                                            QKeySequence(Qt::SHIFT | Qt::CTRL | Qt::Key_T),
                                            &LocateDlg::TagSelected));
    selectionCommands_.push_back(
        AddCommand(edit, "Toggletagstatus1", msg::SearchDialog::ToggleTagStatus,
                   QKeySequence(Qt::CTRL | Qt::Key_T), &LocateDlg::ToggleTagStatus));
    AddCommand(edit, "Untagall1", msg::SearchDialog::UntagAll,
               QKeySequence(Qt::SHIFT | Qt::CTRL | Qt::Key_U), &LocateDlg::UntagAll);
    AddCommand(edit, "Untagselected1", msg::SearchDialog::UntagSelected,
               QKeySequence(Qt::CTRL | Qt::Key_U), &LocateDlg::UntagSelected);
    edit->addSeparator();
    AddCommand(edit, "Clearlist1", msg::SearchDialog::ClearList, {}, &LocateDlg::ClearList);
    selectionCommands_.push_back(AddCommand(
        edit, "Clearselected1", msg::SearchDialog::ClearSelected, {}, &LocateDlg::ClearSelected));

    QMenu* sort = bar->addMenu(UiText(msg::SearchDialog::SortMenu));
    sortByYear_ = sort->addAction(UiText(msg::SearchDialog::SortByYear));
    sortByYear_->setObjectName(QStringLiteral("SortbyYear1"));
    sortByAuthors_ = sort->addAction(UiText(msg::SearchDialog::SortByAuthors));
    sortByAuthors_->setObjectName(QStringLiteral("SortbyAuthors1"));
    for (QAction* a : {sortByYear_, sortByAuthors_}) {
        a->setCheckable(true);
    }
    sortByYear_->setChecked(true);
    connect(sortByYear_, &QAction::triggered, this, [this] { sortOrder_->setCurrentIndex(0); });
    connect(sortByAuthors_, &QAction::triggered, this, [this] { sortOrder_->setCurrentIndex(1); });
}

bool LocateDlg::PrepareLocate() {
    const QString caption = windowTitle().section(QLatin1Char(':'), 0, 0);
    setWindowTitle(caption + QStringLiteral(": ") + FromUtf8(file_.FileName()));
    ShowMessage(UiText(msg::RefWin::PleaseWait));
    bool listed = true;
    if (!LastLocate().empty()) {
        expression_->setText(FromCp1252(LastLocate()));
        FillList();
    } else {
        listed = AskLocateExpression();
    }
    ShowMessage({});
    return listed;
}

// The search dialog asks for the expression; the locating search marks the file's LocatedSet.
bool LocateDlg::AskLocateExpression() {
    TagDlg& dialog = services_.SearchDialog();
    HistoryLists& history = services_.History();
    dialog.setWindowTitle(UiText(msg::RefWin::LocateReferences));
    std::vector<std::string> entries = history.Entries(HistoryList::LocateStrings);
    if (entries.size() > kMaxHistoryEntries) {
        entries.resize(kMaxHistoryEntries);
    }
    dialog.SetExpressions(entries);
    dialog.PrepareForFile(file_);
    ShowMessage({});
    const bool accepted = services_.RunModal(dialog) == QDialog::Accepted;
    const std::string expression = accepted ? TrimBlanks(dialog.Expression()) : std::string();
    expression_->setText(FromCp1252(expression));
    if (expression.empty()) {
        return false;
    }
    history.ClearHistory(HistoryList::LocateStrings);
    const std::vector<std::string> kept = dialog.Expressions();
    for (auto it = kept.rbegin(); it != kept.rend(); ++it) {
        history.PushHistory(HistoryList::LocateStrings, *it);
    }
    history.PushHistory(HistoryList::LocateStrings, expression);
    LastLocate() = expression;
    ShowMessage(UiText(msg::RefWin::Searching));
    services_.Locate(expression, dialog.UseIndexedSearch());
    FillList();
    return true;
}

void LocateDlg::FillList() {
    ShowMessage(UiText(msg::Search::PreparingDisplay));
    rows_.clear();
    capped_ = false;
    list_->clear();
    LocatedList located;
    Progress& progress = services_.GeneralProgress();
    const Outcome listed = ListLocated(file_, check_, &progress, located);
    progress.SetProgress(0);
    if (!listed) {
        services_.Fail(listed);
    }
    rows_ = std::move(located.rows);
    capped_ = located.capped;
    SortList();
    if (list_->count() > 0) {
        list_->setCurrentRow(0);
    }
    UpdateLocateCounts();
    ShowMessage({});
}

// Re-sorting keeps the marks the user set and has not applied yet.
void LocateDlg::SortList() {
    ShowMessage(UiText(msg::Search::SortingDisplayOrder));
    std::map<int, bool> marks;
    for (int row = 0; row < list_->count(); ++row) {
        const QListWidgetItem* item = list_->item(row);
        marks[item->data(kIndexRole).toInt()] = item->checkState() == Qt::Checked;
    }
    SortLocated(rows_, static_cast<LocatedSort>(sortOrder_->currentIndex()));
    filling_ = true;
    list_->clear();
    for (const LocatedRow& row : rows_) {
        auto* item = new QListWidgetItem(RowText(row.line), list_);
        item->setData(kIndexRole, row.index);
        item->setFlags(item->flags() | Qt::ItemIsUserCheckable);
        const auto kept = marks.find(row.index);
        const bool tagged = kept != marks.end() ? kept->second : file_.IsTagged(row.index);
        item->setCheckState(tagged ? Qt::Checked : Qt::Unchecked);
    }
    filling_ = false;
    ShowMessage({});
}

void LocateDlg::SortChosen(int item) {
    sortByYear_->setChecked(item == 0);
    sortByAuthors_->setChecked(item == 1);
    ShowMessage(UiText(msg::RefWin::PleaseWait));
    const int current = SelectedReference();
    SortList();
    for (int row = 0; row < list_->count(); ++row) {
        if (list_->item(row)->data(kIndexRole).toInt() == current) {
            list_->setCurrentRow(row);
        }
    }
    UpdateLocateCounts();
}

void LocateDlg::UpdateLocateCounts() {
    const int rows = list_->count();
    const int checked = CheckedRows();
    const std::vector<QListWidgetItem*> selected = SelectedRows();
    int selectedChecked = 0;
    for (const QListWidgetItem* item : selected) {
        selectedChecked += item->checkState() == Qt::Checked ? 1 : 0;
    }
    rowCount_->setText((capped_ ? QStringLiteral(">") : QString()) + QString::number(rows));
    checkedCount_->setText(QString::number(checked));
    clearSelected_->setEnabled(!selected.empty());
    clearList_->setEnabled(rows > 1);
    tagAll_->setEnabled(checked < rows);
    tagSelected_->setEnabled(selectedChecked < static_cast<int>(selected.size()));
    untagAll_->setEnabled(checked > 0);
    untagSelected_->setEnabled(selectedChecked > 0);
    // Their shortcuts follow the selection too, not only the opened menu.
    for (QAction* a : selectionCommands_) {
        a->setEnabled(!selected.empty());
    }
}

int LocateDlg::SelectedReference() const {
    const QListWidgetItem* item = list_->currentItem();
    return item == nullptr ? -1 : item->data(kIndexRole).toInt();
}

std::vector<QListWidgetItem*> LocateDlg::SelectedRows() const {
    std::vector<QListWidgetItem*> rows;
    for (int row = 0; row < list_->count(); ++row) {
        if (list_->item(row)->isSelected()) {
            rows.push_back(list_->item(row));
        }
    }
    return rows;
}

int LocateDlg::CheckedRows() const {
    int checked = 0;
    for (int row = 0; row < list_->count(); ++row) {
        checked += list_->item(row)->checkState() == Qt::Checked ? 1 : 0;
    }
    return checked;
}

void LocateDlg::SetMarks(bool allRows, bool tagged) {
    for (int row = 0; row < list_->count(); ++row) {
        QListWidgetItem* item = list_->item(row);
        if (allRows || item->isSelected()) {
            item->setCheckState(tagged ? Qt::Checked : Qt::Unchecked);
        }
    }
    changed_ = true;
    UpdateLocateCounts();
}

void LocateDlg::TagAll() {
    SetMarks(true, true);
}

void LocateDlg::TagSelected() {
    SetMarks(false, true);
}

// Several selected rows all take the inverse of the first one's mark.
void LocateDlg::ToggleTagStatus() {
    const std::vector<QListWidgetItem*> selected = SelectedRows();
    if (selected.empty()) {
        return;
    }
    SetMarks(false, selected.front()->checkState() != Qt::Checked);
}

void LocateDlg::UntagAll() {
    SetMarks(true, false);
}

void LocateDlg::UntagSelected() {
    SetMarks(false, false);
}

void LocateDlg::ClearList() {
    list_->clear();
    rows_.clear();
    capped_ = false;
    file_.LocatedSet().ClearAll();
    UpdateLocateCounts();
}

// The rows leave the list and their references the located set at once.
void LocateDlg::ClearSelected() {
    for (QListWidgetItem* item : SelectedRows()) {
        const int index = item->data(kIndexRole).toInt();
        file_.LocatedSet().Clear(index);
        std::erase_if(rows_, [index](const LocatedRow& r) { return r.index == index; });
        delete item;
    }
    if (list_->count() > 0) {
        list_->setCurrentRow(0);
    }
    UpdateLocateCounts();
}

void LocateDlg::LocateAgain() {
    (void)AskLocateExpression();
}

void LocateDlg::DisplayReference() {
    accept();
}

void LocateDlg::SaveAndExit() {
    ApplyMarks();
    reject();
}

void LocateDlg::ApplyMarks() {
    for (int row = 0; row < list_->count(); ++row) {
        const QListWidgetItem* item = list_->item(row);
        file_.TaggedSet().SetTo(item->data(kIndexRole).toInt(), item->checkState() == Qt::Checked);
    }
    file_.DropDeletedFromSets();
    if (Outcome saved = file_.SaveTags(); !saved) {
        services_.Fail(saved);
        return;
    }
    changed_ = false;
}

void LocateDlg::done(int result) {
    if (changed_) {
        if (result == QDialog::Accepted) {
            ApplyMarks();
        } else {
            const QMessageBox::StandardButton answer =
                services_.AskYesNoCancel(UiText(msg::Search::ApplyTagStatusQuestion));
            if (answer == QMessageBox::Cancel) {
                return;
            }
            if (answer == QMessageBox::Yes) {
                ApplyMarks();
            }
        }
    }
    SaveWindowPosition();
    QDialog::done(result);
}

void LocateDlg::ShowMessage(const QString& text) {
    message_->setText(text);
}

void LocateDlg::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    const WindowPosition p = ReadWindowPosition(SettingsStore(), kLocateWindowSlot);
    if (p.valid) {
        setGeometry(p.left, p.top, p.width, p.height);
    }
    list_->setFocus();
}

void LocateDlg::resizeEvent(QResizeEvent* event) {
    QDialog::resizeEvent(event);
    if (isVisible()) {
        SaveWindowPosition();
    }
}

void LocateDlg::SaveWindowPosition() {
    SettingsStore store;
    const QRect r = geometry();
    (void)WriteWindowPosition(store, kLocateWindowSlot, r.top(), r.left(), r.width(), r.height(),
                              false);
}

} // namespace cvx
