#include "shell/widgets/PickFileDlg.h"

#include "settings/DefaultDirectories.h"
#include "settings/SettingsStore.h"
#include "shell/widgets/DialogButtons.h"
#include "shell/widgets/FileDialogFilter.h"
#include "shell/widgets/Icons.h"
#include "text/FileNames.h"
#include "text/widgets/QtText.h"

#include <QDialogButtonBox>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QToolButton>
#include <QVBoxLayout>

namespace cvx {

namespace {

constexpr int kPickFileHelp = 1133;

QToolButton* NewToolButton(QWidget* parent, const char* name, IconKind icon, MsgId hint) {
    auto* button = new QToolButton(parent);
    button->setObjectName(QString::fromLatin1(name));
    button->setIcon(ProgramIcon(icon));
    button->setToolTip(UiText(hint));
    button->setAccessibleName(UiText(hint));
    return button;
}

} // namespace

PickFileDlg::PickFileDlg(HistoryLists& history, QWidget* parent)
    : QDialog(parent), history_(history) {
    setObjectName(QStringLiteral("TPickFileDlg"));
    setWindowTitle(UiText(msg::FileOpen::PickFile));
    auto* layout = new QVBoxLayout(this);

    name_ = new QLineEdit(this);
    name_->setObjectName(QStringLiteral("CB_PickNames"));
    name_->setAccessibleName(UiText(msg::FileOpen::PickFile));
    list_ = new QListWidget(this);
    list_->setObjectName(QStringLiteral("CB_PickNamesList"));
    list_->setAccessibleName(UiText(msg::FileOpen::PickFile));
    connect(list_, &QListWidget::currentTextChanged, name_, &QLineEdit::setText);
    connect(list_, &QListWidget::itemDoubleClicked, this, [this] {
        if (!Text().isEmpty()) {
            accept();
        }
    });
    connect(name_, &QLineEdit::textChanged, this, &PickFileDlg::UpdateButtons);

    auto* tools = new QHBoxLayout;
    remove_ = NewToolButton(this, "SP_Remove", IconKind::Remove, msg::SmallDialogs::RemoveHint);
    restore_ = NewToolButton(this, "SP_Restore", IconKind::Restore, msg::SmallDialogs::RestoreHint);
    auto* browse =
        NewToolButton(this, "SP_Browse", IconKind::Browse, msg::SmallDialogs::BrowseHint);
    auto* add = new QPushButton(UiText(msg::SmallDialogs::AddFileName), this);
    add->setObjectName(QStringLiteral("BTN_AddFileName"));
    add->setToolTip(UiText(msg::SmallDialogs::AddFileNameHint));
    removeButton_ = new QPushButton(UiText(msg::SmallDialogs::RemoveFromList), this);
    auto* removeButton = removeButton_;
    removeButton->setObjectName(QStringLiteral("BTN_RemoveFileName"));
    removeButton->setToolTip(UiText(msg::SmallDialogs::RemoveFileNameHint));
    connect(remove_, &QToolButton::clicked, this, &PickFileDlg::Remove);
    connect(removeButton, &QPushButton::clicked, this, &PickFileDlg::Remove);
    connect(restore_, &QToolButton::clicked, this, &PickFileDlg::Restore);
    connect(browse, &QToolButton::clicked, this, &PickFileDlg::AddFileName);
    connect(add, &QPushButton::clicked, this, &PickFileDlg::AddFileName);
    tools->addWidget(remove_);
    tools->addWidget(restore_);
    tools->addWidget(browse);
    tools->addStretch(1);
    tools->addWidget(add);
    tools->addWidget(removeButton);

    auto* buttons = NewDialogButtons(
        this, QDialogButtonBox::Ok | QDialogButtonBox::Cancel | QDialogButtonBox::Help,
        [] { return kPickFileHelp; });
    ok_ = buttons->button(QDialogButtonBox::Ok);

    layout->addWidget(name_);
    layout->addWidget(list_, 1);
    layout->addLayout(tools);
    layout->addWidget(buttons);
    resize(520, 343);
}

void PickFileDlg::ShowPickFiles(bool tagged) {
    tagged_ = tagged;
    Reload(0);
}

QString PickFileDlg::Text() const {
    return name_->text().trimmed();
}

void PickFileDlg::Reload(int select) {
    list_->clear();
    for (const std::string& entry : history_.Entries(HistoryList::PickFile)) {
        list_->addItem(FromUtf8(entry));
    }
    if (list_->count() > 0) {
        list_->setCurrentRow(std::clamp(select, 0, list_->count() - 1));
    } else {
        name_->clear();
    }
    UpdateButtons();
}

void PickFileDlg::AddFileName() {
    const QString name =
        AskReferenceFileName(this, UiText(tagged_ ? msg::FileOpen::FileForTaggedReferences
                                                  : msg::FileOpen::FileForCurrentReference));
    if (name.isEmpty()) {
        return;
    }
    SettingsStore store;
    history_.PushHistory(HistoryList::PickFile, ToUtf8(name));
    (void)SetDefaultDirectory(store, DefaultDirectoryKind::References, DirOf(ToUtf8(name)));
    Reload(0);
}

void PickFileDlg::StoreList() {
    history_.ClearHistory(HistoryList::PickFile);
    for (int row = list_->count() - 1; row >= 0; --row) {
        history_.PushHistory(HistoryList::PickFile, ToUtf8(list_->item(row)->text()));
    }
}

void PickFileDlg::Remove() {
    const int row = list_->currentRow();
    if (row < 0) {
        return;
    }
    removed_.push_back(list_->item(row)->text());
    delete list_->takeItem(row);
    StoreList();
    Reload(row);
}

void PickFileDlg::Restore() {
    if (removed_.empty()) {
        return;
    }
    list_->addItem(removed_.back());
    removed_.pop_back();
    StoreList();
    Reload(list_->count() - 1);
}

void PickFileDlg::UpdateButtons() {
    remove_->setEnabled(list_->count() > 0);
    restore_->setEnabled(!removed_.empty());
    ok_->setEnabled(!Text().isEmpty());
    removeButton_->setEnabled(list_->count() > 0);
}

} // namespace cvx
