#include "output/LatexListWriter.h"

#include "text/LatexText.h"
#include "text/StringPrimitives.h"

namespace cvx {

namespace {

constexpr std::string_view kHeader = "\\documentclass{article}\r\n"
                                     "\\begin{document}\r\n"
                                     "\\begin{list}{}{\\setlength{\\leftmargin}{2.5em}"
                                     "\\setlength{\\labelwidth}{2em}}\r\n";
constexpr std::string_view kEnd = "\\end{list}\r\n\\end{document}\r\n";

// A number label without the blank or tab that separates it from the text.
std::string LabelText(std::string_view label) {
    std::string text = TrimBlanks(label);
    if (text.ends_with("#T")) {
        text.resize(text.size() - 2);
    }
    return CodesToLatex(text);
}

} // namespace

Outcome LatexListWriter::Begin(WritableFile& out) {
    return out.Append(kHeader);
}

Outcome LatexListWriter::Write(WritableFile& out, const ListEntry& entry) {
    std::string text = "\\item[{" + LabelText(entry.label) + "}] " + CodesToLatex(entry.text);
    if (!entry.abstractPart.empty()) {
        text += "\r\n\r\n{\\small " + CodesToLatex(entry.abstractPart) + "}";
    }
    return out.Append(text + "\r\n");
}

Outcome LatexListWriter::End(WritableFile& out) {
    return out.Append(kEnd);
}

} // namespace cvx
