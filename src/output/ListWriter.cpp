#include "output/ListWriter.h"

#include "output/LatexListWriter.h"
#include "output/RtfListWriter.h"
#include "output/TextListWriter.h"
#include "output/WordListWriter.h"

namespace cvx {

std::optional<ListOutput> ListOutputByName(std::string_view name) {
    if (name == "text" || name == "txt") {
        return ListOutput::Text;
    }
    if (name == "rtf") {
        return ListOutput::Rtf;
    }
    if (name == "latex" || name == "tex") {
        return ListOutput::Latex;
    }
    if (name == "docx") {
        return ListOutput::Docx;
    }
    if (name == "odt") {
        return ListOutput::Odt;
    }
    return std::nullopt;
}

std::unique_ptr<ListWriter> MakeListWriter(ListOutput kind) {
    switch (kind) {
    case ListOutput::Rtf:
        return std::make_unique<RtfListWriter>();
    case ListOutput::Latex:
        return std::make_unique<LatexListWriter>();
    case ListOutput::Docx:
        return std::make_unique<WordListWriter>(WordFormat::Docx);
    case ListOutput::Odt:
        return std::make_unique<WordListWriter>(WordFormat::Odt);
    case ListOutput::Text:
        break;
    }
    return std::make_unique<TextListWriter>();
}

} // namespace cvx
