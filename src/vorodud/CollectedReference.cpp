#include "vorodud/CollectedReference.h"

#include "text/StringPrimitives.h"
#include "vorodud/LexmillWrapper.h"

namespace cvx::vorodud {

std::string ExpandedPages(std::string_view pages) {
    SetPages(lx::Arg(pages).c_str());
    DoExpandPages();
    return lx::PagesText();
}

void CollectReference(const Reference& ref) {
    SetIdString(lx::Arg(ref.id).c_str());
    for (const std::string& author : ref.authors) {
        AddToAuthors(lx::Arg(author).c_str());
    }
    if (!TrimView(ref.title).empty()) {
        DumpTitle(lx::Arg(EndSentence(ref.title)).c_str());
    }
    SetYearVolPage(lx::Arg(YearLine(ref, ExpandedPages(WithDigits(ref.pages)))).c_str());
    const std::string unknown = "\"\"";
    auto orUnknown = [&](const std::string& text) { return text.empty() ? unknown : text; };
    std::string publisher = orUnknown(TrimBlanks(ref.publisher));
    if (!TrimView(ref.city).empty()) {
        publisher += " (" + TrimBlanks(ref.city) + ")";
    }
    switch (ref.kind) {
    case ReferenceKind::Journal:
        if (!TrimView(ref.journal).empty()) {
            DumpLongJournalName(lx::Arg(ref.journal).c_str());
        }
        break;
    case ReferenceKind::Chapter:
        DumpToSource(lx::Arg("E: " + orUnknown(EndSentence(ref.bookTitle))).c_str());
        if (ref.editors.empty()) {
            AddToEditors(unknown.c_str());
        }
        for (const std::string& editor : ref.editors) {
            AddToEditors(lx::Arg(editor).c_str());
        }
        SetPublCity(lx::Arg(publisher).c_str());
        break;
    case ReferenceKind::Monograph:
        DumpToSource(lx::Arg("S: " + orUnknown(EndSentence(ref.bookTitle))).c_str());
        SetPublCity(lx::Arg(publisher).c_str());
        break;
    }
    for (const std::string& paragraph : ref.abstract) {
        if (!TrimView(paragraph).empty()) {
            DumpStringToAbstract(lx::Arg(" " + TrimBlanks(paragraph)).c_str());
        }
    }
    for (std::size_t i = 0; i < ref.keywords.size(); ++i) {
        const bool last = i + 1 == ref.keywords.size();
        AddToMajorHeads(lx::Arg(TrimBlanks(ref.keywords[i]) + (last ? "." : "; ")).c_str());
    }
    if (!TrimView(ref.address).empty()) {
        DumpAddress(lx::Arg(ref.address).c_str());
    }
    if (!TrimView(ref.language).empty()) {
        SetLanguage(lx::Arg(ref.language).c_str());
    }
}

} // namespace cvx::vorodud
