#pragma once
// The message catalogue: every text the program builds at run time. Code names the entry it
// wants (msg::List::Name, generated from data/messages); data that holds entries by position (a
// whole list filling a choice, a result code that is an index) uses the list and the index. Texts
// are code page 1252 and may hold "\n", placeholders and markup codes.

#include "text/MessageLists.h"

#include <concepts>
#include <initializer_list>
#include <optional>
#include <string>
#include <string_view>
#include <type_traits>

namespace cvx {

// An enum of namespace msg: the names of one list's entries.
template <typename Name>
concept MessageName = std::is_enum_v<Name> && requires {
    MessageListOf<Name>::list;
};

// One entry of the catalogue: its list and its index in the list.
struct MsgId {
    MsgList list;
    int index;

    constexpr MsgId(MsgList inList, int atIndex) : list(inList), index(atIndex) {}
    template <MessageName Name>
    constexpr MsgId(Name name) : list(MessageListOf<Name>::list), index(static_cast<int>(name)) {}
};

namespace msg {
// The entry `k` places after `first` in its list, for runs of entries that follow a table
// (msg::RefWin::StatusCorrect + status).
template <MessageName Name> constexpr MsgId operator+(Name first, int k) {
    return {MessageListOf<Name>::list, static_cast<int>(first) + k};
}
} // namespace msg

// The entry as the catalogue holds it. An index outside the current language's list falls back
// to the English entry; outside the English list too, the result is empty.
std::string Message(MsgId id);

// The entry filled with its arguments (MessageFill.h): without arguments only its line breaks
// are made, one argument replaces its "%s", two or three replace "%s1" to "%s3".
std::string FilledMessage(MsgId id, std::initializer_list<std::string_view> args);
template <typename... Args>
requires(sizeof...(Args) <= 3 && (std::convertible_to<const Args&, std::string_view> &&
                                  ...)) std::string Msg(MsgId id, const Args&... args) {
    return FilledMessage(id, {std::string_view(args)...});
}

// The short text of an entry that serves as short text and hint ("short|hint").
std::string ShortText(std::string_view entry);

int MessageCount(MsgList list);
std::string_view MessageListName(MsgList list);
std::optional<MsgList> FindMessageList(std::string_view name);
// A list by its name with or without the "GMSG_" that begins every list's name.
std::optional<MsgList> MessageListNamed(std::string_view name);

// Index of the first entry equal to text; -1 when there is none or the text is empty.
int IndexOfMessage(MsgList list, std::string_view text);

// Switches the catalogue language ("en", "sv", ...); false when that language is not built in.
bool SetMessageLanguage(std::string_view code);
std::string MessageLanguage();

} // namespace cvx
