#include "cli/CatalogueCommands.h"

#include "text/Cp1252.h"
#include "text/MessageFill.h"
#include "text/StringPrimitives.h"

#include <algorithm>

namespace cvx::cli {

namespace {

std::optional<MsgList> ListNamed(std::string_view name) {
    if (std::optional<MsgList> list = FindMessageList(name)) {
        return list;
    }
    return FindMessageList("GMSG_" + std::string(name));
}

// How many arguments an entry takes: 1 for "%s", the highest of "%s1".."%s3" otherwise.
int ArgumentCount(std::string_view text) {
    int count = 0;
    for (std::size_t pos = text.find("%s"); pos != std::string_view::npos;
         pos = text.find("%s", pos + 2)) {
        const char next = pos + 2 < text.size() ? text[pos + 2] : '\0';
        count = std::max(count, next >= '1' && next <= '3' ? next - '0' : 1);
    }
    return count;
}

bool Numbered(std::string_view text) {
    return text.find("%s1") != std::string_view::npos ||
           text.find("%s2") != std::string_view::npos || text.find("%s3") != std::string_view::npos;
}

// Fills an entry the way its placeholders ask for; a placeholder without an argument stays.
std::string Filled(std::string_view text, const std::vector<std::string>& a) {
    if (Numbered(text)) {
        return FillMessage3(text, a.size() > 0 ? a[0] : "%s1", a.size() > 1 ? a[1] : "%s2",
                            a.size() > 2 ? a[2] : "%s3");
    }
    return a.empty() ? MessageLineBreaks(text) : FillMessage(text, a[0]);
}

} // namespace

int RunMessage(const Args& args) {
    const std::vector<std::string>& pos = args.Positional();
    if (pos.empty() || !args.Complete() || args.Unknown({})) {
        return Usage({msg::Cli::UsageMessage});
    }
    const std::optional<MsgList> list = ListNamed(pos[0]);
    if (!list) {
        return Fail(Msg(msg::Cli::UnknownMessageList, Utf8ToCp1252(pos[0])));
    }
    const int count = MessageCount(*list);
    if (pos.size() == 1) {
        for (int i = 0; i < count; ++i) {
            PrintLine(std::to_string(i) + "\t" + Message({*list, i}));
        }
        return kSuccess;
    }
    const std::optional<int> index = ParseInt(pos[1], true);
    if (!index || *index < 0 || *index >= count) {
        return Fail(Msg(msg::Cli::NoSuchEntry, MessageListName(*list), Utf8ToCp1252(pos[1]),
                        std::to_string(count - 1)));
    }
    const std::string text = Message({*list, *index});
    std::vector<std::string> fill;
    for (std::size_t i = 2; i < pos.size(); ++i) {
        fill.push_back(Utf8ToCp1252(pos[i]));
    }
    const int takes = ArgumentCount(text);
    if (static_cast<int>(fill.size()) > takes) {
        return Fail(Msg(msg::Cli::EntryArgumentCount, std::to_string(*index),
                        MessageListName(*list), std::to_string(takes)));
    }
    PrintLine(Filled(text, fill));
    return kSuccess;
}

} // namespace cvx::cli
