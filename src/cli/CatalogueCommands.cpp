#include "cli/CatalogueCommands.h"

#include "text/Cp1252.h"
#include "text/MessageFill.h"
#include "text/StringPrimitives.h"

namespace cvx::cli {

int RunMessage(const Args& args) {
    const std::vector<std::string>& pos = args.Positional();
    if (pos.empty() || !args.Complete() || args.Unknown({})) {
        return Usage({msg::Cli::UsageMessage});
    }
    const std::optional<MsgList> list = MessageListNamed(pos[0]);
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
    const int takes = PlaceholderCount(text);
    if (static_cast<int>(fill.size()) > takes) {
        return Fail(Msg(msg::Cli::EntryArgumentCount, std::to_string(*index),
                        MessageListName(*list), std::to_string(takes)));
    }
    PrintLine(FillPlaceholders(text, fill));
    return kSuccess;
}

} // namespace cvx::cli
