#pragma once
// Runs the built citavox-cli (the build gives its path as CITAVOX_CLI) with a settings folder
// of its own, so neither the user's settings nor another test's are seen.

#include "../settings/SettingsTestSupport.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QProcessEnvironment>
#include <QStringList>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace cvx::testing {

struct CliResult {
    int status = -1;
    std::string out;
    std::string err;
};

class CliTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(home_.isValid()); }

    // Runs citavox-cli with `args`, in `workingDirectory` when one is given.
    CliResult Run(const std::vector<std::string>& args, const std::string& workingDirectory = {}) {
        QStringList list;
        for (const std::string& a : args) {
            list << QString::fromStdString(a);
        }
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("HOME"), home_.path());
        env.insert(QStringLiteral("XDG_CONFIG_HOME"), ConfigHome());
        QProcess process;
        process.setProcessEnvironment(env);
        if (!workingDirectory.empty()) {
            process.setWorkingDirectory(QString::fromStdString(workingDirectory));
        }
        process.start(QStringLiteral(CITAVOX_CLI), list);
        CliResult result;
        if (!process.waitForFinished(30000) || process.exitStatus() != QProcess::NormalExit) {
            ADD_FAILURE() << "citavox-cli did not finish";
            return result;
        }
        result.status = process.exitCode();
        result.out = process.readAllStandardOutput().toStdString();
        result.err = process.readAllStandardError().toStdString();
        return result;
    }

    std::string Home() const { return home_.path().toStdString(); }
    QString ConfigHome() const { return home_.path() + QStringLiteral("/config"); }
    QString ConfigFile() const { return ConfigHome() + QStringLiteral("/Brimso/Citavox.conf"); }

    void WriteConfig(std::string_view text) { WriteConfigFile(ConfigFile(), text); }
    std::string ReadConfig() const { return ReadConfigFile(ConfigFile()); }

private:
    QTemporaryDir home_;
};

} // namespace cvx::testing
