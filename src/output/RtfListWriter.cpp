#include "output/RtfListWriter.h"

#include "text/Markup.h"

namespace cvx {

namespace {

// Times for the text; the Symbol font is the font CodesToRtfFragment writes it in.
constexpr std::string_view kHeader =
    "{\\rtf1\\ansi\\deff0{\\fonttbl{\\f0\\froman\\fcharset0 Times New Roman;}"
    "{\\f3\\froman\\fcharset2 Symbol;}}\r\n{\\colortbl;\\red0\\green0\\blue0;}\r\n";
// The paragraph of an entry (hanging indent) and of an abstract (indented first line).
constexpr std::string_view kEntryParagraph = "\r\n\\par\\pard \\fi-720\\li720 ";
constexpr std::string_view kAbstractParagraph = "\r\n\\par\\pard \\fi720 ";

} // namespace

Outcome RtfListWriter::Begin(WritableFile& out) {
    return out.Append(kHeader);
}

Outcome RtfListWriter::Write(WritableFile& out, const ListEntry& entry) {
    std::string text(kEntryParagraph);
    text += CodesToRtfFragment(entry.label + entry.text, kEntryParagraph);
    if (!entry.abstractPart.empty()) {
        text += kAbstractParagraph;
        text += CodesToRtfFragment(entry.abstractPart, kAbstractParagraph);
    }
    return out.Append(text);
}

Outcome RtfListWriter::End(WritableFile& out) {
    return out.Append("\r\n\\par }");
}

} // namespace cvx
