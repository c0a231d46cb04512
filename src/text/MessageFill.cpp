#include "text/MessageFill.h"

#include "text/StringPrimitives.h"

namespace cvx {

namespace {

std::string ReplaceFirst(std::string text, std::string_view placeholder, std::string_view value) {
    const std::size_t pos = text.find(placeholder);
    if (pos != std::string::npos) {
        text.replace(pos, placeholder.size(), value);
    }
    return text;
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

} // namespace cvx
