#include "app/CitavoxApp.h"

#include "shell/CommandString.h"
#include "shell/InstanceChannel.h"
#include "shell/RecentFiles.h"
#include "shell/widgets/DialogSeams.h"
#include "shell/widgets/Icons.h"
#include "shell/widgets/MainForm.h"
#include "shell/widgets/SplashForm.h"
#include "text/widgets/QtText.h"

#include <QApplication>
#include <QFileInfo>
#include <QTimer>

#include <string>
#include <vector>

namespace cvx {

namespace {

// The command line as the running instance must read it: an argument that names a file here is
// made absolute, since the instance that opens it may run in another folder.
std::string CommandLineOf(const QStringList& arguments) {
    std::vector<std::string> parts;
    for (qsizetype i = 1; i < arguments.size(); ++i) {
        const QString& a = arguments[i];
        parts.push_back(QFileInfo::exists(a) ? AbsoluteFileName(ToUtf8(a)) : ToUtf8(a));
    }
    return JoinCommandLine(parts);
}

// For timing the whole start from outside: with CITAVOX_QUIT_WHEN_SHOWN set, the program paints
// its main window once (with the files of the command line open) and ends.
void QuitWhenShownIfAsked(MainForm& form) {
    if (!qEnvironmentVariableIsSet("CITAVOX_QUIT_WHEN_SHOWN")) {
        return;
    }
    QTimer::singleShot(0, &form, [&form] {
        form.repaint();
        QApplication::quit();
    });
}

} // namespace

int CitavoxApp::Run(int argc, char** argv) {
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Citavox"));
    QGuiApplication::setDesktopFileName(QStringLiteral("citavox"));
    QApplication::setWindowIcon(ProgramIcon(IconKind::Application));
    const std::string commandLine = CommandLineOf(QApplication::arguments());

    InstanceChannel channel(InstanceChannel::DefaultName());
    switch (channel.Claim(HandOverFor(commandLine))) {
    case InstanceChannel::Role::First:
        break;
    case InstanceChannel::Role::Second:
        return 0;
    case InstanceChannel::Role::Unanswered:
        ShowMessage(nullptr, MessageKind::Error,
                    UiText(msg::Desktop::InstanceUnanswered, PathArgument(FromUtf8(commandLine))));
        return 1;
    }

    // The splash window's bar in four steps while the main window is made and shown. The start
    // is never held up for it: the bar shows how far it is, however fast that goes.
    auto splash = std::make_unique<SplashForm>(SplashForm::Mode::Starting);
    splash->show();
    splash->Step(25);
    MainForm form;
    splash->Step(25);
    QObject::connect(&channel, &InstanceChannel::Received, &form, &MainForm::HandOverReceived);
    form.show();
    splash->Step(25);
    splash->Step(25);
    splash.reset();
    form.Start(commandLine);
    QuitWhenShownIfAsked(form);
    return QApplication::exec();
}

} // namespace cvx
