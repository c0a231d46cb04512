#include "shell/widgets/IndexFileDlg.h"

#include "settings/NameLists.h"
#include "settings/SettingsStore.h"
#include "shell/widgets/DialogButtons.h"
#include "shell/widgets/FileDialogFilter.h"
#include "shell/widgets/Icons.h"
#include "text/widgets/QtText.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFileInfo>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QToolButton>
#include <QVBoxLayout>

namespace cvx {

namespace {

constexpr int kIndexFileHelp = 1131;

struct FieldBox {
    int bit;
    const char* name;
    MsgId caption;
    int heading; // 0 primary, 1 secondary, 2 additional choices
};

// The fields in the order of their headings; the first three are the suggested mask.
constexpr std::array<FieldBox, 10> kFieldBoxes = {{
    {5, "CHECK_AuthorNames", msg::SmallDialogs::IndexAuthorNames, 0},
    {7, "CHECK_YVP", msg::SmallDialogs::IndexYvp, 0},
    {16, "CHECK_FreeText", msg::SmallDialogs::IndexFreeText, 0},
    {4, "CHECK_IdString", msg::SmallDialogs::IndexIdString, 1},
    {6, "CHECK_Title", msg::SmallDialogs::IndexTitle, 1},
    {8, "CHECK_Source", msg::SmallDialogs::IndexSource, 1},
    {9, "CHECK_Editor", msg::SmallDialogs::IndexEditor, 2},
    {10, "CHECK_Publ", msg::SmallDialogs::IndexPublisher, 2},
    {11, "CHECK_PublCity", msg::SmallDialogs::IndexCity, 2},
    {12, "CHECK_Abstract", msg::SmallDialogs::IndexAbstract, 2},
}};

QPushButton* NewButton(QWidget* parent, const char* name, MsgId caption, MsgId hint) {
    auto* button = new QPushButton(UiText(caption), parent);
    button->setObjectName(QString::fromLatin1(name));
    button->setToolTip(UiText(hint));
    button->setAutoDefault(false);
    return button;
}

} // namespace

IndexFileDlg::IndexFileDlg(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("TIndexFileDlg"));
    setWindowTitle(UiText(msg::SmallDialogs::IndexFileTitle));
    auto* layout = new QVBoxLayout(this);

    // What is indexed: one file, or the members of a group.
    auto* target = new QGroupBox(UiText(msg::SmallDialogs::PerformIndexingOn), this);
    target->setObjectName(QStringLiteral("GB_IndexTarget"));
    auto* targetGrid = new QGridLayout(target);
    single_ = new QRadioButton(UiText(msg::SmallDialogs::SingleFile), target);
    single_->setObjectName(QStringLiteral("RB_IndexCurFile"));
    fileName_ = new QLineEdit(target);
    fileName_->setObjectName(QStringLiteral("LABEL_CurFileName"));
    fileName_->setAccessibleName(UiText(msg::SmallDialogs::IndexFileName));
    fileName_->setMinimumWidth(320);
    auto* browse = new QToolButton(target);
    browse->setObjectName(QStringLiteral("SP_BrowseFile"));
    browse->setIcon(ProgramIcon(IconKind::Browse));
    browse->setToolTip(UiText(msg::SmallDialogs::BrowseFileHint));
    browse->setAccessibleName(UiText(msg::SmallDialogs::BrowseFileHint));
    group_ = new QRadioButton(UiText(msg::SmallDialogs::FileGroup), target);
    group_->setObjectName(QStringLiteral("RB_IndexFileGroup"));
    groups_ = new QComboBox(target);
    groups_->setObjectName(QStringLiteral("CB_FileGroups"));
    groups_->setToolTip(UiText(msg::SmallDialogs::FileGroupsHint));
    groups_->setAccessibleName(UiText(msg::SmallDialogs::FileGroupsHint));
    targetGrid->addWidget(single_, 0, 0);
    targetGrid->addWidget(fileName_, 0, 1);
    targetGrid->addWidget(browse, 0, 2);
    targetGrid->addWidget(group_, 1, 0);
    targetGrid->addWidget(groups_, 1, 1, 1, 2);
    targetGrid->setColumnStretch(1, 1);
    layout->addWidget(target);

    // The fields, under their three headings.
    auto* fieldGrid = new QGridLayout;
    const std::array<std::pair<MsgId, QString>, 3> headings = {{
        {msg::SmallDialogs::PrimaryChoices, UiText(msg::SmallDialogs::PrimaryChoicesHint)},
        {msg::SmallDialogs::SecondaryChoices, QString()},
        {msg::SmallDialogs::AdditionalChoices, QString()},
    }};
    std::array<int, 3> rows{};
    for (std::size_t h = 0; h < headings.size(); ++h) {
        auto* heading = new QLabel(UiText(headings[h].first), this);
        heading->setToolTip(headings[h].second);
        QFont bold = heading->font();
        bold.setBold(true);
        heading->setFont(bold);
        fieldGrid->addWidget(heading, 0, static_cast<int>(h));
        rows[h] = 1;
    }
    for (std::size_t i = 0; i < kFieldBoxes.size(); ++i) {
        const FieldBox& f = kFieldBoxes[i];
        auto* box = new QCheckBox(UiText(f.caption), this);
        box->setObjectName(QString::fromLatin1(f.name));
        connect(box, &QCheckBox::toggled, this, &IndexFileDlg::UpdateButtons);
        fieldGrid->addWidget(box, rows[static_cast<std::size_t>(f.heading)]++, f.heading);
        fields_[i] = box;
    }
    fieldGrid->setRowStretch(5, 1);
    layout->addLayout(fieldGrid);

