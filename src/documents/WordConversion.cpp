#include "documents/WordConversion.h"

#include "text/Catalogue.h"
#include "text/FileNames.h"
#include "text/Progress.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QUrl>

#include <csignal>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <vector>

#include <sys/types.h>

namespace cvx {

namespace {

// A conversion of a large document takes LibreOffice some seconds; one that takes minutes hangs.
constexpr int kConversionTimeoutMs = 300000;
// How long a wait lasts before the abort flag is looked at again.
constexpr int kWaitSliceMs = 100;

// The processes that `root` started, and those they started, from the parent ids of /proc.
std::vector<pid_t> Descendants(pid_t root) {
    std::vector<std::pair<pid_t, pid_t>> parents; // pid, parent
    std::error_code error;
    for (const auto& entry : std::filesystem::directory_iterator("/proc", error)) {
        const std::string name = entry.path().filename().string();
        if (name.empty() || name.find_first_not_of("0123456789") != std::string::npos) {
            continue;
        }
        std::ifstream in(entry.path() / "stat");
        std::string stat;
        std::getline(in, stat);
        // "pid (command) state ppid ...": the command may hold blanks and parentheses.
        const std::size_t close = stat.rfind(')');
        if (close == std::string::npos) {
            continue;
        }
        std::istringstream rest(stat.substr(close + 1));
        std::string state;
        long parent = 0;
        if (rest >> state >> parent) {
            parents.emplace_back(static_cast<pid_t>(std::stol(name)), static_cast<pid_t>(parent));
        }
    }
    std::vector<pid_t> found = {root};
    for (std::size_t i = 0; i < found.size(); ++i) {
        for (const auto& [pid, parent] : parents) {
            if (parent == found[i]) {
                found.push_back(pid);
            }
        }
    }
    found.erase(found.begin());
    return found;
}

// Ends LibreOffice and what it started (the launcher runs the office in a process of its own),
// then reaps the converter.
void KillConverter(QProcess& process) {
    const auto pid = static_cast<pid_t>(process.processId());
    if (pid > 0) {
        ::kill(pid, SIGSTOP); // nothing new is started while the tree is read
        for (const pid_t child : Descendants(pid)) {
            ::kill(child, SIGKILL);
        }
    }
    process.kill();
    process.waitForFinished();
}

Outcome Convert(const QString& input, const QTemporaryDir& work, const std::string& target,
                const std::string& shown, Progress* progress, std::string& converted) {
    const QString soffice = QStandardPaths::findExecutable(QStringLiteral("soffice"));
    if (soffice.isEmpty()) {
        return Outcome::Error(Msg(msg::Documents::LibreOfficeMissing));
    }
    const auto failed = [&] {
        return Outcome::Error(Msg(msg::Documents::ConversionFailed, shown, "." + target));
    };
    const QString outDir = work.filePath(QStringLiteral("out"));
    const QString profile =
        QUrl::fromLocalFile(work.filePath(QStringLiteral("profile"))).toString();
    QProcess process;
    process.setProcessChannelMode(QProcess::MergedChannels);
    process.start(soffice,
                  {QStringLiteral("-env:UserInstallation=") + profile, QStringLiteral("--headless"),
                   QStringLiteral("--norestore"), QStringLiteral("--convert-to"),
                   QString::fromStdString(target), QStringLiteral("--outdir"), outDir, input});
    if (!process.waitForStarted()) {
        return failed();
    }
    QElapsedTimer clock;
    clock.start();
    while (!process.waitForFinished(kWaitSliceMs) && process.state() != QProcess::NotRunning) {
        process.readAll(); // what it prints is not needed, and must not fill the pipe
        if (progress != nullptr && progress->AbortRequested()) {
            KillConverter(process);
            return Outcome::Aborted();
        }
        if (clock.hasExpired(kConversionTimeoutMs)) {
            KillConverter(process);
            return failed();
        }
    }
    QFile result(outDir + u'/' + QFileInfo(input).completeBaseName() + u'.' +
                 QString::fromStdString(target));
    if (process.exitStatus() != QProcess::NormalExit || process.exitCode() != 0 ||
        !result.open(QIODevice::ReadOnly)) {
        return failed();
    }
    const QByteArray bytes = result.readAll();
    converted.assign(bytes.constData(), static_cast<std::size_t>(bytes.size()));
    return Outcome::Ok();
}

} // namespace

Outcome ConvertWithLibreOffice(const std::string& path, const std::string& target,
                               std::string& converted, Progress* progress) {
    const QTemporaryDir work;
    if (!work.isValid()) {
        return Outcome::Error(
            Msg(msg::Documents::ConversionFailed, DisplayPath(path), "." + target));
    }
    return Convert(QFileInfo(QString::fromStdString(path)).absoluteFilePath(), work, target,
                   DisplayPath(path), progress, converted);
}

Outcome ConvertBackWithLibreOffice(const std::string& bytes, const std::string& name,
                                   const std::string& target, std::string& converted,
                                   Progress* progress) {
    const QTemporaryDir work;
    const QString input = work.filePath(QFileInfo(QString::fromStdString(name)).completeBaseName() +
                                        QStringLiteral(".docx"));
    QFile file(input);
    if (!work.isValid() || !file.open(QIODevice::WriteOnly) ||
        file.write(bytes.data(), static_cast<qint64>(bytes.size())) !=
            static_cast<qint64>(bytes.size())) {
        return Outcome::Error(
            Msg(msg::Documents::ConversionFailed, DisplayPath(name), "." + target));
    }
    file.close();
    return Convert(input, work, target, DisplayPath(name), progress, converted);
}

} // namespace cvx
