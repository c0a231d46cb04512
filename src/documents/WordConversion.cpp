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

#include <sys/types.h>
#include <unistd.h>

namespace cvx {

namespace {

// A conversion of a large document takes LibreOffice some seconds; one that takes minutes hangs.
constexpr int kConversionTimeoutMs = 300000;
// How long a wait lasts before the abort flag is looked at again.
constexpr int kWaitSliceMs = 100;

// Ends LibreOffice and what it started (the launcher runs the office in a process of its own):
// the converter leads a process group of its own, which goes as a whole; then it is reaped.
void KillConverter(QProcess& process) {
    if (const auto pid = static_cast<pid_t>(process.processId()); pid > 0) {
        ::kill(-pid, SIGKILL);
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
    process.setChildProcessModifier([] { ::setpgid(0, 0); });
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
