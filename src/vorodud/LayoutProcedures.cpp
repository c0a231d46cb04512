#include "vorodud/LayoutProcedures.h"

#include "lexmill/Lexmill.h"
#include "text/StringPrimitives.h"
#include "vorodud/CollectedReference.h"
#include "vorodud/LexmillWrapper.h"
#include "vorodud/ReferenceParts.h"

#include <algorithm>
#include <vector>

namespace cvx::vorodud {

namespace {

// The part of a tag a line must begin with: "TI  - " also takes "TI  -Title", whose value
// follows the separator without a blank.
std::string_view Stem(std::string_view tag) {
    const std::string_view trimmed = TrimView(tag);
    const bool separator = trimmed.size() > 1 &&
                           std::string_view("-:~").find(trimmed.back()) != std::string_view::npos;
    return separator ? trimmed : tag;
}

// Indexes of the record's lines that start with a tag.
std::vector<int> TagLines(std::string_view tag) {
    std::vector<int> lines;
    if (tag.empty()) {
        return lines;
    }
    for (int i = 0; i < lx::LineCount(); ++i) {
        if (StartsWith(lx::Line(i), Stem(tag))) {
            lines.push_back(i);
        }
    }
    return lines;
}

// A field's text without its tag (the field's lines joined and their blanks collapsed by
// Lexmill, so the tag's are too).
std::string FieldText(int index, std::string_view tag) {
    std::string collapsed;
    for (char c : Stem(tag)) {
        if (!(c == ' ' && !collapsed.empty() && collapsed.back() == ' ')) {
            collapsed.push_back(c);
        }
    }
    return DeleteAndTrim(lx::ShortTaggedField(index), 1, collapsed.size());
}

std::string FirstField(std::string_view tag) {
    const std::vector<int> lines = TagLines(tag);
    return lines.empty() ? std::string() : FieldText(lines.front(), tag);
}

// Hosts write names as "Smith J", "Smith-J" (CD-ROM) or "SMITH, J."; lists are separated by
// semicolons, or by commas when each name carries its initials after a blank.
std::vector<std::string> HostNames(std::string_view list) {
    std::vector<std::string> names;
    const bool semicolons = list.find(';') != std::string_view::npos;
    const char separator = semicolons ? ';' : ',';
    if (!semicolons && TrimView(list.substr(0, list.find(','))).find(' ') == std::string::npos) {
        names.emplace_back(list);
    } else {
        std::size_t start = 0;
        while (start <= list.size()) {
            std::size_t end = list.find(separator, start);
            if (end == std::string_view::npos) {
                end = list.size();
            }
            names.push_back(TrimBlanks(list.substr(start, end - start)));
            start = end + 1;
        }
    }
    std::vector<std::string> formatted;
    for (std::string name : names) {
        name = StripParenthesised(name);
        // "Porteous-DJ": the initials after the last hyphen.
        if (const std::size_t hyphen = name.rfind('-');
            name.find(' ') == std::string::npos && hyphen != std::string::npos &&
            hyphen + 1 < name.size() && hyphen + 5 >= name.size()) {
            name[hyphen] = ' ';
        }
        if (std::string f = FormatAuthorName(name); !f.empty()) {
            formatted.push_back(std::move(f));
        }
    }
    return formatted;
}

void AddAuthors(const std::vector<std::string>& names) {
    for (const std::string& name : names) {
        lexmill_AddToAuthors(lx::Arg(name).c_str());
    }
}

void AddKeywords(const std::vector<std::string>& keywords) {
    for (std::size_t i = 0; i < keywords.size(); ++i) {
        const bool last = i + 1 == keywords.size();
        lexmill_AddToMajorHeads(lx::Arg(keywords[i] + (last ? "." : "; ")).c_str());
    }
}

// The citation as a journal line and a year line; a source without year and volume is not a
// journal's, and Lexmill keeps its text as the comment. A page list's whole text goes to
// `notes`, for the comments after the abstract.
void EmitCitation(const Citation& c, std::string_view sourceTag, std::vector<std::string>& notes) {
    if (c.year.empty() && c.volume.empty()) {
        lexmill_DumpSourceSection(lx::Arg(sourceTag).c_str());
        return;
    }
    Reference r;
    r.year = c.year;
    r.volume = c.volume;
    r.issue = c.issue;
    const std::string pages = SettledPages(c.pages, notes);
    lexmill_SetYearVolPage(lx::Arg(YearLine(r, ExpandedPages(pages))).c_str());
    lexmill_DumpLongJournalName(lx::Arg(c.journal).c_str());
}

} // namespace

TaggedLayoutProcedure::TaggedLayoutProcedure(std::function<void()> read, LayoutTags tags,
                                             TextMode charSet, unsigned char diacritic)
    : read_(std::move(read)), tags_(tags), charSet_(charSet), diacritic_(diacritic) {}

void TaggedLayoutProcedure::Begin(const std::string&) {
    lexmill_SetDoDiac(diacritic_ != 0 ? 1 : 0);
    lexmill_SetDiacChar(diacritic_);
}

std::string TaggedLayoutProcedure::WithDiacritics(std::string text) const {
    if (diacritic_ == 0) {
        return text;
    }
    return lx::Fetch(
        [&](char* b, size_t n) { return lexmill_ChangeCharSet_D(lx::Arg(text).c_str(), b, n); });
}

bool TaggedLayoutProcedure::Fill() {
    if (!tags_.id.empty()) {
        lexmill_SetIdString(lx::Arg(lx::IdField(tags_.id)).c_str());
    }
    if (!tags_.language.empty()) {
        // Three-letter tags ("LA English") give the language's code to the identification.
        if (tags_.language.size() <= 4) {
            lexmill_ReadLanguage(lx::Arg(tags_.language).c_str());
        }
        lexmill_SetLanguage(lx::Arg(FirstField(tags_.language)).c_str());
    }
    lexmill_ReadTitle(lx::Arg(tags_.title).c_str(), tags_.decapitaliseTitle ? 1 : 0);
    for (int index : TagLines(tags_.authors)) {
        AddAuthors(HostNames(WithDiacritics(FieldText(index, tags_.authors))));
    }
    Citation c;
    if (!tags_.year.empty()) {
        c.journal = FirstField(tags_.journal);
        c.year = FirstYear(FirstField(tags_.year));
        c.volume = FirstField(tags_.volume);
        c.issue = FirstField(tags_.issue);
        c.pages = FirstField(tags_.pages);
    } else {
        std::string source = FirstField(tags_.source);
        if (!tags_.journal.empty()) {
            source = FirstField(tags_.journal) + " " + source;
        }
        c = ParseCitation(source);
    }
    std::vector<std::string> notes;
    EmitCitation(c, tags_.source.empty() ? tags_.journal : tags_.source, notes);
    if (!tags_.abstract.empty()) {
        lexmill_ReadAbstract(lx::Arg(tags_.abstract).c_str());
    }
    CollectNotes(notes);
    if (!tags_.address.empty()) {
        lexmill_ReadAdress(lx::Arg(tags_.address).c_str());
    }
    std::vector<std::string> keywords;
    for (int index : TagLines(tags_.keywords)) {
        // One keyword a line: the tag line and the lines that continue it.
        keywords.push_back(
            TrimBlanks(std::string_view(lx::Line(index)).substr(Stem(tags_.keywords).size())));
        for (int i = index + 1; i < lx::LineCount(); ++i) {
            const std::string line = lx::Line(i);
            if (line.empty() || !IsBlank(line.front())) {
                break;
            }
            keywords.push_back(TrimBlanks(line));
        }
    }
    std::vector<std::string> single;
    for (const std::string& k : keywords) {
        for (const std::string& part : SplitNameList(k)) {
            single.push_back(part);
        }
    }
    AddKeywords(single);
    return true;
}

HostMedlineProcedure::HostMedlineProcedure()
    : TaggedLayoutProcedure([] { lexmill_ReadTheWholeReference("UI  -$AN  -"); },
                            {.id = "UI  - ",
                             .title = "TI  - ",
                             .authors = "AU  - ",
                             .source = "SO  - ",
                             .abstract = "AB  - ",
                             .address = "AD  - ",
                             .language = "LA  - ",
                             .keywords = "MH  - ",
                             .decapitaliseTitle = true},
                            TextMode::Ansi, '~') {}

bool HostMedlineProcedure::Fill() {
    auto names = [&](std::string_view tag, std::vector<std::string>& list) {
        for (int index : TagLines(tag)) {
            for (std::string& name : HostNames(WithDiacritics(FieldText(index, tag)))) {
                list.push_back(std::move(name));
            }
        }
    };
    const std::string book = WithDiacritics(FirstField("BK  - "));
    if (book.empty()) {
        return TaggedLayoutProcedure::Fill();
    }
    Reference r;
    r.id = lx::IdField(tags_.id);
    r.title = WithDiacritics(FirstField(tags_.title));
    r.kind = r.title.empty() ? ReferenceKind::Monograph : ReferenceKind::Chapter;
    if (r.title.empty()) {
        r.title = book;
    }
    r.bookTitle = book;
    names(tags_.authors, r.authors);
    names("ED  - ", r.editors);
    // "Springer, Berlin, Heidelberg 2009;185:265-302": publisher and city, the year, then the
    // volume and the pages, which the record also gives on lines of their own.
    const std::string source = WithDiacritics(FirstField(tags_.source));
    const std::size_t semicolon = source.rfind(';');
    std::string published = TrimBlanks(std::string_view(source).substr(0, semicolon));
    if (const std::size_t blank = published.rfind(' ');
        blank != std::string::npos && !FirstYear(published.substr(blank + 1)).empty()) {
        r.year = FirstYear(published.substr(blank + 1));
        published.erase(blank);
    }
    PublisherPlace place = SplitPublisherAndCity(published);
    r.publisher = std::move(place.publisher);
    r.city = std::move(place.city);
    if (std::string year = FirstYear(FirstField("DP  - ")); !year.empty()) {
        r.year = std::move(year);
    }
    r.volume = FirstField("VI  - ");
    r.issue = FirstField("IP  - ");
    r.pages = FirstField("PG  - ");
    if (r.pages.empty() && semicolon != std::string::npos) {
        const std::string_view numbers = std::string_view(source).substr(semicolon + 1);
        const std::size_t colon = numbers.find(':');
        r.pages = TrimBlanks(colon == std::string_view::npos ? numbers : numbers.substr(colon + 1));
    }
    if (std::string abstract = WithDiacritics(FirstField(tags_.abstract)); !abstract.empty()) {
        r.abstract.push_back(std::move(abstract));
    }
    r.address = FirstField(tags_.address);
    r.language = FirstField(tags_.language);
    for (int index : TagLines(tags_.keywords)) {
        for (std::string& keyword : SplitNameList(FieldText(index, tags_.keywords))) {
            r.keywords.push_back(std::move(keyword));
        }
    }
    CollectReference(std::move(r));
    if (tags_.decapitaliseTitle) {
        lexmill_DecapitalizeTitle(); // only a title written in capitals
    }
    return true;
}

ProbaseProcedure::ProbaseProcedure()
    : TaggedLayoutProcedure(
          [this] {
              header_ = lx::Fetch([](char* b, size_t n) { return lexmill_ReadProbase(b, n, 80); });
          },
          LayoutTags{.title = "TI ", .authors = "AU ", .source = "SO ", .abstract = "AB "}) {}

bool ProbaseProcedure::Fill() {
    TaggedLayoutProcedure::Fill();
    // "AN 0001 Probase": the accession number is the header's second word.
    lexmill_SetIdString(lx::Arg(NthWord(2, header_, " ")).c_str());
    return true;
}

void CopacProcedure::ReadRecord() {
    lexmill_ReadTheWholeReferenceTwoC("TI-", "TI-");
}

bool CopacProcedure::Fill() {
    Reference r;
    r.kind = ReferenceKind::Monograph;
    r.title = FirstField("TI- ");
    r.bookTitle = r.title;
    for (int index : TagLines("AU- ")) {
        for (const std::string& name : HostNames(FieldText(index, "AU- "))) {
            r.authors.push_back(name);
        }
    }
    // "London : Butterworths"
    const std::string published = FirstField("PU- ");
    const std::size_t colon = published.find(" : ");
    r.city = colon == std::string::npos ? std::string() : TrimBlanks(published.substr(0, colon));
    r.publisher = TrimBlanks(colon == std::string::npos ? published : published.substr(colon + 3));
    r.year = FirstYear(FirstField("PY- "));
    if (const std::string series = FirstField("SE- "); !series.empty()) {
        r.notes.push_back(series);
    }
    for (int index : TagLines("KW- ")) {
        r.keywords.push_back(FieldText(index, "KW- "));
    }
    CollectReference(std::move(r));
    return true;
}

void LabelledRecordsProcedure::ReadRecord() {
    lexmill_ReadTheWholeReferenceTwoC("TI:", "TI:");
}

bool LabelledRecordsProcedure::Fill() {
    // "AN: 94085977 ENG": the accession number is the first word; the language follows it.
    lexmill_SetIdString(lx::Arg(FirstWord(FirstField("AN:"))).c_str());
    lexmill_SetLanguage(lx::Arg(FirstField("LA:")).c_str());
    lexmill_ReadTitleCambridge("TI:", 1);
    lexmill_ReadAbstractCambridge("AB:", 1);
    lexmill_ReadAdressCambridge("AD:", 1);
    const int authors = lexmill_GetTagLine("AU:");
    if (authors >= 0) {
        AddAuthors(HostNames(TrimBlanks(std::string_view(lx::Line(authors)).substr(3))));
    }
    const int source = lexmill_GetTagLine("SO:");
    if (source >= 0) {
        std::string text = TrimBlanks(std::string_view(lx::Line(source)).substr(3));
        for (int i = source + 1; i < lx::LineCount() && IsBlank(lx::Line(i).front()); ++i) {
            text += " " + TrimBlanks(lx::Line(i));
        }
        Citation c = ParseCitation(text);
        // Journal names written with hyphens for blanks ("IEEE-Trans-Biomed-Eng") are looked up
        // and shown with their blanks.
        if (c.journal.find(' ') == std::string::npos) {
            std::replace(c.journal.begin(), c.journal.end(), '-', ' ');
        }
        if (!c.year.empty() || !c.volume.empty()) {
            std::vector<std::string> notes;
            EmitCitation(c, "SO:", notes);
            CollectNotes(notes); // after the abstract, read above
        } else {
            lexmill_DumpSourceSectionCambridge("SO:", 1);
        }
    }
    return true;
}

bool FreeCitationProcedure::Fill() {
    std::string text;
    for (int i = 0; i < lx::LineCount(); ++i) {
        text += (text.empty() ? "" : " ") + TrimBlanks(lx::Line(i));
    }
    CollectReference(ParseFreeCitation(text));
    return true;
}

} // namespace cvx::vorodud
