#include "vorodud/CollectedReference.h"

#include "text/Catalogue.h"
#include "text/StringPrimitives.h"
#include "vorodud/LexmillWrapper.h"

#include <algorithm>

namespace cvx::vorodud {

namespace {

// The publisher line is read back as "publisher (city)": parentheses inside either part would
// move the split, so they become brackets ("National Center for Biotechnology Information [US]").
std::string WithoutParentheses(std::string_view text) {
    std::string t = TrimBlanks(text);
    std::replace(t.begin(), t.end(), '(', '[');
    std::replace(t.begin(), t.end(), ')', ']');
    return t;
}

// Settles the kind of a reference from what it holds. A work without a journal (a book, report,
// thesis, patent, web page, data set, standard) is a monograph whose book title is its title;
// a work with editors and no authors (an edited book) keeps them in the editors field as the
// book of a chapter, since a monograph has none.
Reference Settled(Reference ref) {
    if (ref.kind == ReferenceKind::Journal && TrimView(ref.journal).empty() &&
        !TrimView(ref.title).empty()) {
        ref.kind = ReferenceKind::Monograph;
        if (TrimView(ref.bookTitle).empty()) {
            ref.bookTitle = ref.title;
        }
    }
    if (ref.kind == ReferenceKind::Monograph && ref.authors.empty() && !ref.editors.empty()) {
        ref.kind = ReferenceKind::Chapter;
    }
    // Names that have no field of their own in the kind go to the comments, never away.
    if (ref.kind == ReferenceKind::Chapter) {
        ref.editors.insert(ref.editors.end(), ref.seriesEditors.begin(), ref.seriesEditors.end());
    } else {
        if (!ref.seriesEditors.empty()) {
            ref.notes.insert(ref.notes.begin(), Msg(msg::Citavox::ImportSeriesEditors,
                                                    JoinedWithBlanks(ref.seriesEditors)));
        }
        if (!ref.editors.empty()) {
            ref.notes.insert(ref.notes.begin(),
                             Msg(msg::Citavox::ImportEditors, JoinedWithBlanks(ref.editors)));
        }
        ref.editors.clear();
    }
    ref.seriesEditors.clear();
    SplitVolumeIssue(ref.volume, ref.issue);
    ref.pages = SettledPages(ref.pages, ref.notes);
    // An article number stands for the pages of a journal article only; the numbers of other
    // works (a report's, a patent's, a series issue) are no pages and no issue.
    if (ref.kind == ReferenceKind::Journal) {
        if (ref.pages.empty()) {
            ref.pages = FirstPageRange(WithDigits(ref.articleNumber));
        }
    } else {
        std::vector<std::string> numbers;
        for (const std::string* n : {&ref.issue, &ref.articleNumber, &ref.number}) {
            std::string text = TrimBlanks(*n);
            if (!text.empty() && std::find(numbers.begin(), numbers.end(), text) == numbers.end()) {
                numbers.push_back(std::move(text));
            }
        }
        for (const std::string& n : numbers) {
            ref.notes.push_back(Msg(msg::Citavox::ImportNumber, n));
        }
        ref.issue.clear();
    }
    return ref;
}

} // namespace

std::string SettledPages(std::string_view pages, std::vector<std::string>& notes) {
    if (IsPageList(pages)) {
        notes.push_back(Msg(msg::Citavox::ImportPages, TrimBlanks(pages)));
    }
    return FirstPageRange(WithDigits(pages));
}

void CollectNotes(const std::vector<std::string>& notes) {
    for (const std::string& note : notes) {
        if (!TrimView(note).empty()) {
            lexmill_DumpStringToAbstract(lx::Arg(" " + TrimBlanks(note)).c_str());
        }
    }
}

std::string ExpandedPages(std::string_view pages) {
    lexmill_SetPages(lx::Arg(pages).c_str());
    lexmill_DoExpandPages();
    return lx::PagesText();
}

void CollectReference(Reference gathered) {
    const Reference ref = Settled(std::move(gathered));
    lexmill_SetIdString(lx::Arg(ref.id).c_str());
    for (const std::string& author : ref.authors) {
        lexmill_AddToAuthors(lx::Arg(author).c_str());
    }
    if (ref.etAl) {
        lexmill_SetEtAlAuthors();
    }
    if (!TrimView(ref.title).empty()) {
        lexmill_DumpTitle(lx::Arg(EndSentence(ref.title)).c_str());
    }
    lexmill_SetYearVolPage(lx::Arg(YearLine(ref, ExpandedPages(ref.pages))).c_str());
    const std::string unknown = "\"\"";
    auto orUnknown = [&](const std::string& text) { return text.empty() ? unknown : text; };
    std::string publisher = orUnknown(WithoutParentheses(ref.publisher));
    if (!TrimView(ref.city).empty()) {
        publisher += " (" + WithoutParentheses(ref.city) + ")";
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
    // The translated title is a labelled line of the comments, ahead of the abstract.
    if (const std::string_view translated = TrimView(ref.translatedTitle); !translated.empty()) {
        lexmill_DumpStringToAbstract(
            lx::Arg(" Translated title: \"" + std::string(translated) + "\"").c_str());
    }
    for (const std::string& paragraph : ref.abstract) {
        if (const std::string_view text = TrimView(paragraph); !text.empty()) {
            std::string line = " ";
            line += text;
            lexmill_DumpStringToAbstract(lx::Arg(std::move(line)).c_str());
        }
    }
    CollectNotes(ref.notes);
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
