#pragma once
// A settings store of its own for every test: QSettings points at a fresh temporary folder, so no
// test sees another's values or the user's settings.

#include "app/SettingsStore.h"

#include <QDir>
#include <QFile>
#include <QSettings>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <string>
#include <string_view>

namespace cvx::testing {

class SettingsTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(folder_.isValid());
        QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, folder_.path());
    }

    QString Folder() const { return folder_.path(); }
    QString ConfigFile() const { return folder_.path() + QStringLiteral("/Brimso/Citavox.conf"); }

    // Replaces the configuration file with the given text, as an editor or another program would.
    void WriteConfig(std::string_view text) {
        ASSERT_TRUE(QDir().mkpath(folder_.path() + QStringLiteral("/Brimso")));
        QFile file(ConfigFile());
        ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        file.write(text.data(), static_cast<qint64>(text.size()));
    }

    std::string ReadConfig() const {
        QFile file(ConfigFile());
        return file.open(QIODevice::ReadOnly) ? file.readAll().toStdString() : std::string();
    }

    SettingsStore store;

private:
    QTemporaryDir folder_;
};

} // namespace cvx::testing
