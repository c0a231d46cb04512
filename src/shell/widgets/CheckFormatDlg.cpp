#include "shell/widgets/CheckFormatDlg.h"

#include "shell/widgets/DialogButtons.h"
#include "text/widgets/QtText.h"

#include <QDialogButtonBox>
#include <QGroupBox>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

namespace cvx {

namespace {

constexpr int kCheckFormatHelp = 1209;

// In the order of the scopes they stand for.
constexpr std::array<std::pair<const char*, MsgId>, 5> kScopeButtons = {{
    {"RB_CheckAll", msg::SmallDialogs::CheckAllErrors},
    {"RB_CheckYear", msg::SmallDialogs::CheckYear},
    {"RB_CheckAuthor", msg::SmallDialogs::CheckAuthor},
    {"RB_Source", msg::SmallDialogs::CheckSource},
    {"RB_CheckJournal", msg::SmallDialogs::CheckJournal},
}};

} // namespace

CheckFormatDlg::CheckFormatDlg(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("TCheckFormatDlg"));
    setWindowTitle(UiText(msg::SmallDialogs::CheckFormatTitle));
    auto* layout = new QVBoxLayout(this);
    auto* scope = new QGroupBox(UiText(msg::SmallDialogs::Scope), this);
    scope->setObjectName(QStringLiteral("GB_Scope"));
    auto* scopeLayout = new QVBoxLayout(scope);
    for (std::size_t i = 0; i < kScopeButtons.size(); ++i) {
        buttons_[i] = new QRadioButton(UiText(kScopeButtons[i].second), scope);
        buttons_[i]->setObjectName(QString::fromLatin1(kScopeButtons[i].first));
        scopeLayout->addWidget(buttons_[i]);
    }
    layout->addWidget(scope);
    auto* buttons = NewDialogButtons(
        this, QDialogButtonBox::Ok | QDialogButtonBox::Cancel | QDialogButtonBox::Help,
        [] { return kCheckFormatHelp; });
    layout->addWidget(buttons);
    SetScope(0);
}

void CheckFormatDlg::SetScope(int scope) {
    const bool known = scope >= 0 && scope < static_cast<int>(buttons_.size());
    buttons_[known ? static_cast<std::size_t>(scope) : 0]->setChecked(true);
}

CheckKind CheckFormatDlg::Scope() const {
    for (std::size_t i = 0; i < buttons_.size(); ++i) {
        if (buttons_[i]->isChecked()) {
            return static_cast<CheckKind>(i);
        }
    }
    return CheckKind::All;
}

} // namespace cvx
