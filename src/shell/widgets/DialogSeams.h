#pragma once
// The modal moments of the program behind seams: message boxes, file dialogs, the program's own
// dialogs, the warning beep and the handing of a document or address to the desktop's program.
// The program goes through these functions; tests install answerers, so that nothing blocks and
// they can see what was asked.

#include <QMessageBox>
#include <QString>
#include <QUrl>

#include <functional>
#include <vector>

class QDialog;
class QWidget;

namespace cvx {

enum class MessageKind { Information, Warning, Error, Question };

// Shows a message and returns the button the user chose.
QMessageBox::StandardButton
ShowMessage(QWidget* parent, MessageKind kind, const QString& text,
            QMessageBox::StandardButtons buttons = QMessageBox::Ok,
            QMessageBox::StandardButton defaultButton = QMessageBox::NoButton);

// Runs one of the program's dialogs modally; QDialog::Accepted or QDialog::Rejected.
int RunModal(QDialog& dialog);

// The file the user chose in an open dialog; empty when cancelled. `filter` holds the filters
// separated by ";;".
QString AskOpenFileName(QWidget* parent, const QString& title, const QString& directory,
                        const QString& filter);

void Beep();

// Opens an address or a file with the program the desktop has for it.
void OpenExternally(const QUrl& url);

// What the program asked while the test seams were installed.
struct AskedMessage {
    MessageKind kind;
    QString text;
};

class DialogSeams {
public:
    using MessageAnswerer = std::function<QMessageBox::StandardButton(const AskedMessage&)>;
    using ModalRunner = std::function<int(QDialog&)>;
    using FileNameAnswerer = std::function<QString(const QString& title)>;

    // Installs the answerers of a test: no dialog is shown while they are installed, beeps are
    // counted and documents are listed instead of opened.
    static void Install(MessageAnswerer messages, ModalRunner modals, FileNameAnswerer fileNames);
    static void Remove();
    static bool Installed();

    static const std::vector<AskedMessage>& Messages();
    static int Beeps();
    static const std::vector<QUrl>& Opened();
    static void ClearLog();
};

} // namespace cvx
