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

std::vector<std::string> Formatted(const std::vector<std::string>& names) {
    std::vector<std::string> out;
    for (const std::string& name : names) {
        if (std::string f = FormatAuthorName(name); !f.empty()) {
            out.push_back(std::move(f));
        }
    }
    return out;
}

std::string Joined(const std::vector<std::string>& parts) {
    std::string out;
    for (const std::string& p : parts) {
        out += (out.empty() ? "" : " ") + p;
    }
    return out;
}

// Keywords written as one list ("a; b; c") become single keywords.
std::vector<std::string> KeywordList(const std::vector<std::string>& values) {
    std::vector<std::string> keywords;
    for (const std::string& value : values) {
        std::size_t start = 0;
        while (start <= value.size()) {
            std::size_t end = value.find(';', start);
            if (end == std::string::npos) {
                end = value.size();
            }
            std::string k = TrimBlanks(std::string_view(value).substr(start, end - start));
            if (!k.empty()) {
                keywords.push_back(std::move(k));
            }
            start = end + 1;
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

} // namespace

// --- PubMed / MEDLINE: records are blocks of tag lines separated by blank lines.

void MedlineProcedure::ReadRecord() {
    lexmill_ReadTaggedRecord("PMID-", "", "");
}

bool MedlineProcedure::Fill() {
    if (!IsMedlineTagLine(lx::Line(0))) {
        return false; // a line of text between records
    }
    const TaggedFields f(TagStyle::Medline);
    Reference r;
    r.id = f.First("PMID");
    r.authors = Formatted(f.All("AU"));
    if (r.authors.empty()) {
        r.authors = Formatted(f.All("FAU"));
    }
    for (const std::string& group : f.All("CN")) {
        r.authors.push_back(CorporateAuthor(group));
    }
    r.title = Joined(f.All("TI"));
    if (r.title.empty()) {
        r.title = f.First("TT");
    }
    const std::string book = f.First("BTI");
    if (!book.empty()) {
        r.kind = r.title.empty() ? ReferenceKind::Monograph : ReferenceKind::Chapter;
        if (r.title.empty()) {
            r.title = book;
        }
        r.bookTitle = book;
        r.editors = Formatted(f.All("ED"));
        if (r.editors.empty()) {
            r.editors = Formatted(f.All("FED"));
        }
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
    r.abstract = f.All("AB");
    r.address = f.First("AD");
    r.keywords = f.All("MH");
    for (const std::string& k : f.All("OT")) {
        r.keywords.push_back(k);
    }
    r.language = f.First("LA");
    CollectReference(r);
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
    const TaggedFields f(TagStyle::Ris);
    const std::string type = UpperText(TrimBlanks(f.First("TY")));
    Reference r;
    r.id = f.FirstOf({"AN", "ID"});
    r.authors = Formatted(f.All("AU"));
    for (const std::string& a : Formatted(f.All("A1"))) {
        r.authors.push_back(a);
    }
    r.title = f.FirstOf({"TI", "T1", "CT"});
    r.journal = f.FirstOf({"JF", "JO", "T2", "JA", "J1", "J2"});
    const std::string book = f.FirstOf({"BT", "T2", "T3"});
    r.editors = Formatted(f.All("ED"));
    for (const std::string& e : Formatted(f.All("A2"))) {
        r.editors.push_back(e);
    }
    r.publisher = f.FirstOf({"PB", "I1"});
    r.city = f.FirstOf({"CY", "PP"});
    const bool chapter = type == "CHAP" || type == "ECHAP" || type == "CONF" || type == "CPAPER";
    const bool book_ = type == "BOOK" || type == "EBOOK" || type == "EDBOOK" || type == "THES" ||
                       type == "RPRT" || type == "REPORT";
    if (chapter && !book.empty() && f.FirstOf({"JF", "JO", "JA", "J1", "J2"}).empty()) {
        r.kind = ReferenceKind::Chapter;
        r.bookTitle = book;
    } else if (book_ || (r.journal.empty() && !r.publisher.empty())) {
        r.kind = ReferenceKind::Monograph;
        if (r.title.empty()) {
            r.title = book;
        }
        r.bookTitle = book.empty() || book == r.title ? r.title : book;
    }
    r.year = FirstYear(f.FirstOf({"PY", "Y1", "DA", "Y2"}));
    r.volume = WithDigits(f.FirstOf({"VL", "VO"}));
    r.issue = WithDigits(f.FirstOf({"IS", "CP"}));
    const std::string start = WithDigits(f.First("SP"));
    const std::string end = WithDigits(f.First("EP"));
    r.pages = start.find('-') == std::string::npos && !end.empty() ? start + "-" + end : start;
    if (r.pages.empty()) {
        r.pages = WithDigits(f.First("C7")); // an article number
    }
    r.abstract = f.All("AB");
    if (r.abstract.empty()) {
        r.abstract = f.All("N2");
    }
    r.address = f.First("AD");
    r.keywords = f.Items("KW");
    r.language = f.First("LA");
    CollectReference(r);
    return true;
}

// --- Web of Science plain text: records from "PT" to "ER"; the file's header ("FN", "VR") and
// end ("EF") are not records. Cited references are never converted, so their lines are passed
// over by the reader (they would not fit the line table).

void WebOfScienceProcedure::ReadRecord() {
    lexmill_ReadTaggedRecord("PT ", "ER", "CR ");
}

bool WebOfScienceProcedure::Fill() {
    const TaggedFields f(TagStyle::WebOfScience);
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
    r.authors = Formatted(f.Items("AU"));
    if (r.authors.empty()) {
        r.authors = Formatted(f.Items("AF"));
    }
    for (const std::string& group : f.Items("CA")) {
        r.authors.push_back(CorporateAuthor(group));
    }
    r.title = f.First("TI");
    r.journal = f.First("SO");
    const std::string type = f.First("PT");
    if (type == "B" && f.First("SE").empty()) {
        r.kind = ReferenceKind::Monograph;
        r.bookTitle = f.FirstOf({"BS", "SO", "TI"});
        r.publisher = f.First("PU");
        r.city = f.First("PI");
        r.editors = Formatted(f.Items("BE"));
    }
    r.year = FirstYear(f.FirstOf({"PY", "PD", "EA"}));
    r.volume = WithDigits(f.First("VL"));
    r.issue = WithDigits(f.First("IS"));
    const std::string begin = WithDigits(f.First("BP"));
    const std::string end = WithDigits(f.First("EP"));
    r.pages = begin.empty() ? WithDigits(f.First("AR")) : end.empty() ? begin : begin + "-" + end;
    r.abstract = f.All("AB");
    const std::vector<std::string> addresses = f.Items("C1");
    if (!addresses.empty()) {
        r.address = addresses.front();
    }
    r.keywords = KeywordList(f.All("DE"));
    for (const std::string& k : KeywordList(f.All("ID"))) {
        r.keywords.push_back(k);
    }
    r.language = f.First("LA");
    CollectReference(r);
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
        for (const std::string& a : Formatted(SplitNameList(value))) {
            r.authors.push_back(a);
        }
    }
    for (const std::string& value : f.All("%E")) {
        for (const std::string& e : Formatted(SplitNameList(value))) {
            r.editors.push_back(e);
        }
    }
    r.title = f.First("%T");
    r.journal = f.First("%J");
    const std::string book = f.First("%B");
    r.publisher = f.First("%I");
    r.city = f.First("%C");
    const bool section =
        type == "BOOK SECTION" || type.starts_with("CONFERENCE") || type == "ENCYCLOPEDIA";
    const bool wholeBook =
        type == "BOOK" || type == "EDITED BOOK" || type == "THESIS" || type == "REPORT";
    if (section && !book.empty()) {
        r.kind = ReferenceKind::Chapter;
        r.bookTitle = book;
    } else if (wholeBook || (r.journal.empty() && book.empty() && !r.publisher.empty())) {
        r.kind = ReferenceKind::Monograph;
        r.bookTitle = r.title;
    } else if (r.journal.empty()) {
        r.journal = book;
    }
    r.year = FirstYear(f.First("%D"));
    r.volume = WithDigits(f.First("%V"));
    r.issue = WithDigits(f.First("%N"));
    r.pages = WithDigits(f.First("%P"));
    r.abstract = f.All("%X");
    r.address = f.First("%+");
    r.keywords = KeywordList(f.Items("%K"));
    r.language = f.First("%G");
    CollectReference(r);
    return true;
}

} // namespace cvx::vorodud
