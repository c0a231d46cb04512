#include "output/ExportWriter.h"

#include "output/BibtexWriter.h"
#include "output/CslJsonWriter.h"
#include "output/ExportText.h"
#include "output/MedlineWriter.h"
#include "output/RisWriter.h"
#include "text/FileNames.h"

namespace cvx {

std::optional<ExportLayout> ExportLayoutByName(std::string_view name) {
    if (name == "medline" || name == "medlar") {
        return ExportLayout::Medline;
    }
    if (name == "ris") {
        return ExportLayout::Ris;
    }
    if (name == "bibtex" || name == "bib") {
        return ExportLayout::Bibtex;
    }
    if (name == "csl-json" || name == "csl") {
        return ExportLayout::CslJson;
    }
    return std::nullopt;
}

std::unique_ptr<ExportWriter> MakeExportWriter(ExportLayout layout, const JournalLookup* journals) {
    switch (layout) {
    case ExportLayout::Ris:
        return std::make_unique<RisWriter>();
    case ExportLayout::Bibtex:
        return std::make_unique<BibtexWriter>();
    case ExportLayout::CslJson:
        return std::make_unique<CslJsonWriter>(journals);
    case ExportLayout::Medline:
        break;
    }
    return std::make_unique<MedlineWriter>(journals);
}

std::string TaggedHeader(std::string_view title, const ExportHeading& heading) {
    std::string h = "\r\n";
    h += title;
    h += "\r\n  |  Citavox " CITAVOX_VERSION "\r\n\r\n  |  File: " + DisplayPath(heading.path);
    h += "\r\n  |  Date: " + heading.timestamp;
    h += std::string("\r\n  |  Type: ") + (heading.tagged ? "tagged references" : "all references");
    h += "\r\n  |  Refs: " + std::to_string(heading.references) + "\r\n\r\n";
    return h;
}

std::string UnparsedNote(std::string_view stored) {
    return FlatText(stored);
}

} // namespace cvx
