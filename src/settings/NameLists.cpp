#include "settings/NameLists.h"

#include "text/CaseMapping.h"
#include "text/Cp1252.h"
#include "text/StringPrimitives.h"

#include <algorithm>

namespace cvx {

namespace {

std::string StringsPath(std::string_view section) {
    return "Strings\\" + std::string(section);
}

// The stored spelling of a user-data name given as program text, or the name itself (UTF-8).
std::string SpellingOf(const SettingsStore& store, std::string_view path, std::string_view name) {
    std::vector<std::string> stored = store.StoredSpellings(path, Cp1252ToUtf8(name));
    return stored.empty() ? Cp1252ToUtf8(name) : std::move(stored.front());
}

std::vector<std::string> NamesOf(const SettingsStore& store, std::string_view path) {
    std::vector<std::string> names = store.ValueNames(path);
    for (std::string& name : names) {
        name = Utf8ToCp1252(name);
    }
    return names;
}

Outcome RemoveAllSpellings(SettingsStore& store, std::string_view path, std::string_view name) {
    for (const std::string& stored : store.StoredSpellings(path, Cp1252ToUtf8(name))) {
        if (Outcome removed = store.RemoveValue(path, stored); !removed) {
            return removed;
        }
    }
    return Outcome::Ok();
}

} // namespace

std::vector<std::string> ReadNameList(const SettingsStore& store, std::string_view section) {
    const std::string path = StringsPath(section);
    const int count = std::clamp(store.ReadInt(path, "Count", 0), 0, kMaxNameListLength);
    const std::string missing = section == kRecentFilesSection ? " " : "";
    std::vector<std::string> names;
    names.reserve(static_cast<std::size_t>(count));
    for (int i = 0; i < count; ++i) {
        names.push_back(store.Value(path, std::to_string(i)).value_or(missing));
    }
    return names;
}

Outcome WriteNameList(SettingsStore& store, std::string_view section,
                      const std::vector<std::string>& names) {
    SettingValues values = {{"Count", std::to_string(names.size())}};
    for (std::size_t i = 0; i < names.size(); ++i) {
        values.emplace_back(std::to_string(i), names[i]);
    }
    return store.SetValues(StringsPath(section), values, true);
}

std::string EncodeGroupMember(std::string_view fileName) {
    std::size_t first = 0;
    while (first < fileName.size() && IsBlank(fileName[first])) {
        ++first;
    }
    std::size_t last = fileName.size();
    while (last > first && IsBlank(fileName[last - 1])) {
        --last;
    }
    std::string out;
    for (std::size_t i = 0; i < fileName.size(); ++i) {
        const char c = fileName[i];
        if (c == '%' || c == '?' || i < first || i >= last) {
            out += '%' + HexByte(static_cast<unsigned char>(c));
        } else {
            out += c;
        }
    }
    return out;
}

std::string DecodeGroupMember(std::string_view stored) {
    std::string out;
    for (std::size_t i = 0; i < stored.size(); ++i) {
        if (stored[i] == '%' && i + 2 < stored.size() && HexDigitValue(stored[i + 1]) >= 0 &&
            HexDigitValue(stored[i + 2]) >= 0) {
            const char c =
                static_cast<char>(HexDigitValue(stored[i + 1]) * 16 + HexDigitValue(stored[i + 2]));
            // Only what EncodeGroupMember writes, so a "%" of a name stored by another program
            // stays as it is.
            if (c == '%' || c == '?' || IsBlank(c)) {
                out += c;
                i += 2;
                continue;
            }
        }
        out += stored[i];
    }
    return out;
}

std::vector<std::string> FileGroupNames(const SettingsStore& store) {
    return NamesOf(store, kFileGroupsPath);
}

std::vector<std::string> FileGroupMembers(const SettingsStore& store, std::string_view group) {
    const std::string value =
        store.Value(kFileGroupsPath, SpellingOf(store, kFileGroupsPath, group)).value_or("");
    if (value.empty()) {
        return {Cp1252ToUtf8(group)};
    }
    std::vector<std::string> members;
    std::size_t start = 0;
    while (start <= value.size()) {
        const std::size_t end = std::min(value.find('?', start), value.size());
        const std::string_view member =
            TrimView(std::string_view(value).substr(start, end - start));
        if (member.empty()) {
            break;
        }
        members.push_back(DecodeGroupMember(member));
        start = end + 1;
    }
    return members;
}

Outcome WriteFileGroup(SettingsStore& store, std::string_view group,
                       const std::vector<std::string>& members) {
    std::string value;
    for (const std::string& member : members) {
        if (!member.empty()) {
            value += (value.empty() ? "" : "?") + EncodeGroupMember(member);
        }
    }
    return store.SetValue(kFileGroupsPath, SpellingOf(store, kFileGroupsPath, group), value);
}

Outcome DeleteFileGroup(SettingsStore& store, std::string_view group) {
    return RemoveAllSpellings(store, kFileGroupsPath, group);
}

std::vector<std::string> ThesaurusWords(const SettingsStore& store) {
    return NamesOf(store, kThesaurusPath);
}

std::vector<std::string> ThesaurusSynonyms(const SettingsStore& store, std::string_view word) {
    const std::string value = Utf8ToCp1252(
        store.Value(kThesaurusPath, SpellingOf(store, kThesaurusPath, word)).value_or(""));
    std::vector<std::string> synonyms;
    std::string current;
    for (const char c : value) {
        if (IsBlank(c) || c == ',') {
            if (!current.empty()) {
                synonyms.push_back(std::move(current));
                current.clear();
            }
        } else {
            current += c;
        }
    }
    if (!current.empty()) {
        synonyms.push_back(std::move(current));
    }
    return synonyms;
}

Outcome WriteThesaurusEntry(SettingsStore& store, std::string_view word,
                            const std::vector<std::string>& synonyms) {
    std::string value;
    for (const std::string& synonym : synonyms) {
        value += (value.empty() ? "" : ", ") + synonym;
    }
    return store.SetValue(kThesaurusPath, SpellingOf(store, kThesaurusPath, word),
                          Cp1252ToUtf8(value));
}

Outcome DeleteThesaurusEntry(SettingsStore& store, std::string_view word) {
    return RemoveAllSpellings(store, kThesaurusPath, word);
}

} // namespace cvx
