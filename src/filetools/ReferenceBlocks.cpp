#include "filetools/ReferenceBlocks.h"

#include "refstore/RefArrData.h"
#include "text/Catalogue.h"
#include "text/StringPrimitives.h"

namespace cvx {

namespace {

constexpr std::string_view kLineEnd = "\r\n";

// The identification line in full: splitting cuts it to the length an identification string may
// have, but a sorted file must not lose what the user stored.
std::string IdentificationLine(std::string_view bytes, const SplitText& split) {
    if (split.identification.size() < kMaxIdStringLength) {
        return split.identification;
    }
    const std::size_t end = bytes.find("\r\n ");
    return TrimBlanks(JoinSoftBreaks(bytes.substr(0, end)));
}

} // namespace

std::string StoredBlock(std::string_view bytes) {
    return TrimRightBlanks(bytes) + std::string(kLineEnd) + std::string(kLineEnd);
}

std::string SortedBlock(std::string_view bytes, bool marked) {
    const SplitText split = SplitReferenceText(bytes);
    const std::string marker = Message(msg::VoxSort::DuplicateMark);
    const std::string markerWord = TrimBlanks(marker);
    const std::string id = IdentificationLine(bytes, split);
    std::string block = " " + id + std::string(kLineEnd);
    if (marked) {
        block += TrimRightBlanks(split.proper) + std::string(kLineEnd);
        if (split.abstractPart.find(markerWord) == std::string::npos) {
            block += marker + std::string(kLineEnd);
        }
        block += split.abstractPart;
    } else {
        std::string abstractPart = TrimBlanks(split.abstractPart);
        if (StartsWith(abstractPart, markerWord)) {
            abstractPart = TrimBlanks(std::string_view(abstractPart).substr(markerWord.size()));
        }
        block += " " + TrimBlanks(split.proper) + std::string(kLineEnd) + " " + abstractPart;
    }
    return StoredBlock(block);
}

} // namespace cvx
