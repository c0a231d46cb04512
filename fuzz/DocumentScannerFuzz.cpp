// Fuzzes pass 1 of document completion and the pseudo-citation reader: the first byte of the
// input chooses the document kind, the rest is the manuscript. Whatever the bytes, the scanner
// keeps to the limits, its spans lie inside the manuscript in order, every cleaned text is UTF-8
// and reads as a pseudo-citation; the output converter keeps RTF groups balanced.

#include "documents/DocumentLibrary.h"
#include "documents/DocumentScanner.h"
#include "documents/OutputConverter.h"
#include "documents/PseudoCitation.h"
#include "text/Cp1252.h"
#include "text/ShippedData.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

namespace {

const cvx::TDocumentLibrary& Library() {
    static const cvx::TDocumentLibrary library = [] {
        cvx::TDocumentLibrary l;
        if (!l.Load(cvx::ShippedFile(cvx::kShippedDocumentLibrary))) {
            std::abort(); // build the library first (target citavox_document_library)
        }
        return l;
    }();
    return library;
}

void Check(bool condition) {
    if (!condition) {
        std::abort();
    }
}

// Unescaped braces of an RTF text cancel out.
bool Balanced(std::string_view rtf) {
    int depth = 0;
    for (std::size_t i = 0; i < rtf.size(); ++i) {
        if (rtf[i] == '\\') {
            ++i;
        } else if (rtf[i] == '{') {
            ++depth;
        } else if (rtf[i] == '}' && --depth < 0) {
            return false;
        }
    }
    return depth == 0;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0) {
        return 0;
    }
    const cvx::TDocumentLibrary& library = Library();
    const std::string_view document(reinterpret_cast<const char*>(data) + 1, size - 1);
    const int choice = data[0] % (library.Count() + 1);
    const cvx::TDocumentDefinition* definition =
        choice < library.Count() ? &library.Definition(choice) : nullptr;
    const cvx::DocumentKind kind =
        definition != nullptr ? cvx::KindOfDefinition(definition->name) : cvx::DocumentKind::Latex;

    cvx::ScanResult result;
    Check(cvx::ScanDocument(document, kind, definition, result).ok());
    Check(result.citationCount <= cvx::kMaxPseudoCitations);
    std::size_t last = 0;
    int citations = 0;
    for (const cvx::ScannedGroup& g : result.groups) {
        Check(g.start >= last && g.start <= g.end && g.end <= document.size());
        Check(g.citations.size() <= static_cast<std::size_t>(cvx::kMaxGroupCitations));
        last = g.end;
        for (const cvx::ScannedCitation& c : g.citations) {
            Check(c.start >= g.start && c.end <= g.end && c.start < c.end);
            Check(cvx::IsValidUtf8(c.text));
            const cvx::TPseudoCitation pc = cvx::ParsePseudoCitation(c.text);
            Check(pc.number >= -1);
            ++citations;
        }
    }
    Check(citations == result.citationCount);

    const cvx::TPseudoCitation raw = cvx::ParsePseudoCitation(document);
    Check(raw.number >= -1);

    // The manuscript's bytes as a rendered text: converted for every kind, RTF stays balanced.
    const std::string text(document);
    for (int i = 0; i < library.Count(); ++i) {
        const cvx::TDocumentDefinition& d = library.Definition(i);
        const cvx::DocumentKind k = cvx::KindOfDefinition(d.name);
        const std::string out = cvx::OutputConverter(k, &d, false).Convert(text);
        if (k == cvx::DocumentKind::Rtf) {
            Check(Balanced(out));
        }
    }
    (void)cvx::OutputConverter(cvx::DocumentKind::Latex, nullptr, false).Convert(text);
    return 0;
}
