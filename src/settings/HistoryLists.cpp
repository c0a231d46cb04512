#include "settings/HistoryLists.h"

#include "text/StringPrimitives.h"

namespace cvx {

namespace {

constexpr std::array<std::string_view, kHistoryListCount> kSectionNames = {
    "Tag strings", "Get strings", "Locate strings", "Reprint numbers", "Pick file", "File alias"};

} // namespace

std::string_view HistorySectionName(HistoryList list) {
    return kSectionNames[static_cast<std::size_t>(list)];
}

std::string HistorySectionPath(HistoryList list) {
    return "Strings\\" + std::string(HistorySectionName(list));
}

SettingType HistoryEntryType(HistoryList list) {
    return list == HistoryList::PickFile || list == HistoryList::FileAlias ? SettingType::FileName
                                                                           : SettingType::Text;
}

void HistoryLists::LoadHistoryLists(const SettingsStore& store) {
    for (int l = 0; l < kHistoryListCount; ++l) {
        const auto list = static_cast<HistoryList>(l);
        const SettingValues stored = store.SectionValues(HistorySectionPath(list));
        std::deque<std::string> slots(kHistorySlots);
        for (const auto& [name, text] : stored) {
            const std::optional<int> index = ParseInt(name, true);
            if (index && *index >= 0 && *index < kHistorySlots && std::to_string(*index) == name &&
                !TrimView(text).empty()) {
                slots[*index] = FromStoreText(HistoryEntryType(list), text);
            }
        }
        while (!slots.empty() && slots.back().empty()) {
            slots.pop_back();
        }
        Of(list).Assign(std::move(slots));
    }
}

Outcome HistoryLists::SaveHistoryLists(SettingsStore& store) const {
    for (int l = 0; l < kHistoryListCount; ++l) {
        const auto list = static_cast<HistoryList>(l);
        SettingValues values;
        for (const std::string& entry : Entries(list)) {
            values.emplace_back(std::to_string(values.size()),
                                ToStoreText(HistoryEntryType(list), entry));
        }
        if (Outcome saved = store.SetValues(HistorySectionPath(list), values, true); !saved) {
            return saved;
        }
    }
    return Outcome::Ok();
}

void HistoryLists::PushHistory(HistoryList list, std::string_view text) {
    if (!TrimView(text).empty()) {
        Of(list).Add(text);
    }
}

void HistoryLists::PushReprintNumber(HistoryList list, std::string_view text) {
    if (TrimView(text).empty()) {
        return;
    }
    RecentList byPattern(RecentList::Match::DigitPattern);
    byPattern.Assign(Of(list).Entries());
    byPattern.Add(text);
    Of(list).Assign(byPattern.Entries());
}

void HistoryLists::ClearHistory(HistoryList list) {
    Of(list).Assign({});
}

std::vector<std::string> HistoryLists::Entries(HistoryList list) const {
    std::vector<std::string> entries;
    for (const std::string& slot : Of(list).Entries()) {
        if (slot.empty()) {
            break;
        }
        entries.push_back(slot);
    }
    return entries;
}

const std::deque<std::string>& HistoryLists::Slots(HistoryList list) const {
    return Of(list).Entries();
}

} // namespace cvx
