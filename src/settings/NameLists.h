#pragma once
// The lists of names in the settings store: the recent-files and reopen lists below "Strings",
// the file groups ("Multifile groups") and the search thesaurus ("Thesaurus list").
//
// File names are UTF-8; group names, thesaurus words and synonyms are program text (code page
// 1252). Group names and thesaurus words are value names and are found ignoring case, as the
// registry finds them; writing keeps the spelling already stored.

#include "settings/SettingsStore.h"

#include <string>
#include <string_view>
#include <vector>

namespace cvx {

inline constexpr std::string_view kRecentFilesSection = "Recent reference files";
inline constexpr std::string_view kLastOpenedSection = "Last opened files";
inline constexpr std::string_view kFileGroupsPath = "Multifile groups";
inline constexpr std::string_view kThesaurusPath = "Thesaurus list";

// A damaged "Count" never makes a list longer than this.
inline constexpr int kMaxNameListLength = 1000;

// "Strings\<section>": "Count" names, values "0" to Count - 1. A missing name reads as " " in the
// recent-files list and as empty in the others.
std::vector<std::string> ReadNameList(const SettingsStore& store, std::string_view section);
// Erases the section, then writes "Count" and the names in order.
Outcome WriteNameList(SettingsStore& store, std::string_view section,
                      const std::vector<std::string>& names);

std::vector<std::string> FileGroupNames(const SettingsStore& store);
// The members in stored order. The value holds them joined by "?", each trimmed, up to the first
// empty one; a group whose value is missing or empty has one member, the group name itself.
std::vector<std::string> FileGroupMembers(const SettingsStore& store, std::string_view group);
// Stores the members joined by "?" (empty members are left out). A "?" or "%" inside a name and
// blanks at its ends are stored as "%3F", "%25" and "%XX", so every file name reads back as it
// was written.
Outcome WriteFileGroup(SettingsStore& store, std::string_view group,
                       const std::vector<std::string>& members);
Outcome DeleteFileGroup(SettingsStore& store, std::string_view group);

std::vector<std::string> ThesaurusWords(const SettingsStore& store);
// The synonyms: the value split at blanks and commas, runs of separators counting as one.
std::vector<std::string> ThesaurusSynonyms(const SettingsStore& store, std::string_view word);
// Stores the synonyms joined by ", ".
Outcome WriteThesaurusEntry(SettingsStore& store, std::string_view word,
                            const std::vector<std::string>& synonyms);
Outcome DeleteThesaurusEntry(SettingsStore& store, std::string_view word);

// One file-group member as stored inside the "?"-joined value, and back.
std::string EncodeGroupMember(std::string_view fileName);
std::string DecodeGroupMember(std::string_view stored);

} // namespace cvx
