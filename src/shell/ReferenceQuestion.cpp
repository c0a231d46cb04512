#include "shell/ReferenceQuestion.h"

#include "text/Catalogue.h"
#include "text/StringPrimitives.h"

namespace cvx {

std::string ReferenceDescription(std::string_view label) {
    return ReplaceAll(ReplaceAll(label, "#I", ""), "\xFF\xFF\xFF", " et al");
}

std::string DescribedQuestion(std::string_view question,
                              const std::vector<std::string>& descriptions, int total) {
    std::string text = std::string(question) + "\r";
    const std::size_t shown =
        std::min(descriptions.size(), static_cast<std::size_t>(kDescribedReferences));
    for (std::size_t i = 0; i < shown; ++i) {
        text += "\r\t" + descriptions[i];
    }
    if (total > kDescribedReferences) {
        text += "\r" + Message(msg::RefWin::AndMore);
    }
    return text;
}

} // namespace cvx
