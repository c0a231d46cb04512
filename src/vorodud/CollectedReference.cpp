#include "vorodud/CollectedReference.h"

#include "text/StringPrimitives.h"
#include "vorodud/LexmillWrapper.h"

namespace cvx::vorodud {

std::string ExpandedPages(std::string_view pages) {
    lexmill_SetPages(lx::Arg(pages).c_str());
    lexmill_DoExpandPages();
    return lx::PagesText();
}

void CollectReference(const Reference& ref) {
    lexmill_SetIdString(lx::Arg(ref.id).c_str());
    for (const std::string& author : ref.authors) {
        lexmill_AddToAuthors(lx::Arg(author).c_str());
    }
    if (!TrimView(ref.title).empty()) {
        lexmill_DumpTitle(lx::Arg(EndSentence(ref.title)).c_str());
    }
    lexmill_SetYearVolPage(lx::Arg(YearLine(ref, ExpandedPages(WithDigits(ref.pages)))).c_str());
    const std::string unknown = "\"\"";
    auto orUnknown = [&](const std::string& text) { return text.empty() ? unknown : text; };
    std::string publisher = orUnknown(TrimBlanks(ref.publisher));
    if (!TrimView(ref.city).empty()) {
        publisher += " (" + TrimBlanks(ref.city) + ")";
    }
    switch (ref.kind) {
    case ReferenceKind::Journal:
        if (!TrimView(ref.journal).empty()) {
            lexmill_DumpLongJournalName(lx::Arg(ref.journal).c_str());
        }
        break;
    case ReferenceKind::Chapter:
        lexmill_DumpToSource(lx::Arg("E: " + orUnknown(EndSentence(ref.bookTitle))).c_str());
        if (ref.editors.empty()) {
            lexmill_AddToEditors(unknown.c_str());
        }
        for (const std::string& editor : ref.editors) {
            lexmill_AddToEditors(lx::Arg(editor).c_str());
        }
        lexmill_SetPublCity(lx::Arg(publisher).c_str());
        break;
    case ReferenceKind::Monograph:
        lexmill_DumpToSource(lx::Arg("S: " + orUnknown(EndSentence(ref.bookTitle))).c_str());
        lexmill_SetPublCity(lx::Arg(publisher).c_str());
        break;
    }
    for (const std::string& paragraph : ref.abstract) {
        if (!TrimView(paragraph).empty()) {
            lexmill_DumpStringToAbstract(lx::Arg(" " + TrimBlanks(paragraph)).c_str());
        }
    }
    for (std::size_t i = 0; i < ref.keywords.size(); ++i) {
        const bool last = i + 1 == ref.keywords.size();
        lexmill_AddToMajorHeads(lx::Arg(TrimBlanks(ref.keywords[i]) + (last ? "." : "; ")).c_str());
    }
    if (!TrimView(ref.address).empty()) {
        lexmill_DumpAddress(lx::Arg(ref.address).c_str());
    }
    if (!TrimView(ref.language).empty()) {
        lexmill_SetLanguage(lx::Arg(ref.language).c_str());
    }
}

} // namespace cvx::vorodud
