#include "documents/PseudoCitationSample.h"

#include "documents/PseudoCitation.h"
#include "text/Catalogue.h"

namespace cvx {

CitationSamples SampleCitations(int option, std::string_view text, bool skipEnclosure,
                                bool several) {
    if (option == kOptionHide) {
        const std::string hidden = Message(msg::CreatePCs::CitationHidden);
        return {hidden, hidden};
    }
    const std::string number =
        Message(several ? msg::CreatePCs::TwoNumbers : msg::CreatePCs::OneNumber);
    std::string authorYear =
        Message(several ? msg::CreatePCs::TwoAuthorYears : msg::CreatePCs::OneAuthorYear);
    std::string numbered = number;
    switch (option) {
    case kOptionYear:
        authorYear = Message(several ? msg::CreatePCs::TwoYears : msg::CreatePCs::OneYear);
        break;
    case kOptionAuthors:
        authorYear = Message(several ? msg::CreatePCs::TwoAuthors : msg::CreatePCs::OneAuthor);
        break;
    case kOptionTextBefore:
        authorYear = std::string(text) + authorYear;
        numbered = std::string(text) + Message(msg::CreatePCs::RefPrefix) + number;
        break;
    case kOptionTextAfter:
        authorYear += text;
        numbered = Message(msg::CreatePCs::RefPrefix) + number + std::string(text);
        break;
    default:
        break;
    }
    if (!skipEnclosure) {
        authorYear = "(" + authorYear + ")";
        numbered = "(" + numbered + ")";
    }
    return {authorYear, numbered};
}

bool IsTextAfter(std::string_view text) {
    return !text.empty() && (text.front() == ' ' || text.front() == ',' || text.front() == ':');
}

int OptionForText(std::string_view text) {
    if (text.empty()) {
        return kOptionNone;
    }
    return IsTextAfter(text) ? kOptionTextAfter : kOptionTextBefore;
}

} // namespace cvx
