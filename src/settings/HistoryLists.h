#pragma once
// The six history lists (search expressions, reprint numbers, destination files, file-name
// aliases): at most 21 entries each, kept in memory while the program runs and stored below
// "Strings" as the values "0" to "20".

#include "settings/SettingsStore.h"
#include "text/FileNames.h"

#include <array>
#include <string>
#include <string_view>
#include <vector>

namespace cvx {

enum class HistoryList : int {
    TagStrings,     // tagging expressions
    GetStrings,     // finding expressions
    LocateStrings,  // the locate dialog
    ReprintNumbers, // reprint numbers
    PickFile,       // destination files for appending
    FileAlias,      // file-name aliases
};
inline constexpr int kHistoryListCount = 6;
inline constexpr int kHistorySlots = static_cast<int>(RecentList::kCapacity);

// "Tag strings", "Get strings", "Locate strings", "Reprint numbers", "Pick file", "File alias".
std::string_view HistorySectionName(HistoryList list);
std::string HistorySectionPath(HistoryList list);
// Code page 1252 text for the expression and reprint-number lists, file names for the others.
SettingType HistoryEntryType(HistoryList list);

class HistoryLists {
public:
    // Each slot 0..20 is read; a value that is blank leaves its slot empty, any other is kept as
    // read.
    void LoadHistoryLists(const SettingsStore& store);
    // Each section is erased and the slots are written from "0" up to the first empty one.
    Outcome SaveHistoryLists(SettingsStore& store) const;

    // An entry equal to the text moves to the top; otherwise the text goes on top and the 21st
    // entry drops out. A blank text is not pushed: it would end the list at the next save.
    void PushHistory(HistoryList list, std::string_view text);
    // As PushHistory, but an entry with the same digit pattern (AB0123 and AB77) is the one
    // replaced.
    void PushReprintNumber(HistoryList list, std::string_view text);
    void ClearHistory(HistoryList list);

    // The entries up to the first empty slot.
    std::vector<std::string> Entries(HistoryList list) const;
    // Every slot up to the last used one; empty strings are empty slots.
    const std::deque<std::string>& Slots(HistoryList list) const;

private:
    RecentList& Of(HistoryList list) { return lists_[static_cast<std::size_t>(list)]; }
    const RecentList& Of(HistoryList list) const { return lists_[static_cast<std::size_t>(list)]; }

    std::array<RecentList, kHistoryListCount> lists_;
};

} // namespace cvx
