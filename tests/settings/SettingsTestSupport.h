#pragma once
// A settings store of its own for every test: QSettings points at a fresh temporary folder, so no
// test sees another's values or the user's settings.

#include "settings/SettingsStore.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSettings>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <string>
#include <string_view>

namespace cvx::testing {

// Replaces a configuration file with the given text, as an editor or another program would.
inline void WriteConfigFile(const QString& fileName, std::string_view text) {
    ASSERT_TRUE(QDir().mkpath(QFileInfo(fileName).path()));
    QFile file(fileName);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    file.write(text.data(), static_cast<qint64>(text.size()));
}

inline std::string ReadConfigFile(const QString& fileName) {
    QFile file(fileName);
    return file.open(QIODevice::ReadOnly) ? file.readAll().toStdString() : std::string();
}

class SettingsTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(folder_.isValid());
        QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, folder_.path());
    }

    QString Folder() const { return folder_.path(); }
    QString ConfigFile() const { return folder_.path() + QStringLiteral("/Brimso/Citavox.conf"); }

    void WriteConfig(std::string_view text) { WriteConfigFile(ConfigFile(), text); }
    std::string ReadConfig() const { return ReadConfigFile(ConfigFile()); }

    SettingsStore store;

private:
    QTemporaryDir folder_;
};

} // namespace cvx::testing
