// The procedures of today's tagged downloads: PubMed/MEDLINE, RIS, Web of Science plain text and
// EndNote/Refer.

#include "vorodud/TaggedSourceProcedures.h"
#include "text/CaseMapping.h"
#include "text/SourceDecoding.h"
#include "text/StringPrimitives.h"
#include "vorodud/CollectedReference.h"
#include "vorodud/LexmillWrapper.h"
#include "vorodud/SourceDetection.h"

namespace cvx::vorodud {

namespace {

// Adds the names to a list; "et al." among them marks the list as cut short.
void AddNames(std::vector<std::string>& list, const std::vector<std::string>& names, bool& etAl) {
    for (const std::string& name : names) {
        if (IsEtAl(name)) {
            etAl = true;
        } else if (std::string f = FormatAuthorName(name); !f.empty()) {
            list.push_back(std::move(f));
        }
    }
}

// A work that is no journal article keeps its web addresses in the comments (a web page, a
// data set, a report online); an article's own are left out as before.
void AddWebAddresses(Reference& r, const std::vector<std::string>& addresses) {
    if (r.kind != ReferenceKind::Journal || r.journal.empty()) {
        r.notes.insert(r.notes.end(), addresses.begin(), addresses.end());
    }
}

// Every address line of a record, in one field.
std::string Addresses(const std::vector<std::string>& lines) {
    std::string out;
    for (const std::string& line : lines) {
        if (!TrimView(line).empty()) {
            out += (out.empty() ? "" : "; ") + TrimBlanks(line);
        }
    }
    return out;
}

// Keywords written as one list ("a; b; c") become single keywords.
std::vector<std::string> KeywordList(const std::vector<std::string>& values) {
    std::vector<std::string> keywords;
    for (const std::string& value : values) {
        for (std::string& k : SplitTrimmed(value, ';')) {
            keywords.push_back(std::move(k));
        }
    }
    return keywords;
}

// A MEDLINE tag line: two to four capitals, digits or blanks, then a hyphen.
bool IsMedlineTagLine(std::string_view line) {
    const std::size_t dash = line.substr(0, 5).find('-');
    if (dash == std::string_view::npos || dash < 2) {
        return false;
    }
    for (std::size_t i = 0; i < dash; ++i) {
        const char c = line[i];
        if (!((c >= 'A' && c <= 'Z') || IsDigit(c) || c == ' ')) {
            return false;
        }
    }
    return line[0] >= 'A' && line[0] <= 'Z';
}

// The mark our own RIS export gives every record, "Ref #12 of 40 in refs.ref": the reference's
// place in the file it came from, which is no number of the work.
bool IsExportMark(std::string_view misc) {
    auto number = [&misc](std::string_view before) {
        if (!StartsWith(misc, before)) {
            return false;
        }
        misc.remove_prefix(before.size());
        std::size_t digits = 0;
        while (digits < misc.size() && IsDigit(misc[digits])) {
            ++digits;
        }
        misc.remove_prefix(digits);
        return digits > 0;
    };
    return number("Ref #") && number(" of ") && StartsWith(misc, " in ");
}

} // namespace

// --- PubMed / MEDLINE: records are blocks of tag lines separated by blank lines.

void MedlineProcedure::ReadRecord() {
    lexmill_ReadTaggedRecord("PMID-", "", "");
}

bool MedlineProcedure::Fill() {
    if (!IsMedlineTagLine(lx::Line(0))) {
        return false; // a line of text between records
    }
    TaggedFields f(TagStyle::Medline);
    Reference r;
    r.id = f.First("PMID");
    AddNames(r.authors, f.All("AU"), r.etAl);
    if (r.authors.empty()) {
        AddNames(r.authors, f.All("FAU"), r.etAl);
    }
    for (const std::string& group : f.All("CN")) {
        r.authors.push_back(CorporateAuthor(group));
    }
    r.title = JoinedWithBlanks(f.All("TI"));
    if (r.title.empty()) {
        r.title = f.First("TT");
    }
    const std::string& book = f.First("BTI");
    if (!book.empty()) {
        r.kind = r.title.empty() ? ReferenceKind::Monograph : ReferenceKind::Chapter;
        if (r.title.empty()) {
            r.title = book;
        }
        r.bookTitle = book;
        AddNames(r.editors, f.All("ED"), r.etAl);
        if (r.editors.empty()) {
            AddNames(r.editors, f.All("FED"), r.etAl);
        }
    }
    if (r.kind != ReferenceKind::Journal || f.FirstOf({"JT", "TA", "SO"}).empty()) {
        r.publisher = f.First("PB");
        r.city = f.First("PL");
    }
    r.journal = f.FirstOf({"JT", "TA"});
    if (r.journal.empty()) {
        r.journal = ParseCitation(f.First("SO")).journal;
    }
    r.year = FirstYear(f.FirstOf({"DP", "SO"}));
    r.volume = f.First("VI");
    r.issue = f.First("IP");
    r.pages = f.First("PG");
    // An electronic article's number: "LID - e00466 [pii]".
    for (const std::string& lid : f.All("LID")) {
        const std::size_t bracket = lid.find(" [pii]");
        if (bracket != std::string::npos && IsArticleNumber(lid.substr(0, bracket))) {
            r.articleNumber = TrimBlanks(lid.substr(0, bracket));
            break;
        }
    }
    r.abstract = f.TakeAll("AB");
    r.address = Addresses(f.All("AD"));
    r.keywords = f.All("MH");
    for (const std::string& k : f.All("OT")) {
        r.keywords.push_back(k);
    }
    r.language = f.First("LA");
    CollectReference(std::move(r));
    return true;
}

// --- RIS: records from "TY  -" to "ER  -", as databases, publishers and reference managers
// write them; some write the tags with one blank before the hyphen.

void RisProcedure::Begin(const std::string& source) {
    const std::string text = DecodeSourceText(ReadSourceHead(source));
    marker_ = "TY  -";
    for (const std::string_view raw : SplitLines(text)) {
        const std::string_view line = TrimView(raw);
        if (StartsWith(line, "TY  -")) {
            break;
        }
        if (StartsWith(line, "TY -")) {
            marker_ = "TY -";
            break;
        }
    }
}

void RisProcedure::ReadRecord() {
    lexmill_ReadTheWholeReferenceRIS(marker_.c_str());
}

bool RisProcedure::Fill() {
    TaggedFields f(TagStyle::Ris);
    // Tag lines without a type line are a record when they name a work; stray tags after a
    // record's end line ("NL  - ...") are not.
    if (!f.Has("TY") &&
        f.FirstOf({"TI", "T1", "CT", "AU", "A1", "JF", "JO", "T2", "BT", "PY", "Y1"}).empty()) {
        return false;
    }
    // A record without its type line is read as a journal article, the type most records have.
    std::string type = UpperText(TrimBlanks(f.First("TY")));
    if (type.empty()) {
        type = "JOUR";
    }
    Reference r;
    r.id = f.FirstOf({"AN", "ID"});
    AddNames(r.authors, f.All("AU"), r.etAl);
    AddNames(r.authors, f.All("A1"), r.etAl);
    r.title = f.FirstOf({"TI", "T1", "CT"});
    const std::string& book = f.FirstOf({"BT", "T2", "T3"});
    AddNames(r.editors, f.All("ED"), r.etAl);
    AddNames(r.editors, f.All("A2"), r.etAl);
    AddNames(r.seriesEditors, f.All("A3"), r.etAl);
    r.publisher = f.FirstOf({"PB", "I1"});
    r.city = f.FirstOf({"CY", "PP"});
    // The type decides what a record is; a journal abbreviation (J2) beside a chapter is only the
    // book series' short name.
    const bool chapter = type == "CHAP" || type == "ECHAP" || type == "CONF" || type == "CPAPER";
    const bool wholeBook = type == "BOOK" || type == "EBOOK" || type == "EDBOOK" ||
                           type == "THES" || type == "RPRT" || type == "REPORT";
    if (chapter && !book.empty()) {
        r.kind = ReferenceKind::Chapter;
        r.bookTitle = book;
    } else if (wholeBook || chapter) {
        // A chapter or paper without its book's title is written as a work of its own, with
        // its publisher, place and editors; its J-tags name a series, not a journal.
        r.kind = ReferenceKind::Monograph;
        if (r.title.empty()) {
            r.title = book;
        }
        r.bookTitle = book.empty() || book == r.title ? r.title : book;
        if (const std::string& series = f.FirstOf({"JF", "JO", "JA", "J1", "J2"});
            chapter && !series.empty()) {
            r.notes.push_back(series);
        }
    } else {
        r.journal = f.FirstOf({"JF", "JO", "T2", "JA", "J1", "J2"});
    }
    r.year = FirstYearOf(f.All("PY"));
    if (r.year.empty()) {
        r.year = FirstYearOf(f.All("Y1"));
    }
    if (r.year.empty()) {
        r.year = FirstYearOf(f.All("DA"));
    }
    if (r.year.empty()) {
        r.year = FirstYearOf(f.All("Y2"));
    }
    r.volume = WithDigits(f.FirstOf({"VL", "VO"}));
    r.issue = WithDigits(f.FirstOf({"IS", "CP"}));
    const std::string start = WithDigits(f.First("SP"));
    const std::string end = WithDigits(f.First("EP"));
    r.pages =
        start.find_first_of("-,;") == std::string::npos && !end.empty() ? start + "-" + end : start;
    // C7 is an article number; M1 is one in a journal's record when it looks like one, and a
    // report's or patent's number in the record of a work without a journal. Our own export puts
    // its mark there, the translated title in N2, which others fill with the abstract, and the
    // identification string in N1.
    r.articleNumber = WithDigits(f.First("C7"));
    const std::string& misc = f.First("M1");
    const bool ours = IsExportMark(misc);
    if (ours) {
        r.translatedTitle = f.First("N2");
        if (r.id.empty()) {
            r.id = f.First("N1"); // the identification string, where others write notes
        }
    } else if (r.articleNumber.empty() && IsArticleNumber(misc) && misc.size() <= 8) {
        r.articleNumber = misc;
    } else if (r.kind != ReferenceKind::Journal || r.journal.empty()) {
        r.number = WithDigits(misc);
    }
    r.abstract = f.TakeAll("AB");
    if (r.abstract.empty() && !ours) {
        r.abstract = f.TakeAll("N2");
    }
    r.address = Addresses(f.All("AD"));
    r.keywords = f.Items("KW");
    r.language = f.First("LA");
    AddWebAddresses(r, f.All("UR"));
    CollectReference(std::move(r));
    return true;
}

// --- Web of Science plain text: records from "PT" to "ER"; the file's header ("FN", "VR") and
// end ("EF") are not records. Cited references are never converted, so their lines are passed
// over by the reader (they would not fit the line table).

void WebOfScienceProcedure::ReadRecord() {
    lexmill_ReadTaggedRecord("PT ", "ER", "CR ");
}

bool WebOfScienceProcedure::Fill() {
    TaggedFields f(TagStyle::WebOfScience);
    bool reference = false;
    for (const TaggedField& field : f.Fields()) {
        reference = reference || (field.tag != "FN" && field.tag != "VR" && field.tag != "EF" &&
                                  field.tag != "ER");
    }
    if (!reference) {
        return false;
    }
    Reference r;
    r.id = f.First("UT");
    // One name a line, or several on a line separated by ";" (records that came from MEDLINE).
    AddNames(r.authors, KeywordList(f.Items("AU")), r.etAl);
    if (r.authors.empty()) {
        AddNames(r.authors, KeywordList(f.Items("AF")), r.etAl);
    }
    for (const std::string& group : f.Items("CA")) {
        r.authors.push_back(CorporateAuthor(group));
    }
    r.title = f.First("TI");
    r.journal = f.First("SO");
    const std::string& type = f.First("PT");
    if (type == "B" && f.First("SE").empty()) {
        r.kind = ReferenceKind::Monograph;
        r.bookTitle = f.FirstOf({"BS", "SO", "TI"});
        r.publisher = f.First("PU");
        r.city = f.First("PI");
        AddNames(r.editors, KeywordList(f.Items("BE")), r.etAl);
    }
    r.year = FirstYear(f.FirstOf({"PY", "PD", "EA"}));
    r.volume = WithDigits(f.First("VL"));
    r.issue = WithDigits(f.First("IS"));
    const std::string begin = WithDigits(f.First("BP"));
    const std::string end = WithDigits(f.First("EP"));
    if (begin.find('-') != std::string::npos) {
        // An article number with its page ("BP 41103-1", "EP 41103-41103-3"): the number.
        r.pages = begin.substr(0, begin.find('-'));
    } else {
        r.pages = begin.empty() ? std::string() : end.empty() ? begin : begin + "-" + end;
    }
    r.articleNumber = WithDigits(f.First("AR"));
    if (r.pages.empty() && r.articleNumber.empty()) {
        r.pages = WithDigits(f.First("PS")); // records that came from MEDLINE
    }
    r.abstract = f.TakeAll("AB");
    r.address = Addresses(f.Items("C1"));
    r.keywords = KeywordList(f.All("DE"));
    for (const std::string& k : KeywordList(f.All("ID"))) {
        r.keywords.push_back(k);
    }
    r.language = f.First("LA");
    CollectReference(std::move(r));
    return true;
}

// --- EndNote and Refer tagged text: records begin at "%0"; untagged lines continue a field.

void ReferProcedure::ReadRecord() {
    lexmill_ReadTaggedRecord("%0", "", "");
}

bool ReferProcedure::Fill() {
    if (!StartsWith(lx::Line(0), "%")) {
        return false;
    }
    const TaggedFields f(TagStyle::Refer);
    const std::string type = UpperText(TrimBlanks(f.First("%0")));
    Reference r;
    r.id = f.First("%M");
    for (const std::string& value : f.All("%A")) {
        AddNames(r.authors, SplitNameList(value), r.etAl);
    }
    for (const std::string& value : f.All("%E")) {
        AddNames(r.editors, SplitNameList(value), r.etAl);
    }
    r.title = f.First("%T");
    r.journal = f.First("%J");
    const std::string& book = f.First("%B");
    r.publisher = f.First("%I");
    r.city = f.First("%C");
    const bool section =
        type == "BOOK SECTION" || type.starts_with("CONFERENCE") || type == "ENCYCLOPEDIA";
    const bool wholeBook =
        type == "BOOK" || type == "EDITED BOOK" || type == "THESIS" || type == "REPORT";
    if (section && !book.empty()) {
        r.kind = ReferenceKind::Chapter;
        r.bookTitle = book;
    } else if (wholeBook || section ||
               (r.journal.empty() && book.empty() && !r.publisher.empty())) {
        // A section without its book's title is written as a work of its own; a journal name
        // beside it names its series.
        r.kind = ReferenceKind::Monograph;
        r.bookTitle = r.title;
        if (section && !r.journal.empty()) {
            r.notes.push_back(r.journal);
        }
        r.journal.clear();
    } else if (r.journal.empty()) {
        r.journal = book;
    }
    r.year = FirstYear(f.First("%D"));
    r.volume = WithDigits(f.First("%V"));
    r.issue = WithDigits(f.First("%N"));
    r.pages = WithDigits(f.First("%P"));
    // A report's or patent's number; a thesis has its kind there ("PhD thesis").
    if (type == "THESIS") {
        if (const std::string& kind = f.First("%R"); !kind.empty()) {
            r.notes.push_back(kind);
        }
    } else {
        r.number = f.First("%R");
    }
    r.abstract = f.All("%X");
    r.address = Addresses(f.All("%+"));
    AddWebAddresses(r, f.All("%U"));
    r.keywords = KeywordList(f.Items("%K"));
    r.language = f.First("%G");
    CollectReference(std::move(r));
    return true;
}

} // namespace cvx::vorodud
