#include "text/MessageFill.h"

#include "text/StringPrimitives.h"

#include <algorithm>

namespace cvx {

namespace {

std::string ReplaceFirst(std::string text, std::string_view placeholder, std::string_view value) {
    const std::size_t pos = text.find(placeholder);
    if (pos != std::string::npos) {
        text.replace(pos, placeholder.size(), value);
    }
    return text;
}

// A template with numbered placeholders ("%s1" to "%s3") rather than a single "%s".
bool Numbered(std::string_view text) {
    return text.find("%s1") != std::string_view::npos ||
           text.find("%s2") != std::string_view::npos || text.find("%s3") != std::string_view::npos;
}

} // namespace

std::string MessageLineBreaks(std::string_view text) {
    return ReplaceAll(text, "\\n", "\r");
}

std::string FillMessage(std::string_view text, std::string_view a) {
    return ReplaceFirst(MessageLineBreaks(text), "%s", a);
}

std::string FillMessage2(std::string_view text, std::string_view a1, std::string_view a2) {
    return ReplaceFirst(ReplaceFirst(MessageLineBreaks(text), "%s1", a1), "%s2", a2);
}

std::string FillMessage3(std::string_view text, std::string_view a1, std::string_view a2,
                         std::string_view a3) {
    return ReplaceFirst(FillMessage2(text, a1, a2), "%s3", a3);
}

int PlaceholderCount(std::string_view text) {
    int count = 0;
    for (std::size_t pos = text.find("%s"); pos != std::string_view::npos;
         pos = text.find("%s", pos + 2)) {
        const char next = pos + 2 < text.size() ? text[pos + 2] : '\0';
        count = std::max(count, next >= '1' && next <= '3' ? next - '0' : 1);
    }
    return count;
}

std::string FillPlaceholders(std::string_view text, const std::vector<std::string>& args) {
    if (Numbered(text)) {
        return FillMessage3(text, args.size() > 0 ? args[0] : "%s1",
                            args.size() > 1 ? args[1] : "%s2", args.size() > 2 ? args[2] : "%s3");
    }
    return args.empty() ? MessageLineBreaks(text) : FillMessage(text, args[0]);
}

} // namespace cvx
