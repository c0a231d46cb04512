#pragma once
// Settings addressed by path and value name as text, for tools that name them (the command line):
// every value the store can hold, with its canonical spelling, type and default, whether it is a
// row of the settings table, a member of a family of sections (fonts, windows, directories, name
// and history lists) or user data (file groups, thesaurus words).

#include "settings/SettingsStore.h"

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace cvx {

struct SettingInfo {
    enum class Family {
        Table,        // a row of the settings table
        Font,         // a value of a font slot's section
        Background,   // a background colour
        Window,       // a value of a window position
        Directory,    // a default directory
        SpecificFile, // a named file of the program
        NameList,     // "Count" or a name of the recent-files and reopen lists
        History,      // a slot of a history list
        UserData,     // a file group or a thesaurus word
    };

    std::string path; // the spelling of the settings table
    std::string name;
    SettingType type;
    std::string defaultValue; // UTF-8, as the store would hold it
    Family family = Family::Table;
    int index = 0; // the slot, window or directory the value belongs to
};

// The setting at path and name, both compared ignoring case, as the registry compares them;
// nullopt when the store has no such setting.
std::optional<SettingInfo> FindSetting(std::string_view path, std::string_view name);

// Every setting with a fixed path and name, in table order, then the families.
std::vector<SettingInfo> KnownSettings();

// The value as a reader gets it (UTF-8): numbers in decimal, the default when the value is
// missing or unreadable.
std::string SettingValueText(const SettingsStore& store, const SettingInfo& setting);

// Stores a value given as text (UTF-8): numbers must read as integers and are stored in decimal,
// booleans as 0 or 1.
Outcome WriteSettingText(SettingsStore& store, const SettingInfo& setting, std::string_view text);

} // namespace cvx
