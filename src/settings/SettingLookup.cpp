#include "settings/SettingLookup.h"

#include "settings/DefaultDirectories.h"
#include "settings/FontSettings.h"
#include "settings/HistoryLists.h"
#include "settings/NameLists.h"
#include "settings/WindowPositions.h"
#include "text/Catalogue.h"
#include "text/Cp1252.h"
#include "text/StringPrimitives.h"

#include <QString>

#include <array>

namespace cvx {

namespace {

using Family = SettingInfo::Family;

bool SameName(std::string_view a, std::string_view b) {
    return QString::fromUtf8(a.data(), static_cast<qsizetype>(a.size()))
               .compare(QString::fromUtf8(b.data(), static_cast<qsizetype>(b.size())),
                        Qt::CaseInsensitive) == 0;
}

// The values of a font slot's section, with what a reader gets from an empty section.
struct FontValue {
    std::string_view name;
    SettingType type;
    std::string_view defaultValue;
};
constexpr std::array<FontValue, 5> kFontValues = {
    FontValue{"Name", SettingType::Text, "Arial"}, FontValue{"Height", SettingType::Integer, "8"},
    FontValue{"Style", SettingType::Text, ""}, FontValue{"Size", SettingType::Integer, ""},
    FontValue{"Color", SettingType::Colour, ""}};

struct WindowValue {
    std::string_view name;
    SettingType type;
    std::string_view defaultValue;
};
constexpr std::array<WindowValue, 5> kWindowValues = {
    WindowValue{"Top x", SettingType::Integer, "-1000"},
    WindowValue{"Top y", SettingType::Integer, "-1000"},
    WindowValue{"HW x", SettingType::Integer, "-1000"},
    WindowValue{"HW y", SettingType::Integer, "-1000"},
    WindowValue{"Max", SettingType::Boolean, "0"}};

constexpr std::array<std::string_view, 2> kNameListSections = {kRecentFilesSection,
                                                               kLastOpenedSection};

SettingInfo Info(std::string path, std::string_view name, SettingType type,
                 std::string defaultValue, Family family, int index = 0) {
    return {std::move(path), std::string(name), type, std::move(defaultValue), family, index};
}

void AddFontRows(std::vector<SettingInfo>& rows) {
    for (int slot = 0; slot < kFontSlotCount; ++slot) {
        for (const FontValue& v : kFontValues) {
            rows.push_back(Info(FontSectionPath(slot), v.name, v.type, std::string(v.defaultValue),
                                Family::Font, slot));
        }
    }
    for (int slot = 0; slot < kBackgroundSlotCount; ++slot) {
        rows.push_back(Info(std::string(kBackgroundsPath), FontSlotName(slot), SettingType::Colour,
                            "-1", Family::Background, slot));
    }
}

void AddWindowRows(std::vector<SettingInfo>& rows) {
    for (int w = 0; w < kWindowCount; ++w) {
        for (const WindowValue& v : kWindowValues) {
            rows.push_back(Info(WindowSectionPath(w), v.name, v.type, std::string(v.defaultValue),
                                Family::Window, w));
        }
    }
}

void AddFileRows(std::vector<SettingInfo>& rows) {
    for (int d = 0; d < kDefaultDirectoryCount; ++d) {
        const auto kind = static_cast<DefaultDirectoryKind>(d);
        rows.push_back(Info(std::string(kDefaultDirectoriesPath), DefaultDirectoryName(kind),
                            SettingType::FileName, DefaultDirectoryFallback(kind),
                            Family::Directory, d));
    }
    for (int f = 0; f < kSpecificFileCount; ++f) {
        rows.push_back(Info(std::string(kSpecificFilesPath),
                            SpecificFileName(static_cast<SpecificFileKind>(f)),
                            SettingType::FileName, "", Family::SpecificFile, f));
    }
    for (const std::string_view section : kNameListSections) {
        rows.push_back(Info("Strings\\" + std::string(section), "Count", SettingType::Integer, "0",
                            Family::NameList));
    }
}

// A name "0", "1", ... as the lists number their values.
std::optional<int> SlotNumber(std::string_view name) {
    const std::optional<int> n = ParseInt(name, true);
    return n && *n >= 0 && std::to_string(*n) == name ? n : std::nullopt;
}

std::optional<SettingInfo> FindListSetting(std::string_view path, std::string_view name) {
    for (const std::string_view section : kNameListSections) {
        const std::string listPath = "Strings\\" + std::string(section);
        if (SameName(path, listPath) && SlotNumber(name)) {
            return Info(listPath, name, SettingType::FileName,
                        section == kRecentFilesSection ? " " : "", Family::NameList);
        }
    }
    for (int l = 0; l < kHistoryListCount; ++l) {
        const auto list = static_cast<HistoryList>(l);
        const std::optional<int> slot = SlotNumber(name);
        if (SameName(path, HistorySectionPath(list)) && slot && *slot < kHistorySlots) {
            return Info(HistorySectionPath(list), name, HistoryEntryType(list), "", Family::History,
                        l);
        }
    }
    for (const std::string_view userPath : {kFileGroupsPath, kThesaurusPath}) {
        if (SameName(path, userPath) && !name.empty()) {
            return Info(std::string(userPath), name, SettingType::Text, "", Family::UserData);
        }
    }
    return std::nullopt;
}

std::string FontValueText(const FontSpec& font, std::string_view name) {
    auto number = [](const std::optional<int>& v) { return v ? std::to_string(*v) : ""; };
    if (name == "Name") {
        return font.name.value_or("");
    }
    if (name == "Height") {
        return number(font.height);
    }
    if (name == "Style") {
        return font.style ? FontStyleText(*font.style) : "";
    }
    if (name == "Size") {
        return number(font.size);
    }
    return number(font.color);
}

// The user-data value's stored spelling, or the name as given.
std::string UserDataName(const SettingsStore& store, const SettingInfo& setting) {
    std::vector<std::string> spellings = store.StoredSpellings(setting.path, setting.name);
    if (spellings.empty()) {
        return std::string(setting.name);
    }
    return std::move(spellings.front());
}

} // namespace

std::vector<SettingInfo> KnownSettings() {
    std::vector<SettingInfo> rows;
    for (const SettingDef& def : SettingTable()) {
        rows.push_back(Info(std::string(def.path), def.name, def.type,
                            std::string(def.defaultValue), Family::Table));
    }
    AddFontRows(rows);
    AddWindowRows(rows);
    AddFileRows(rows);
    return rows;
}

std::optional<SettingInfo> FindSetting(std::string_view path, std::string_view name) {
    for (SettingInfo& row : KnownSettings()) {
        if (SameName(row.path, path) && SameName(row.name, name)) {
            return std::move(row);
        }
    }
    return FindListSetting(path, name);
}

std::string SettingValueText(const SettingsStore& store, const SettingInfo& setting) {
    switch (setting.family) {
    case Family::Font:
        return FontValueText(ReadFont(store, setting.index), setting.name);
    case Family::Directory:
        return DefaultDirectory(store, static_cast<DefaultDirectoryKind>(setting.index));
    case Family::UserData:
        return store.Value(setting.path, UserDataName(store, setting)).value_or("");
    default:
        break;
    }
    if (IsNumeric(setting.type)) {
        const std::optional<std::string> stored = store.Value(setting.path, setting.name);
        std::optional<int> value = stored ? ParseStoredInt(*stored) : std::nullopt;
        if (!value) {
            value = ParseStoredInt(setting.defaultValue);
        }
        if (!value) {
            return "";
        }
        if (setting.type == SettingType::Boolean) {
            return *value != 0 ? "1" : "0";
        }
        return std::to_string(*value);
    }
    return store.Value(setting.path, setting.name).value_or(setting.defaultValue);
}

Outcome WriteSettingText(SettingsStore& store, const SettingInfo& setting, std::string_view text) {
    std::string stored(text);
    if (IsNumeric(setting.type)) {
        const std::optional<int> value = ParseStoredInt(text);
        if (!value) {
            return Outcome::Error(
                Msg(msg::Settings::NotAnInteger, Utf8ToCp1252(text), Utf8ToCp1252(setting.name)));
        }
        stored = setting.type == SettingType::Boolean ? (*value != 0 ? "1" : "0")
                                                      : std::to_string(*value);
    }
    switch (setting.family) {
    case Family::Directory:
    case Family::SpecificFile:
        if (text.empty()) {
            return Outcome::Error(
                Msg(msg::Settings::EmptyNameNotStored, Utf8ToCp1252(setting.name)));
        }
        break;
    case Family::UserData:
        return store.SetValue(setting.path, UserDataName(store, setting), stored);
    default:
        break;
    }
    return store.SetValue(setting.path, setting.name, stored);
}

} // namespace cvx
