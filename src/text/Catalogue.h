#pragma once
// The message catalogue: every text the program builds at run time, addressed by list and
// index. Texts are code page 1252 and may hold "\n", placeholders and markup codes.

#include "text/MessageLists.h"

#include <optional>
#include <string>
#include <string_view>

namespace cvx {

// The entry as the catalogue holds it. An index outside the current language's list falls back
// to the English entry; outside the English list too, the result is empty.
std::string Message(MsgList list, int index);

// Message, filled (see MessageFill.h).
std::string Msg(MsgList list, int index);
std::string Msg(MsgList list, int index, std::string_view a);
std::string Msg2(MsgList list, int index, std::string_view a1, std::string_view a2);
std::string Msg3(MsgList list, int index, std::string_view a1, std::string_view a2,
                 std::string_view a3);

// The short text of an entry that serves as short text and hint ("short|hint").
std::string ShortText(std::string_view entry);

int MessageCount(MsgList list);
std::string_view MessageListName(MsgList list);
std::optional<MsgList> FindMessageList(std::string_view name);

// Index of the first entry equal to text; -1 when there is none or the text is empty.
int IndexOfMessage(MsgList list, std::string_view text);

// Switches the catalogue language ("en", "sv", ...); false when that language is not built in.
bool SetMessageLanguage(std::string_view code);
std::string MessageLanguage();

} // namespace cvx
