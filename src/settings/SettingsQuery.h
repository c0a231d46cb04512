#pragma once
// The settings as a tool that names them by path and value name sees them (the command line):
// reading and writing one value as text, listing every value under a path, and what to tell the
// user about a store that is not sound.

#include "settings/SettingsStore.h"

#include <string>
#include <string_view>
#include <vector>

namespace cvx {

// A path as a user types it: "/" stands for "\", and separators at its ends are dropped.
std::string SettingPathAsTyped(std::string_view typed);

// What to tell the user about the store before reading it (code page 1252): empty while it is
// sound; reading goes on with defaults either way.
std::string StoreHealthWarning(const SettingsStore& store);

// The value at a path and name as text (UTF-8): a known setting's value (its default while none is
// stored), or a value this version does not know, left by another version or by hand; fails when
// there is neither.
Outcome ReadSettingByName(const SettingsStore& store, std::string_view path, std::string_view name,
                          std::string& value);

// Stores a value given as text (UTF-8) at a known path and name. When the store was damaged it
// is kept aside first, and `notice` tells where (code page 1252); otherwise `notice` is empty.
Outcome WriteSettingByName(SettingsStore& store, std::string_view path, std::string_view name,
                           std::string_view value, std::string& notice);

struct ListedSetting {
    std::string path; // the table's spelling, "\" between the levels
    std::string name;
    std::string value; // UTF-8
};

// Every value under `top` (compared ignoring case; empty: the whole store): the known settings
// in table order with their values or defaults, then what else the store holds (user data,
// list entries, values this version does not know).
std::vector<ListedSetting> ListSettings(const SettingsStore& store, std::string_view top);

} // namespace cvx
