#include "output/TextListWriter.h"

#include "text/Markup.h"
#include "text/StringPrimitives.h"

namespace cvx {

Outcome TextListWriter::Begin(WritableFile& /*out*/) {
    return Outcome::Ok();
}

Outcome TextListWriter::Write(WritableFile& out, const ListEntry& entry) {
    std::string text = CodesToPlainLayout(entry.label + entry.text) + "\r\n";
    if (!entry.abstractPart.empty()) {
        // Every line of the abstract is indented like its first.
        text += "\t\t" + ReplaceAll(CodesToPlainLayout(entry.abstractPart), "\r\n", "\r\n\t\t") +
                "\r\n\r\n";
    }
    return out.Append(text);
}

Outcome TextListWriter::End(WritableFile& /*out*/) {
    return Outcome::Ok();
}

} // namespace cvx
