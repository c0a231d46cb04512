#include "text/Catalogue.h"

#include "text/CatalogueData.h"
#include "text/MessageFill.h"

#include <atomic>

namespace cvx {

namespace {

std::atomic<int> gLanguage{0};

const catalogue::ListData& ListOf(int language, MsgList list) {
    return catalogue::kLanguages[language].lists[static_cast<int>(list)];
}

const char* EntryOf(int language, MsgList list, int index) {
    const catalogue::ListData& data = ListOf(language, list);
    return (index >= 0 && index < data.count) ? data.entries[index] : nullptr;
}

} // namespace

std::string Message(MsgId id) {
    if (const char* text = EntryOf(gLanguage.load(std::memory_order_relaxed), id.list, id.index)) {
        return text;
    }
    const char* english = EntryOf(0, id.list, id.index);
    return english ? english : "";
}

std::string FilledMessage(MsgId id, std::initializer_list<std::string_view> args) {
    const std::string text = Message(id);
    const std::string_view* a = args.begin();
    switch (args.size()) {
    case 0:
        return MessageLineBreaks(text);
    case 1:
        return FillMessage(text, a[0]);
    case 2:
        return FillMessage2(text, a[0], a[1]);
    default:
        return FillMessage3(text, a[0], a[1], a[2]);
    }
}

std::string ShortText(std::string_view entry) {
    return std::string(entry.substr(0, entry.find('|')));
}

int MessageCount(MsgList list) {
    return ListOf(0, list).count;
}

std::string_view MessageListName(MsgList list) {
    return ListOf(0, list).name;
}

std::optional<MsgList> FindMessageList(std::string_view name) {
    for (int i = 0; i < kMessageListCount; ++i) {
        if (MessageListName(static_cast<MsgList>(i)) == name) {
            return static_cast<MsgList>(i);
        }
    }
    return std::nullopt;
}

std::optional<MsgList> MessageListNamed(std::string_view name) {
    if (std::optional<MsgList> list = FindMessageList(name)) {
        return list;
    }
    return FindMessageList("GMSG_" + std::string(name));
}

int IndexOfMessage(MsgList list, std::string_view text) {
    if (text.empty()) {
        return -1;
    }
    for (int i = 0; i < MessageCount(list); ++i) {
        if (Message({list, i}) == text) {
            return i;
        }
    }
    return -1;
}

bool SetMessageLanguage(std::string_view code) {
    for (int i = 0; i < catalogue::kLanguageCount; ++i) {
        if (catalogue::kLanguages[i].code == code) {
            gLanguage.store(i, std::memory_order_relaxed);
            return true;
        }
    }
    return false;
}

std::string MessageLanguage() {
    return catalogue::kLanguages[gLanguage.load(std::memory_order_relaxed)].code;
}

} // namespace cvx
