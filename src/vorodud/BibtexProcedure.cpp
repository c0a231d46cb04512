#include "vorodud/BibtexProcedure.h"

#include "lexmill/Lexmill.h"
#include "text/CaseMapping.h"
#include "text/StringPrimitives.h"
#include "vorodud/CollectedReference.h"
#include "vorodud/LatexToAnsi.h"
#include "vorodud/LexmillWrapper.h"

#include <set>

namespace cvx::vorodud {

namespace {

// The names of a BibTeX name list, split at "and" outside braces.
std::vector<std::string> NameList(std::string_view list) {
    std::vector<std::string> names;
    std::string current;
    int depth = 0;
    std::size_t i = 0;
    while (i < list.size()) {
        const char c = list[i];
        depth += c == '{' ? 1 : c == '}' ? -1 : 0;
        if (depth == 0 && IsBlank(c) && i + 4 < list.size() &&
            LowerText(list.substr(i + 1, 3)) == "and" && IsBlank(list[i + 4])) {
            names.push_back(current);
            current.clear();
            i += 5;
            continue;
        }
        current.push_back(c);
        ++i;
    }
    names.push_back(current);
    std::erase_if(names, [](const std::string& n) { return TrimView(n).empty(); });
    return names;
}

std::vector<std::string> Names(std::string_view list) {
    std::vector<std::string> out;
    for (const std::string& raw : NameList(list)) {
        const std::string name = TrimBlanks(raw);
        // A name wholly in braces is a corporate name.
        const bool corporate = name.size() > 2 && name.front() == '{' && name.back() == '}' &&
                               name.find('}') == name.size() - 1;
        const std::string text = LatexToAnsi(name);
        std::string formatted = corporate ? CorporateAuthor(text) : FormatAuthorName(text);
        if (!formatted.empty()) {
            out.push_back(std::move(formatted));
        }
    }
    return out;
}

std::vector<std::string> Keywords(std::string_view text) {
    std::vector<std::string> keywords;
    std::string current;
    for (char c : LatexToAnsi(text)) {
        if (c == ',' || c == ';') {
            if (!TrimView(current).empty()) {
                keywords.push_back(TrimBlanks(current));
            }
            current.clear();
        } else {
            current.push_back(c);
        }
    }
    if (!TrimView(current).empty()) {
        keywords.push_back(TrimBlanks(current));
    }
    return keywords;
}

bool IsWebAddress(std::string_view text) {
    return text.find("://") != std::string_view::npos || text.starts_with("www.");
}

const std::set<std::string, std::less<>> kWholeBooks = {
    "book",        "mvbook",        "booklet",       "collection", "mvcollection",
    "proceedings", "mvproceedings", "manual",        "reference",  "mvreference",
    "thesis",      "phdthesis",     "mastersthesis", "techreport", "report"};
const std::set<std::string, std::less<>> kParts = {"inbook",     "incollection",  "inproceedings",
                                                   "conference", "inreference",   "bookinbook",
                                                   "suppbook",   "suppcollection"};

} // namespace

void BibtexProcedure::ReadRecord() {
    lexmill_ReadTheWholeReference("@");
}

bool BibtexProcedure::Fill() {
    const BibtexEntry& e = *entry_;
    auto field = [&](std::string_view name) { return LatexToAnsi(e.Field(name)); };
    auto firstOf = [&](std::initializer_list<std::string_view> names) {
        for (std::string_view n : names) {
            if (std::string v = field(n); !v.empty()) {
                return v;
            }
        }
        return std::string();
    };
    Reference r;
    r.id = e.key;
    r.authors = Names(e.Field("author"));
    r.editors = Names(e.Field("editor"));
    r.title = field("title");
    r.journal = firstOf({"journal", "journaltitle"});
    // "howpublished" names a journal or a medium, or gives an address, which is no journal.
    const std::string published = field("howpublished");
    if (IsWebAddress(published)) {
        r.notes.push_back(published);
    } else if (r.journal.empty()) {
        r.journal = published;
    }
    if (const std::string url = field("url"); !url.empty() && url != published) {
        r.notes.push_back(url);
    }
    r.publisher = firstOf({"publisher", "school", "institution", "organization"});
    r.city = firstOf({"address", "location"});
    const std::string book = field("booktitle");
    if (kParts.contains(e.type) && !book.empty()) {
        r.kind = ReferenceKind::Chapter;
        r.bookTitle = book;
    } else if (kWholeBooks.contains(e.type) || kParts.contains(e.type) ||
               (r.journal.empty() && !r.publisher.empty())) {
        // A part without its book's title is written as a work of its own; a journal beside it
        // names its series.
        r.kind = ReferenceKind::Monograph;
        r.bookTitle = r.title;
        if (kParts.contains(e.type) && !r.journal.empty()) {
            r.notes.push_back(r.journal);
        }
    }
    r.year = FirstYear(firstOf({"year", "date"}));
    r.volume = field("volume");
    r.issue = firstOf({"number", "issue"});
    r.pages = LatexToAnsi(ReplaceAll(e.Field("pages"), "--", "-"));
    r.articleNumber = firstOf({"article-number", "eid"});
    if (const std::string abstract = field("abstract"); !abstract.empty()) {
        r.abstract.push_back(abstract);
    }
    r.keywords = Keywords(e.Field("keywords"));
    r.language = field("language");
    CollectReference(std::move(r));
    return true;
}

void BibtexProcedure::Convert(Session& session) {
    std::string carried;
    while (lexmill_GetFilSlut() == 0) {
        ReadRecord();
        std::string text = std::move(carried);
        carried.clear();
        for (int i = 0; i < lx::LineCount(); ++i) {
            text += lx::Line(i) + "\n";
        }
        reader_.SetText(std::move(text));
        while (const auto entry = reader_.Next()) {
            lexmill_ResetCollectData();
            entry_ = &*entry;
            Fill();
            if (!session.Write()) {
                return;
            }
        }
        carried = reader_.Rest();
        if (!session.Continue()) {
            return;
        }
    }
    if (!TrimView(carried).empty()) {
        // An entry that the file cuts short is converted with what it has, or dumped.
        reader_.SetText(carried + "\n}");
        lexmill_ResetCollectData();
        if (const auto entry = reader_.Next()) {
            entry_ = &*entry;
            Fill();
        } else {
            lexmill_SetSkipThisRef();
        }
        session.Write();
    }
}

} // namespace cvx::vorodud
