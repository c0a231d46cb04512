#include "cli/SettingsCommands.h"

#include "settings/SettingsQuery.h"
#include "settings/SettingsStore.h"
#include "text/Cp1252.h"

#include <iostream>

namespace cvx::cli {

namespace {

// Reading goes on with defaults whatever the state of the store; say so when it is not sound.
void WarnAboutStore(const SettingsStore& store) {
    if (const std::string warning = StoreHealthWarning(store); !warning.empty()) {
        Fail(warning);
    }
}

void PrintUtf8Line(std::string_view text) {
    std::cout << text << '\n';
}

int Get(const std::string& path, const std::string& name) {
    const SettingsStore store;
    WarnAboutStore(store);
    std::string value;
    if (Outcome r = ReadSettingByName(store, path, name, value); !r) {
        return Fail(r);
    }
    PrintUtf8Line(value);
    return kSuccess;
}

int Set(const std::string& path, const std::string& name, const std::string& value) {
    SettingsStore store;
    std::string notice;
    if (Outcome written = WriteSettingByName(store, path, name, value, notice); !written) {
        return Fail(written);
    }
    if (!notice.empty()) {
        Fail(notice);
    }
    return kSuccess;
}

int List(const std::string& top) {
    const SettingsStore store;
    WarnAboutStore(store);
    const std::vector<ListedSetting> list = ListSettings(store, top);
    if (list.empty()) {
        return Fail(Msg(msg::Settings::NoSettings, Utf8ToCp1252(top)));
    }
    for (const ListedSetting& s : list) {
        PrintUtf8Line(s.path + "\t" + s.name + "\t" + s.value);
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
        return Get(SettingPathAsTyped(pos[1]), pos[2]);
    }
    if (verb == "set" && pos.size() == 4) {
        return Set(SettingPathAsTyped(pos[1]), pos[2], pos[3]);
    }
    if (verb == "list" && pos.size() <= 2) {
        return List(pos.size() == 2 ? SettingPathAsTyped(pos[1]) : std::string());
    }
    return Usage({msg::Cli::UsageSettings});
}

} // namespace cvx::cli
