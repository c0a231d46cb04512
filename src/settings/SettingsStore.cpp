#include "settings/SettingsStore.h"

#include "text/Catalogue.h"
#include "text/Cp1252.h"
#include "text/FileNames.h"
#include "text/StringPrimitives.h"

#include <QFile>
#include <QFileInfo>
#include <QSettings>
#include <QStringList>
#include <QTemporaryFile>
#include <QVariant>

#include <algorithm>
#include <charconv>
#include <cstdint>

namespace cvx {

namespace {

// Opened anew for every access: QSettings shares the parsed file between instances and reads
// it again when it changed on disk, so this costs a stat, not a parse.
class OpenStore {
public:
    OpenStore()
        : settings_(QSettings::NativeFormat, QSettings::UserScope, QStringLiteral("Brimso"),
                    QStringLiteral("Citavox")) {}
    QSettings* operator->() { return &settings_; }
    QSettings& operator*() { return settings_; }

private:
    QSettings settings_;
};

QString FromUtf8(std::string_view text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

std::string ToUtf8(const QString& text) {
    return text.toUtf8().toStdString();
}

QString GroupOf(std::string_view path) {
    QString group = FromUtf8(path);
    group.replace(QLatin1Char('\\'), QLatin1Char('/'));
    return group;
}

QString EncodeName(std::string_view name) {
    QString out;
    for (const QChar c : FromUtf8(name)) {
        if (c == QLatin1Char('%')) {
            out += QStringLiteral("%25");
        } else if (c == QLatin1Char('/')) {
            out += QStringLiteral("%2F");
        } else if (c == QLatin1Char('\\')) {
            out += QStringLiteral("%5C");
        } else {
            out += c;
        }
    }
    return out;
}

std::string DecodeName(const QString& key) {
    QString out;
    for (qsizetype i = 0; i < key.size(); ++i) {
        const QStringView rest = QStringView(key).mid(i);
        if (rest.startsWith(u"%25")) {
            out += QLatin1Char('%');
            i += 2;
        } else if (rest.startsWith(u"%2F")) {
            out += QLatin1Char('/');
            i += 2;
        } else if (rest.startsWith(u"%5C")) {
            out += QLatin1Char('\\');
            i += 2;
        } else {
            out += key[i];
        }
    }
    return ToUtf8(out);
}

QString KeyOf(std::string_view path, std::string_view name) {
    return GroupOf(path) + QLatin1Char('/') + EncodeName(name);
}

// Values are text. A hand-edited configuration file may hold an unquoted text with commas,
// which QSettings reads as a list; anything else (a value stored with a type of its own) is
// unreadable here and counts as missing.
std::optional<std::string> TextOf(const QVariant& value) {
    switch (value.typeId()) {
    case QMetaType::QString:
        return ToUtf8(value.toString());
    case QMetaType::QStringList:
        return ToUtf8(value.toStringList().join(QStringLiteral(", ")));
    default:
        return std::nullopt;
    }
}

Outcome CannotWrite(const QSettings& settings) {
    return Outcome::Error(
        Msg(msg::Settings::CannotWrite, DisplayPath(ToUtf8(settings.fileName()))));
}

// Whether the store's file can be read, and whether QSettings finds all of it readable. The
// verdict comes from a private copy: QSettings shares a parsed file between instances and skips
// parsing it again while it is unchanged, so the status of an instance that did not parse it says
// nothing. Only the configuration file of the native format is checked; the registry has no file.
SettingsStore::Health HealthOf(const QString& fileName) {
    const QFileInfo info(fileName);
    if (!fileName.endsWith(QStringLiteral(".conf")) || !info.exists()) {
        return SettingsStore::Health::Fine;
    }
    QFile file(fileName);
    if (info.isDir() || !file.open(QIODevice::ReadOnly)) {
        return SettingsStore::Health::Unreadable;
    }
    const QByteArray content = file.readAll();
    QTemporaryFile copy;
    if (!copy.open() || copy.write(content) != content.size() || !copy.flush()) {
        return SettingsStore::Health::Fine;
    }
    const QSettings probe(copy.fileName(), QSettings::IniFormat);
    return probe.status() == QSettings::FormatError ? SettingsStore::Health::Damaged
                                                    : SettingsStore::Health::Fine;
}

// Prepares a write: refuses an unreadable store (writing would replace what could not be read)
// and keeps a copy of a damaged one, since QSettings rewrites the file whole and drops what it
// could not read.
Outcome PrepareWrite(const QSettings& settings) {
    switch (HealthOf(settings.fileName())) {
    case SettingsStore::Health::Unreadable:
        return CannotWrite(settings);
    case SettingsStore::Health::Damaged: {
        const QString copy = settings.fileName() + QStringLiteral(".damaged");
        QFile::remove(copy);
        if (!QFile::copy(settings.fileName(), copy)) {
            return CannotWrite(settings);
        }
        break;
    }
    case SettingsStore::Health::Fine:
        break;
    }
    return Outcome::Ok();
}

// A damaged file is read again while it is written, so its format error stays in the status;
// only an access error means the write failed.
Outcome FinishWrite(QSettings& settings) {
    settings.sync();
    return settings.status() == QSettings::AccessError ? CannotWrite(settings) : Outcome::Ok();
}

} // namespace

SettingsStore::Health SettingsStore::Check() const {
    OpenStore store;
    return HealthOf(store->fileName());
}

std::string SettingsStore::Location() const {
    OpenStore store;
    return ToUtf8(store->fileName());
}

std::string SettingsStore::DamagedCopyLocation() const {
    return Location() + ".damaged";
}

std::optional<std::string> SettingsStore::Value(std::string_view path,
                                                std::string_view name) const {
    if (name.empty()) {
        return std::nullopt;
    }
    OpenStore store;
    return TextOf(store->value(KeyOf(path, name)));
}

SettingValues SettingsStore::SectionValues(std::string_view path) const {
    OpenStore store;
    store->beginGroup(GroupOf(path));
    SettingValues values;
    for (const QString& key : store->childKeys()) {
        if (std::optional<std::string> text = TextOf(store->value(key))) {
            values.emplace_back(DecodeName(key), std::move(*text));
        }
    }
    return values;
}

std::vector<std::string> SettingsStore::ValueNames(std::string_view path) const {
    OpenStore store;
    store->beginGroup(GroupOf(path));
    std::vector<std::string> names;
    for (const QString& key : store->childKeys()) {
        names.push_back(DecodeName(key));
    }
    return names;
}

std::vector<std::string> SettingsStore::StoredSpellings(std::string_view path,
                                                        std::string_view name) const {
    const QString wanted = FromUtf8(name);
    std::vector<std::string> found;
    for (std::string& stored : ValueNames(path)) {
        if (stored == name) {
            found.insert(found.begin(), std::move(stored));
        } else if (FromUtf8(stored).compare(wanted, Qt::CaseInsensitive) == 0) {
            found.push_back(std::move(stored));
        }
    }
    return found;
}

std::vector<std::string> SettingsStore::SectionNames(std::string_view path) const {
    OpenStore store;
    store->beginGroup(GroupOf(path));
    std::vector<std::string> names;
    for (const QString& group : store->childGroups()) {
        names.push_back(ToUtf8(group));
    }
    return names;
}

std::vector<std::string> SettingsStore::AllSectionPaths() const {
    OpenStore store;
    std::vector<std::string> paths;
    for (const QString& key : store->allKeys()) {
        const qsizetype slash = key.lastIndexOf(QLatin1Char('/'));
        if (slash > 0) {
            QString path = key.left(slash);
            path.replace(QLatin1Char('/'), QLatin1Char('\\'));
            paths.push_back(ToUtf8(path));
        }
    }
    std::sort(paths.begin(), paths.end());
    paths.erase(std::unique(paths.begin(), paths.end()), paths.end());
    return paths;
}

Outcome SettingsStore::SetValue(std::string_view path, std::string_view name,
                                std::string_view text) {
    return SetValues(path, {{std::string(name), std::string(text)}}, false);
}

Outcome SettingsStore::SetValues(std::string_view path, const SettingValues& values,
                                 bool eraseFirst) {
    for (const auto& [name, text] : values) {
        if (name.empty()) {
            return Outcome::Error(Msg(msg::Settings::NoSuchSetting, Utf8ToCp1252(path)));
        }
    }
    OpenStore store;
    if (Outcome ready = PrepareWrite(*store); !ready) {
        return ready;
    }
    store->beginGroup(GroupOf(path));
    if (eraseFirst) {
        store->remove(QString());
    }
    for (const auto& [name, text] : values) {
        store->setValue(EncodeName(name), FromUtf8(text));
    }
    store->endGroup();
    return FinishWrite(*store);
}

Outcome SettingsStore::RemoveValue(std::string_view path, std::string_view name) {
    OpenStore store;
    if (Outcome ready = PrepareWrite(*store); !ready) {
        return ready;
    }
    store->remove(KeyOf(path, name));
    return FinishWrite(*store);
}

Outcome SettingsStore::EraseSection(std::string_view path) {
    return SetValues(path, {}, true);
}

int SettingsStore::ReadInt(std::string_view path, std::string_view name, int defaultValue) const {
    const std::optional<std::string> text = Value(path, name);
    const std::optional<int> value = text ? ParseStoredInt(*text) : std::nullopt;
    return value.value_or(defaultValue);
}

bool SettingsStore::ReadBool(std::string_view path, std::string_view name,
                             bool defaultValue) const {
    return ReadInt(path, name, defaultValue ? 1 : 0) != 0;
}

Outcome SettingsStore::WriteInt(std::string_view path, std::string_view name, int value) {
    return SetValue(path, name, std::to_string(value));
}

Outcome SettingsStore::WriteBool(std::string_view path, std::string_view name, bool value) {
    return SetValue(path, name, value ? "1" : "0");
}

bool SettingsStore::ReadBool(Setting setting) const {
    return ReadInt(setting) != 0;
}

int SettingsStore::ReadInt(Setting setting) const {
    const SettingDef& def = DefOf(setting);
    return ReadInt(def.path, def.name, ParseStoredInt(def.defaultValue).value_or(0));
}

std::string SettingsStore::ReadText(Setting setting) const {
    const SettingDef& def = DefOf(setting);
    const std::optional<std::string> text = Value(def.path, def.name);
    return FromStoreText(def.type, text ? *text : def.defaultValue);
}

Outcome SettingsStore::WriteBool(Setting setting, bool value) {
    const SettingDef& def = DefOf(setting);
    return WriteBool(def.path, def.name, value);
}

Outcome SettingsStore::WriteInt(Setting setting, int value) {
    const SettingDef& def = DefOf(setting);
    return WriteInt(def.path, def.name, value);
}

Outcome SettingsStore::WriteText(Setting setting, std::string_view text) {
    const SettingDef& def = DefOf(setting);
    return SetValue(def.path, def.name, ToStoreText(def.type, text));
}

std::optional<int> ParseStoredInt(std::string_view text) {
    const std::string_view t = TrimView(text);
    if (t.size() > 2 && t[0] == '0' && (t[1] == 'x' || t[1] == 'X')) {
        // Up to 32 bits, as the registry's integers: 0xFFFFFFFF is -1.
        std::uint32_t value = 0;
        const char* end = t.data() + t.size();
        const auto [stop, error] = std::from_chars(t.data() + 2, end, value, 16);
        if (error != std::errc() || stop != end) {
            return std::nullopt;
        }
        return static_cast<int>(value);
    }
    return ParseInt(t, true);
}

std::string ToStoreText(SettingType type, std::string_view text) {
    return type == SettingType::Text ? Cp1252ToUtf8(text) : std::string(text);
}

std::string FromStoreText(SettingType type, std::string_view stored) {
    return type == SettingType::Text ? Utf8ToCp1252(stored) : std::string(stored);
}

Outcome IndexOutOfRange(int index, int count, std::string_view what) {
    return Outcome::Error(Msg(msg::Settings::IndexOutOfRange, std::to_string(index),
                              std::to_string(count - 1), what));
}

bool ResortAfterChange(const SettingsStore& store, int referenceCount) {
    switch (store.ReadInt(Setting::ResortAlways)) {
    case 1:
        return true;
    case 2:
        return referenceCount < store.ReadInt(Setting::ResortLimit);
    default:
        return false;
    }
}

} // namespace cvx
