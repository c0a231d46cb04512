#include "cli/SettingsCommands.h"

#include "settings/SettingLookup.h"
#include "settings/SettingsStore.h"
#include "text/Cp1252.h"
#include "text/FileNames.h"
#include "text/StringPrimitives.h"

#include <QString>

#include <iostream>

namespace cvx::cli {

namespace {

// A path as typed: "/" is accepted for "\", and separators at the ends are dropped.
std::string NormalPath(std::string_view typed) {
    std::string path = ReplaceAll(typed, "/", "\\");
    while (!path.empty() && path.back() == '\\') {
        path.pop_back();
    }
    while (!path.empty() && path.front() == '\\') {
        path.erase(0, 1);
    }
    return path;
}

bool IsUnder(std::string_view path, std::string_view top) {
    const QString p = QString::fromUtf8(path.data(), static_cast<qsizetype>(path.size()));
    const QString t = QString::fromUtf8(top.data(), static_cast<qsizetype>(top.size()));
    return top.empty() || p.compare(t, Qt::CaseInsensitive) == 0 ||
           p.startsWith(t + QLatin1Char('\\'), Qt::CaseInsensitive);
}

// Reading goes on with defaults whatever the state of the store; say so when it is not sound.
void WarnAboutStore(const SettingsStore& store) {
    switch (store.Check()) {
    case SettingsStore::Health::Unreadable:
        Fail(Msg(msg::Settings::CannotRead, DisplayPath(store.Location())));
        break;
    case SettingsStore::Health::Damaged:
        Fail(Msg(msg::Settings::Damaged, DisplayPath(store.Location())));
        break;
    case SettingsStore::Health::Fine:
        break;
    }
}

void PrintUtf8Line(std::string_view text) {
    std::cout << text << '\n';
}

int Get(const std::string& path, const std::string& name) {
    const SettingsStore store;
    WarnAboutStore(store);
    if (const std::optional<SettingInfo> setting = FindSetting(path, name)) {
        PrintUtf8Line(SettingValueText(store, *setting));
        return kSuccess;
    }
    // A value this version does not know, left by another one or by hand.
    if (const std::optional<std::string> stored = store.Value(path, name)) {
        PrintUtf8Line(*stored);
        return kSuccess;
    }
    return Fail(Msg(msg::Settings::NoSuchSetting, Utf8ToCp1252(path), Utf8ToCp1252(name)));
}

int Set(const std::string& path, const std::string& name, const std::string& value) {
    const std::optional<SettingInfo> setting = FindSetting(path, name);
    if (!setting) {
        return Fail(Msg(msg::Settings::NoSuchSetting, Utf8ToCp1252(path), Utf8ToCp1252(name)));
    }
    SettingsStore store;
    const bool damaged = store.Check() == SettingsStore::Health::Damaged;
    if (Outcome written = WriteSettingText(store, *setting, value); !written) {
        return Fail(written);
    }
    if (damaged) {
        Fail(Msg(msg::Settings::DamagedFileKept, DisplayPath(store.Location()),
                 DisplayPath(store.DamagedCopyLocation())));
    }
    return kSuccess;
}

int List(const std::string& top) {
    const SettingsStore store;
    WarnAboutStore(store);
    std::vector<SettingInfo> known = KnownSettings();
    std::size_t printed = 0;
    auto print = [&](std::string_view path, std::string_view name, std::string_view value) {
        PrintUtf8Line(std::string(path) + "\t" + std::string(name) + "\t" + std::string(value));
        ++printed;
    };
    for (const SettingInfo& setting : known) {
        if (IsUnder(setting.path, top)) {
            print(setting.path, setting.name, SettingValueText(store, setting));
        }
    }
    // What else the store holds: user data, list entries, and values this version does not know.
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
                print(path, name, SettingValueText(store, *setting));
            } else {
                print(path, name, store.Value(path, name).value_or(""));
            }
        }
    }
    if (printed == 0) {
        return Fail(Msg(msg::Settings::NoSettings, Utf8ToCp1252(top)));
    }
    return kSuccess;
}

} // namespace

int RunSettings(const Args& args) {
    const std::vector<std::string>& pos = args.Positional();
    if (pos.empty() || !args.Complete() || args.Unknown({})) {
        return Usage({msg::Cli::UsageSettings});
    }
    const std::string& verb = pos[0];
    if (verb == "get" && pos.size() == 3) {
        return Get(NormalPath(pos[1]), pos[2]);
    }
    if (verb == "set" && pos.size() == 4) {
        return Set(NormalPath(pos[1]), pos[2], pos[3]);
    }
    if (verb == "list" && pos.size() <= 2) {
        return List(pos.size() == 2 ? NormalPath(pos[1]) : std::string());
    }
    return Usage({msg::Cli::UsageSettings});
}

} // namespace cvx::cli
