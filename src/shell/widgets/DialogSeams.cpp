#include "shell/widgets/DialogSeams.h"

#include <QApplication>
#include <QDesktopServices>
#include <QDialog>
#include <QFileDialog>

namespace cvx {

namespace {

struct Seams {
    bool installed = false;
    DialogSeams::MessageAnswerer messages;
    DialogSeams::ModalRunner modals;
    DialogSeams::FileNameAnswerer fileNames;
    std::vector<AskedMessage> asked;
    int beeps = 0;
    std::vector<QUrl> opened;
};

Seams& TheSeams() {
    static Seams seams;
    return seams;
}

QMessageBox::Icon IconOf(MessageKind kind) {
    switch (kind) {
    case MessageKind::Information:
        return QMessageBox::Information;
    case MessageKind::Warning:
        return QMessageBox::Warning;
    case MessageKind::Error:
        return QMessageBox::Critical;
    case MessageKind::Question:
        return QMessageBox::Question;
    }
    return QMessageBox::NoIcon;
}

} // namespace

QMessageBox::StandardButton ShowMessage(QWidget* parent, MessageKind kind, const QString& text,
                                        QMessageBox::StandardButtons buttons,
                                        QMessageBox::StandardButton defaultButton) {
    Seams& seams = TheSeams();
    if (seams.installed) {
        seams.asked.push_back({kind, text});
        return seams.messages ? seams.messages(seams.asked.back()) : defaultButton;
    }
    QMessageBox box(IconOf(kind), QApplication::applicationDisplayName(), text, buttons, parent);
    box.setObjectName(QStringLiteral("MessageBox"));
    if (defaultButton != QMessageBox::NoButton) {
        box.setDefaultButton(defaultButton);
    }
    return static_cast<QMessageBox::StandardButton>(box.exec());
}

int RunModal(QDialog& dialog) {
    Seams& seams = TheSeams();
    if (seams.installed) {
        return seams.modals ? seams.modals(dialog) : QDialog::Rejected;
    }
    return dialog.exec();
}

QString AskOpenFileName(QWidget* parent, const QString& title, const QString& directory,
                        const QString& filter) {
    Seams& seams = TheSeams();
    if (seams.installed) {
        return seams.fileNames ? seams.fileNames(title) : QString();
    }
    return QFileDialog::getOpenFileName(parent, title, directory, filter);
}

void Beep() {
    Seams& seams = TheSeams();
    if (seams.installed) {
        ++seams.beeps;
        return;
    }
    QApplication::beep();
}

void OpenExternally(const QUrl& url) {
    Seams& seams = TheSeams();
    if (seams.installed) {
        seams.opened.push_back(url);
        return;
    }
    QDesktopServices::openUrl(url);
}

void DialogSeams::Install(MessageAnswerer messages, ModalRunner modals,
                          FileNameAnswerer fileNames) {
    Seams& seams = TheSeams();
    seams.installed = true;
    seams.messages = std::move(messages);
    seams.modals = std::move(modals);
    seams.fileNames = std::move(fileNames);
    ClearLog();
}

void DialogSeams::Remove() {
    TheSeams() = Seams();
}

bool DialogSeams::Installed() {
    return TheSeams().installed;
}

const std::vector<AskedMessage>& DialogSeams::Messages() {
    return TheSeams().asked;
}

int DialogSeams::Beeps() {
    return TheSeams().beeps;
}

const std::vector<QUrl>& DialogSeams::Opened() {
    return TheSeams().opened;
}

void DialogSeams::ClearLog() {
    Seams& seams = TheSeams();
    seams.asked.clear();
    seams.beeps = 0;
    seams.opened.clear();
}

} // namespace cvx
