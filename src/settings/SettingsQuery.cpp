#include "settings/SettingsQuery.h"

#include "settings/SettingLookup.h"
#include "text/Catalogue.h"
#include "text/Cp1252.h"
#include "text/FileNames.h"
#include "text/StringPrimitives.h"

#include <QString>

#include <algorithm>

namespace cvx {

namespace {

// Whether `path` is `top` or lies below it, compared ignoring case as the registry compares.
bool IsUnder(std::string_view path, std::string_view top) {
    const QString p = QString::fromUtf8(path.data(), static_cast<qsizetype>(path.size()));
    const QString t = QString::fromUtf8(top.data(), static_cast<qsizetype>(top.size()));
    return top.empty() || p.compare(t, Qt::CaseInsensitive) == 0 ||
           p.startsWith(t + QLatin1Char('\\'), Qt::CaseInsensitive);
}

Outcome NoSuchSetting(std::string_view path, std::string_view name) {
    return Outcome::Error(
        Msg(msg::Settings::NoSuchSetting, Utf8ToCp1252(path), Utf8ToCp1252(name)));
}

} // namespace

std::string SettingPathAsTyped(std::string_view typed) {
    std::string path = ReplaceAll(typed, "/", "\\");
    while (!path.empty() && path.back() == '\\') {
        path.pop_back();
    }
    while (!path.empty() && path.front() == '\\') {
        path.erase(0, 1);
    }
    return path;
}

std::string StoreHealthWarning(const SettingsStore& store) {
    switch (store.Check()) {
    case SettingsStore::Health::Unreadable:
        return Msg(msg::Settings::CannotRead, DisplayPath(store.Location()));
    case SettingsStore::Health::Damaged:
        return Msg(msg::Settings::Damaged, DisplayPath(store.Location()));
    case SettingsStore::Health::Fine:
        break;
    }
    return {};
}

Outcome ReadSettingByName(const SettingsStore& store, std::string_view path, std::string_view name,
                          std::string& value) {
    if (const std::optional<SettingInfo> setting = FindSetting(path, name)) {
        value = SettingValueText(store, *setting);
        return Outcome::Ok();
    }
    if (std::optional<std::string> stored = store.Value(path, name)) {
        value = std::move(*stored);
        return Outcome::Ok();
    }
    return NoSuchSetting(path, name);
}

Outcome WriteSettingByName(SettingsStore& store, std::string_view path, std::string_view name,
                           std::string_view value, std::string& notice) {
    notice.clear();
    const std::optional<SettingInfo> setting = FindSetting(path, name);
    if (!setting) {
        return NoSuchSetting(path, name);
    }
    const bool damaged = store.Check() == SettingsStore::Health::Damaged;
    if (Outcome written = WriteSettingText(store, *setting, value); !written) {
        return written;
    }
    if (damaged) {
        notice = Msg(msg::Settings::DamagedFileKept, DisplayPath(store.Location()),
                     DisplayPath(store.DamagedCopyLocation()));
    }
    return Outcome::Ok();
}

std::vector<ListedSetting> ListSettings(const SettingsStore& store, std::string_view top) {
    const std::vector<SettingInfo> known = KnownSettings();
    std::vector<ListedSetting> list;
    for (const SettingInfo& setting : known) {
        if (IsUnder(setting.path, top)) {
            list.push_back({setting.path, setting.name, SettingValueText(store, setting)});
        }
    }
    for (const std::string& path : store.AllSectionPaths()) {
        if (!IsUnder(path, top)) {
            continue;
        }
        for (const std::string& name : store.ValueNames(path)) {
            const bool listed = std::any_of(known.begin(), known.end(), [&](const SettingInfo& s) {
                return s.path == path && s.name == name;
            });
            if (listed) {
                continue;
            }
            const std::optional<SettingInfo> setting = FindSetting(path, name);
            if (setting && setting->path == path && setting->name == name) {
                list.push_back({path, name, SettingValueText(store, *setting)});
            } else {
                list.push_back({path, name, store.Value(path, name).value_or("")});
            }
        }
    }
    return list;
}

} // namespace cvx
