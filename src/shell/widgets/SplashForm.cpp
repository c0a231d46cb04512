#include "shell/widgets/SplashForm.h"

#include "settings/SettingsStore.h"
#include "shell/widgets/Icons.h"
#include "text/widgets/QtText.h"

#include <QDialogButtonBox>
#include <QLabel>
#include <QProgressBar>
#include <QVBoxLayout>

namespace cvx {

SplashForm::SplashForm(Mode mode, QWidget* parent) : QDialog(parent) {
    setObjectName(mode == Mode::About ? QStringLiteral("AboutBox") : QStringLiteral("SplashForm"));
    setWindowTitle(UiText(msg::MainWindow::AboutTitle));
    if (mode != Mode::About) {
        setWindowFlags(Qt::SplashScreen | Qt::FramelessWindowHint);
    }
    auto* layout = new QVBoxLayout(this);
    auto* icon = new QLabel(this);
    icon->setPixmap(ProgramIcon(IconKind::Application).pixmap(64, 64));
    icon->setAlignment(Qt::AlignCenter);
    layout->addWidget(icon);
    auto* name = new QLabel(QStringLiteral("Citavox"), this);
    QFont big = name->font();
    big.setPointSizeF(big.pointSizeF() * 2);
    big.setBold(true);
    name->setFont(big);
    name->setAlignment(Qt::AlignCenter);
    layout->addWidget(name);

    const SettingsStore store;
    for (const auto& [version, text] :
         {std::pair{UiText(msg::MainWindow::MainProgramVersion,
                           store.ReadText(Setting::MainVersion), store.ReadText(Setting::MainDate)),
                    QStringLiteral("L_MainVersion")},
          std::pair{UiText(msg::MainWindow::ImportRoutinesVersion,
                           store.ReadText(Setting::ConversionVersion),
                           store.ReadText(Setting::ConversionDate)),
                    QStringLiteral("L_ConversionVersion")}}) {
        auto* label = new QLabel(version, this);
        label->setObjectName(text);
        label->setAlignment(Qt::AlignCenter);
        layout->addWidget(label);
    }
    if (mode == Mode::About) {
        auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok, this);
        connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
        layout->addWidget(buttons);
        return;
    }
    auto* panel = new QLabel(mode == Mode::Starting ? UiText(msg::MainWindow::LoadingCitavox)
                                                    : UiText(msg::FileOpen::LoadingFiles),
                             this);
    panel->setObjectName(QStringLiteral("L_Loading"));
    layout->addWidget(panel);
    bar_ = new QProgressBar(this);
    bar_->setObjectName(QStringLiteral("ProgressBar"));
    bar_->setRange(0, 100);
    bar_->setValue(0);
    layout->addWidget(bar_);
}

void SplashForm::Step(int percent) {
    if (bar_ != nullptr) {
        bar_->setValue(std::min(100, bar_->value() + percent));
        repaint();
    }
}

} // namespace cvx
