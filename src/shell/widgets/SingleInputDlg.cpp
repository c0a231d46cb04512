#include "shell/widgets/SingleInputDlg.h"

#include "shell/widgets/DialogButtons.h"
#include "text/widgets/QtText.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace cvx {

namespace {

constexpr int kByNumbersHelp = 1404;
constexpr int kJumpHelp = 1305;

QCheckBox* NewCheck(QWidget* parent, const char* name, MsgId caption) {
    auto* box = new QCheckBox(UiText(caption), parent);
    box->setObjectName(QString::fromLatin1(name));
    return box;
}

QLineEdit* NewEdit(QWidget* parent, const char* name, QLabel* label) {
    auto* edit = new QLineEdit(parent);
    edit->setObjectName(QString::fromLatin1(name));
    label->setBuddy(edit);
    edit->setAccessibleName(label->text().remove(QLatin1Char('&')));
    return edit;
}

} // namespace

SingleInputDlg::SingleInputDlg(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("TSingleInputDlg"));
    auto* layout = new QVBoxLayout(this);

    byNumbers_ = new QWidget(this);
    byNumbers_->setObjectName(QStringLiteral("PANEL_ByNumbers"));
    auto* numbersLayout = new QVBoxLayout(byNumbers_);
    numbersLayout->setContentsMargins(0, 0, 0, 0);
    auto* numbersLabel = new QLabel(UiText(msg::SmallDialogs::ByNumbersCaption), byNumbers_);
    numbers_ = NewEdit(byNumbers_, "EDIT_TagByRefsNumbers", numbersLabel);
    useAbs_ = NewCheck(byNumbers_, "CHECK_UseAbs", msg::SmallDialogs::UseOriginalOrder);
    clearPrevious_ =
        NewCheck(byNumbers_, "CHECK_ClearPreviousTag", msg::SmallDialogs::ClearPreviousTagging);
    numbersLayout->addWidget(numbersLabel);
    numbersLayout->addWidget(new QLabel(UiText(msg::SmallDialogs::ByNumbersExamples), byNumbers_));
    numbersLayout->addWidget(numbers_);
    numbersLayout->addWidget(useAbs_);
    numbersLayout->addWidget(clearPrevious_);

    jump_ = new QWidget(this);
    jump_->setObjectName(QStringLiteral("PANEL_JumpToRef"));
    auto* jumpLayout = new QVBoxLayout(jump_);
    jumpLayout->setContentsMargins(0, 0, 0, 0);
    auto* jumpLabel = new QLabel(UiText(msg::SmallDialogs::JumpCaption), jump_);
    jumpTo_ = NewEdit(jump_, "EDIT_JumpToRef", jumpLabel);
    useAbsJump_ = NewCheck(jump_, "CHECK_UseAbsJump", msg::SmallDialogs::UseOriginalOrder);
    jumpLayout->addWidget(jumpLabel);
    jumpLayout->addWidget(jumpTo_);
    jumpLayout->addWidget(useAbsJump_);

    auto* buttons = NewDialogButtons(
        this, QDialogButtonBox::Ok | QDialogButtonBox::Cancel | QDialogButtonBox::Help,
        [this] { return form_ == ByNumbers ? kByNumbersHelp : kJumpHelp; });

    layout->addWidget(byNumbers_);
    layout->addWidget(jump_);
    layout->addWidget(buttons);
    SetInputForm(ByNumbers);
}

void SingleInputDlg::SetInputForm(Form form) {
    form_ = form;
    byNumbers_->setVisible(form == ByNumbers);
    jump_->setVisible(form == Jump);
    (form == ByNumbers ? numbers_ : jumpTo_)->setFocus();
}

QString SingleInputDlg::Text() const {
    return (form_ == ByNumbers ? numbers_ : jumpTo_)->text().trimmed();
}

bool SingleInputDlg::UseOriginalOrder() const {
    return (form_ == ByNumbers ? useAbs_ : useAbsJump_)->isChecked();
}

void SingleInputDlg::SetUseOriginalOrder(bool on) {
    (form_ == ByNumbers ? useAbs_ : useAbsJump_)->setChecked(on);
}

bool SingleInputDlg::ClearPrevious() const {
    return clearPrevious_->isChecked();
}

void SingleInputDlg::SetClearPrevious(bool on) {
    clearPrevious_->setChecked(on);
}

} // namespace cvx
