#pragma once
// The per-user settings store: QSettings for organisation "Brimso" and application "Citavox" in
// the platform's native format (the registry on Windows, a configuration file here). Nothing is
// cached: every call opens the store, reads or writes a few values and closes it again, so a
// change is visible to the next reader at once, in this process or another.
//
// Addresses are a path (key and section joined by "\", as in the settings table) and a value
// name. Every value is stored as text. Value names may be user data (file-group names, thesaurus
// words) and hold any character: "/", "\" and "%" are stored as "%2F", "%5C" and "%25" because
// QSettings reads the first two as group separators.

#include "settings/SettingsTable.h"
#include "text/Outcome.h"

#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace cvx {

using SettingValues = std::vector<std::pair<std::string, std::string>>; // name, UTF-8 text

class SettingsStore {
public:
    enum class Health {
        Fine,       // missing or readable
        Damaged,    // partly unreadable: readable values count, the rest read as defaults
        Unreadable, // every value reads as its default, and nothing can be written
    };

    // The user's store.
    SettingsStore() = default;

    Health Check() const;
    // Where the store lives (UTF-8), for messages.
    std::string Location() const;
    // Where a damaged store is kept before it is written anew.
    std::string DamagedCopyLocation() const;

    // ---- Values as stored (UTF-8) ----
    // nullopt when the value is missing or is not text (a value some other program stored with
    // a type of its own).
    std::optional<std::string> Value(std::string_view path, std::string_view name) const;
    // The values of one section, in the store's order; names decoded.
    SettingValues SectionValues(std::string_view path) const;
    std::vector<std::string> ValueNames(std::string_view path) const;
    // The stored spellings of a user-data value name, compared ignoring case as the registry
    // compares names; the exact spelling first. Empty when the section has no such value.
    std::vector<std::string> StoredSpellings(std::string_view path, std::string_view name) const;
    std::vector<std::string> SectionNames(std::string_view path) const;
    // Every section path (in the table's "\" form) that holds values, sorted.
    std::vector<std::string> AllSectionPaths() const;

    // Writing creates the key and section. An empty value name cannot be stored. When the store is
    // damaged it is first copied to DamagedCopyLocation(), since writing rewrites it whole and
    // would drop what could not be read.
    Outcome SetValue(std::string_view path, std::string_view name, std::string_view text);
    // Writes several values of one section at once; with eraseFirst the section (and the
    // sections below it) is erased before.
    Outcome SetValues(std::string_view path, const SettingValues& values, bool eraseFirst);
    Outcome RemoveValue(std::string_view path, std::string_view name);
    Outcome EraseSection(std::string_view path);

    // ---- Typed values anywhere (the store's encoding) ----
    int ReadInt(std::string_view path, std::string_view name, int defaultValue) const;
    bool ReadBool(std::string_view path, std::string_view name, bool defaultValue) const;
    Outcome WriteInt(std::string_view path, std::string_view name, int value);
    Outcome WriteBool(std::string_view path, std::string_view name, bool value);

    // ---- The settings of the table ----
    bool ReadBool(Setting setting) const;
    int ReadInt(Setting setting) const; // Integer, Colour and Boolean settings
    // Text settings in code page 1252, FileName settings in UTF-8.
    std::string ReadText(Setting setting) const;
    Outcome WriteBool(Setting setting, bool value);
    Outcome WriteInt(Setting setting, int value);
    Outcome WriteText(Setting setting, std::string_view text);
};

// An integer as the store reads it: decimal, or hexadecimal after "0x"/"0X" when the text is
// longer than two characters; nullopt for anything else.
std::optional<int> ParseStoredInt(std::string_view text);

// Program text (code page 1252) and the store's UTF-8, for settings of the given type.
std::string ToStoreText(SettingType type, std::string_view text);
std::string FromStoreText(SettingType type, std::string_view stored);

// The failure of a write addressed by an index outside 0..count-1 of the family `what`.
Outcome IndexOutOfRange(int index, int count, std::string_view what);

// Whether the display is re-sorted after a change to a file of `referenceCount` references:
// "Resort always" 1, or 2 while the count is below "Resort limit".
bool ResortAfterChange(const SettingsStore& store, int referenceCount);

} // namespace cvx
