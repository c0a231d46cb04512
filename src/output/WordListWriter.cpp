#include "output/WordListWriter.h"

#include "documents/WordListDocument.h"

namespace cvx {

Outcome WordListWriter::Begin(WritableFile& /*out*/) {
    paragraphs_.clear();
    return Outcome::Ok();
}

Outcome WordListWriter::Write(WritableFile& /*out*/, const ListEntry& entry) {
    paragraphs_.push_back("#O" + entry.label + entry.text);
    if (!entry.abstractPart.empty()) {
        paragraphs_.push_back("#L#T" + entry.abstractPart);
    }
    return Outcome::Ok();
}

Outcome WordListWriter::End(WritableFile& out) {
    std::string document;
    if (Outcome r = MakeWordListDocument(format_, paragraphs_, document); !r) {
        return r;
    }
    return out.Append(document);
}

} // namespace cvx