    auto* checkAll = NewButton(this, "BTN_CheckAll", msg::SmallDialogs::CheckAll,
                               msg::SmallDialogs::CheckAllHint);
    auto* uncheckAll = NewButton(this, "BTN_UncheckAll", msg::SmallDialogs::UncheckAll,
                                 msg::SmallDialogs::UncheckAllHint);
    connect(checkAll, &QPushButton::clicked, this, [this] { SetFieldMask(0xFFFFFFFFu); });
    connect(uncheckAll, &QPushButton::clicked, this, [this] { SetFieldMask(0); });
    auto* buttons = NewDialogButtons(
        this, QDialogButtonBox::Ok | QDialogButtonBox::Cancel | QDialogButtonBox::Help,
        [] { return kIndexFileHelp; });
    ok_ = buttons->button(QDialogButtonBox::Ok);
    auto* bottom = new QHBoxLayout;
    bottom->addWidget(checkAll);
    bottom->addWidget(uncheckAll);
    bottom->addStretch(1);
    bottom->addWidget(buttons);
    layout->addLayout(bottom);

    connect(fileName_, &QLineEdit::textEdited, this, [this] {
        single_->setEnabled(!fileName_->text().trimmed().isEmpty());
        if (single_->isEnabled()) {
            single_->setChecked(true);
        }
        UpdateButtons();
    });
    connect(browse, &QToolButton::clicked, this, &IndexFileDlg::Browse);
    connect(groups_, &QComboBox::activated, this, &IndexFileDlg::GroupChanged);
    connect(single_, &QRadioButton::toggled, this, &IndexFileDlg::UpdateButtons);
    connect(group_, &QRadioButton::toggled, this, &IndexFileDlg::UpdateButtons);

    LoadGroups();
    SetFileName({});
}

// The groups of the settings, the one used last preselected.
void IndexFileDlg::LoadGroups() {
    const SettingsStore store;
    const std::string last = store.ReadText(Setting::LastFileGroup);
    groups_->clear();
    for (const std::string& name : FileGroupNames(store)) {
        groups_->addItem(FromCp1252(name));
        if (name == last) {
            groups_->setCurrentIndex(groups_->count() - 1);
        }
    }
}

void IndexFileDlg::SetFileName(const std::string& name) {
    fileName_->setText(FromUtf8(name));
    single_->setEnabled(!name.empty());
    group_->setEnabled(true);
    (single_->isEnabled() ? single_ : group_)->setChecked(true);
    UpdateButtons();
}

std::string IndexFileDlg::FileName() const {
    return ToUtf8(fileName_->text().trimmed());
}

void IndexFileDlg::SetFieldMask(std::uint32_t mask) {
    for (std::size_t i = 0; i < kFieldBoxes.size(); ++i) {
        fields_[i]->setChecked(((mask >> kFieldBoxes[i].bit) & 1u) != 0);
    }
    UpdateButtons();
}

std::uint32_t IndexFileDlg::FieldMask() const {
    std::uint32_t mask = 0;
    for (std::size_t i = 0; i < kFieldBoxes.size(); ++i) {
        if (fields_[i]->isChecked()) {
            mask |= 1u << kFieldBoxes[i].bit;
        }
    }
    return mask;
}

bool IndexFileDlg::SingleFileChosen() const {
    return single_->isChecked() && single_->isEnabled();
}

std::string IndexFileDlg::GroupName() const {
    return ToCp1252(groups_->currentText());
}

void IndexFileDlg::Browse() {
    const QString chosen = AskReferenceFileName(this, UiText(msg::FileOpen::ReferenceFileName));
    if (chosen.isEmpty()) {
        return;
    }
    fileName_->setText(chosen);
    single_->setEnabled(true);
    single_->setChecked(true);
    UpdateButtons();
}

void IndexFileDlg::GroupChanged() {
    group_->setChecked(true);
    SettingsStore store;
    (void)store.WriteText(Setting::LastFileGroup, GroupName());
    UpdateButtons();
}

void IndexFileDlg::UpdateButtons() {
    const bool target = SingleFileChosen()
                            ? QFileInfo(fileName_->text().trimmed()).isFile()
                            : group_->isChecked() && group_->isEnabled() && groups_->count() > 0;
    ok_->setEnabled(FieldMask() != 0 && target);
}

} // namespace cvx
