#include "documents/WordConversion.h"

#include "text/Catalogue.h"
#include "text/FileNames.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QUrl>

namespace cvx {

namespace {

// A conversion of a large document takes LibreOffice some seconds; one that takes minutes hangs.
constexpr int kConversionTimeoutMs = 300000;

Outcome Convert(const QString& input, const QTemporaryDir& work, const std::string& target,
                const std::string& shown, std::string& converted) {
    const QString soffice = QStandardPaths::findExecutable(QStringLiteral("soffice"));
    if (soffice.isEmpty()) {
        return Outcome::Error(Msg(msg::Documents::LibreOfficeMissing));
    }
    const QString outDir = work.filePath(QStringLiteral("out"));
    const QString profile =
        QUrl::fromLocalFile(work.filePath(QStringLiteral("profile"))).toString();
    QProcess process;
    process.setProcessChannelMode(QProcess::MergedChannels);
    process.start(soffice,
                  {QStringLiteral("-env:UserInstallation=") + profile, QStringLiteral("--headless"),
                   QStringLiteral("--norestore"), QStringLiteral("--convert-to"),
                   QString::fromStdString(target), QStringLiteral("--outdir"), outDir, input});
    const bool finished = process.waitForFinished(kConversionTimeoutMs);
    if (!finished) {
        process.kill();
        process.waitForFinished();
    }
    QFile result(outDir + u'/' + QFileInfo(input).completeBaseName() + u'.' +
                 QString::fromStdString(target));
    if (!finished || process.exitStatus() != QProcess::NormalExit || process.exitCode() != 0 ||
        !result.open(QIODevice::ReadOnly)) {
        return Outcome::Error(Msg(msg::Documents::ConversionFailed, shown, "." + target));
    }
    const QByteArray bytes = result.readAll();
    converted.assign(bytes.constData(), static_cast<std::size_t>(bytes.size()));
    return Outcome::Ok();
}

} // namespace

Outcome ConvertWithLibreOffice(const std::string& path, const std::string& target,
                               std::string& converted) {
    const QTemporaryDir work;
    if (!work.isValid()) {
        return Outcome::Error(
            Msg(msg::Documents::ConversionFailed, DisplayPath(path), "." + target));
    }
    return Convert(QFileInfo(QString::fromStdString(path)).absoluteFilePath(), work, target,
                   DisplayPath(path), converted);
}

Outcome ConvertBackWithLibreOffice(const std::string& bytes, const std::string& name,
                                   const std::string& target, std::string& converted) {
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
    return Convert(input, work, target, DisplayPath(name), converted);
}

} // namespace cvx
