#include "vorodud/SourceDetection.h"

#include "text/CaseMapping.h"
#include "text/SourceDecoding.h"
#include "text/StringPrimitives.h"
#include "vorodud/OvidProcedure.h"
#include "vorodud/SourceTypes.h"

#include <fcntl.h>
#include <fstream>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace cvx::vorodud {

namespace {

constexpr std::size_t kHead = 1 << 16;

bool IsCapital(char c) {
    return c >= 'A' && c <= 'Z';
}

bool IsCapitalOrDigit(char c) {
    return IsCapital(c) || IsDigit(c);
}

// "TY  - " or "TY - ": two capitals (or a capital and a digit), blanks, a hyphen.
bool IsRisTag(std::string_view line) {
    return line.size() >= 5 && IsCapital(line[0]) && IsCapitalOrDigit(line[1]) &&
           ((line[2] == ' ' && line[3] == ' ' && line[4] == '-') ||
            (line[2] == ' ' && line[3] == '-' && (line.size() == 4 || line[4] == ' ')));
}

// "FAU - ", "STAT- ", "PMID- ": up to four capitals padded with blanks, then "- ".
bool IsMedlineTag(std::string_view line) {
    if (line.size() < 5 || line[4] != '-' || !IsCapital(line[0]) || !IsCapital(line[1])) {
        return false;
    }
    for (std::size_t i = 2; i < 4; ++i) {
        if (!IsCapitalOrDigit(line[i]) && line[i] != ' ') {
            return false;
        }
    }
    return true;
}

// "TI Title", "AU Name": two capitals, a blank and text; "ER" and "EF" alone.
bool IsWosTag(std::string_view line) {
    return line.size() >= 4 && IsCapital(line[0]) && IsCapitalOrDigit(line[1]) && line[2] == ' ' &&
           line[3] != ' ' && line[3] != '-' && line.find('\t') == std::string_view::npos;
}

// "@article{key," and the like; "@string(" and "@comment{" too.
bool IsBibtexEntry(std::string_view line) {
    line = TrimView(line);
    if (line.size() < 3 || line[0] != '@') {
        return false;
    }
    std::size_t i = 1;
    while (i < line.size() &&
           ((line[i] >= 'a' && line[i] <= 'z') || (line[i] >= 'A' && line[i] <= 'Z'))) {
        ++i;
    }
    if (i == 1) {
        return false;
    }
    while (i < line.size() && line[i] == ' ') {
        ++i;
    }
    return i < line.size() && (line[i] == '{' || line[i] == '(');
}

bool IsReferTag(std::string_view line) {
    return line.size() >= 2 && line[0] == '%' && !IsBlank(line[1]) &&
           (line.size() == 2 || line[2] == ' ');
}

int TypeIfKnown(std::string_view key) {
    const SourceType* t = FindTypeByKey(key);
    return t == nullptr ? 0 : t->number;
}

bool LooksBinary(std::string_view text) {
    std::size_t control = 0;
    for (char ch : text) {
        const auto c = static_cast<unsigned char>(ch);
        if (c < 32 && c != '\t' && c != '\r' && c != '\n' && c != '\f') {
            ++control;
        }
    }
    return control * 100 > text.size();
}

// "TI- " (library catalogues, DIALOG), "TI ~ " (Inspec), "TI: " (CD-ROM labels), "TI  x"
// (Reference Update).
bool IsTagWith(std::string_view line, std::string_view after) {
    return line.size() > 2 + after.size() && IsCapital(line[0]) && IsCapitalOrDigit(line[1]) &&
           line.substr(2, after.size()) == after;
}

// "1998;12(3):123-9" or "1990;3:301-5": a citation of running text.
bool HasCitation(std::string_view line) {
    for (std::size_t i = 0; i + 7 < line.size(); ++i) {
        if (IsDigit(line[i]) && IsDigit(line[i + 1]) && IsDigit(line[i + 2]) &&
            IsDigit(line[i + 3]) && line[i + 4] == ';' && IsDigit(line[i + 5]) &&
            (i == 0 || !IsDigit(line[i - 1]))) {
            const std::size_t colon = line.find(':', i + 5);
            return colon != std::string_view::npos && colon < i + 20 && colon + 1 < line.size() &&
                   IsDigit(line[colon + 1]);
        }
    }
    return false;
}

// Shift-JIS double-byte characters in the file as it is.
std::size_t ShiftJisPairs(std::string_view raw) {
    std::size_t pairs = 0;
    for (std::size_t i = 0; i + 1 < raw.size(); ++i) {
        const auto lead = static_cast<unsigned char>(raw[i]);
        const auto trail = static_cast<unsigned char>(raw[i + 1]);
        if (((lead >= 0x81 && lead <= 0x9F) || (lead >= 0xE0 && lead <= 0xEF)) && trail >= 0x40 &&
            trail <= 0xFC && trail != 0x7F) {
            ++pairs;
            ++i;
        }
    }
    return pairs;
}

// The first form-feed separated block holds a positional record: its fourth line (or fifth,
// after a title of two lines) is a citation such as "1994;12(3):45-52".
bool LooksPositional(const std::vector<std::string_view>& lines) {
    std::vector<std::string_view> block;
    for (std::string_view line : lines) {
        if (StartsWith(line, "\f")) {
            break;
        }
        if (!TrimView(line).empty()) {
            block.push_back(line);
        }
    }
    auto citation = [](std::string_view l) {
        return l.size() >= 5 && IsDigit(l[1]) && IsDigit(l[2]) && IsDigit(l[3]) &&
               (l[4] == ':' || l[4] == ';');
    };
    return block.size() >= 4 && (citation(block[3]) || (block.size() >= 5 && citation(block[4])));
}

struct Census {
    std::size_t ris = 0, medline = 0, wos = 0, refer = 0, bibtex = 0;
    std::size_t hyphenTags = 0, tildeTags = 0, colonTags = 0, doubleBlankTags = 0;
    std::size_t numbered = 0, citations = 0, labels = 0, recordNumbers = 0;
    std::size_t ovidRecords = 0, ovidLabels = 0;
    bool risStart = false, pmid = false, wosEnd = false, wosTitle = false;
    bool pagePrompt = false, hostUi = false, formFeed = false, dialog = false;
    bool entrez = false, htmlTitle = false, igakuJournal = false, oemLetters = false;
};

Census Count(const std::vector<std::string_view>& lines) {
    Census c;
    for (std::string_view line : lines) {
        const std::string_view t = TrimView(line);
        if (IsRisTag(t)) {
            ++c.ris;
            c.risStart = c.risStart || StartsWith(t, "TY ");
        }
        if (IsMedlineTag(line)) {
            ++c.medline;
            c.pmid = c.pmid || StartsWith(line, "PMID-");
            c.hostUi = c.hostUi || StartsWith(line, "UI  -");
        }
        if (IsWosTag(line)) {
            ++c.wos;
            c.wosTitle = c.wosTitle || StartsWith(line, "TI ") || StartsWith(line, "AU ");
        }
        c.wosEnd = c.wosEnd || t == "ER" || t == "EF";
        c.refer += IsReferTag(line) ? 1 : 0;
        c.ovidRecords += IsOvidRecordLine(line) ? 1 : 0;
        c.ovidLabels += IsOvidLabel(line) ? 1 : 0;
        c.bibtex += IsBibtexEntry(line) ? 1 : 0;
        c.hyphenTags += IsTagWith(line, "- ") ? 1 : 0;
        c.tildeTags += IsTagWith(line, " ~ ") ? 1 : 0;
        c.colonTags += IsTagWith(line, ": ") ? 1 : 0;
        c.doubleBlankTags += IsTagWith(line, "  ") && line.size() > 4 && line[4] != '-' ? 1 : 0;
        c.pagePrompt = c.pagePrompt || t == "MORE" || StartsWith(line, "\x17REC");
        c.formFeed = c.formFeed || line.find('\f') != std::string_view::npos;
        c.dialog = c.dialog || line.find("DIALOG(R)File") != std::string_view::npos;
        const std::string upper = UpperText(t);
        c.entrez = c.entrez || upper.find("<P><EM>") != std::string::npos ||
                   upper.find("<HR><EM>") != std::string::npos;
        c.htmlTitle = c.htmlTitle || StartsWith(upper, "<TITLE>");
        c.igakuJournal = c.igakuJournal || StartsWith(line, "JN:") || StartsWith(line, "DP:");
        c.labels += StartsWith(t, "Document Type:") || StartsWith(t, "Descriptors:") ? 1 : 0;
        c.citations += HasCitation(line) ? 1 : 0;
        if (t.size() > 2 && IsDigit(t[0])) {
            std::size_t i = 0;
            while (i < t.size() && IsDigit(t[i])) {
                ++i;
            }
            c.numbered += i < t.size() && t[i] == '.' && i + 1 < t.size() && t[i + 1] == ' ';
            c.recordNumbers += i < t.size() && t[i] == '/' ? 1 : 0;
        }
        for (char ch : line) {
            const auto b = static_cast<unsigned char>(ch);
            // Letters of the OEM code page that code page 1252 text hardly has.
            c.oemLetters = c.oemLetters || b == 0x81 || b == 0x84 || b == 0x8E || b == 0x94 ||
                           b == 0x99 || b == 0x9A;
        }
    }
    return c;
}

} // namespace

int DetectSourceTypeOfText(std::string_view head) {
    // Layouts recognised in the file as it is: Probase's record separators, Shift-JIS text.
    if (head.find(std::string_view("\0AN", 3)) != std::string_view::npos) {
        return TypeIfKnown("probase");
    }
    const std::string text = DecodeSourceText(head);
    if (TrimView(text).empty() || LooksBinary(text)) {
        return 0;
    }
    const std::vector<std::string_view> lines = SplitLines(text);
    const Census c = Count(lines);
    std::string_view first;
    for (std::string_view line : lines) {
        if (!TrimView(line).empty()) {
            first = TrimView(line);
            break;
        }
    }
    // A tab-delimited export names its columns by the tags of the tagged layout; it is not that
    // layout.
    if (first.find('\t') != std::string_view::npos &&
        (StartsWith(first, "PT\t") || StartsWith(first, "TY\t") || StartsWith(first, "AU\t"))) {
        return 0;
    }
    const bool japanese = ShiftJisPairs(head) >= 2;
    // Ovid's labelled export: "<1>" lines and labels on lines of their own. Records without the
    // labels are no layout the driver reads.
    if (c.ovidRecords >= 1 && c.ovidLabels >= 2 && c.ris + c.medline + c.wos + c.bibtex == 0) {
        return TypeIfKnown("ovid");
    }
    if (c.bibtex >= 1 && c.bibtex * 2 >= c.ris + c.medline + c.wos + c.refer) {
        return TypeIfKnown("bibtex");
    }
    if (c.pmid && c.medline >= 3) {
        return TypeIfKnown("medline");
    }
    if (c.ris >= 3 && (c.risStart || c.ris > c.medline)) {
        return TypeIfKnown("ris");
    }
    if (c.medline >= 3) {
        return TypeIfKnown(c.pagePrompt || c.hostUi ? "host-medline" : "medline");
    }
    if (c.wos >= 3 && c.wosTitle && c.wosEnd) {
        return TypeIfKnown("wos");
    }
    if (c.refer >= 2) {
        return TypeIfKnown("refer");
    }
    if (c.entrez) {
        return TypeIfKnown("entrez-html");
    }
    if (c.htmlTitle) {
        return TypeIfKnown("medline-html");
    }
    if (c.dialog) {
        return TypeIfKnown("dialog-isi");
    }
    if (c.tildeTags >= 2) {
        return TypeIfKnown("inspec");
    }
    if (c.colonTags >= 3) {
        if (japanese || c.igakuJournal) {
            return TypeIfKnown("igaku");
        }
        return TypeIfKnown(c.formFeed ? "cdrom-pages" : "silverplatter");
    }
    if (c.hyphenTags >= 3) {
        return TypeIfKnown("copac");
    }
    if (c.wos >= 3 && japanese) {
        return TypeIfKnown("jicst");
    }
    if (c.wos >= 3 && c.recordNumbers >= 1) {
        return TypeIfKnown("compuserve");
    }
    if (c.doubleBlankTags >= 3) {
        return TypeIfKnown("refupdate");
    }
    if (c.labels >= 1) {
        return TypeIfKnown("labelled");
    }
    if (c.formFeed && LooksPositional(lines)) {
        return TypeIfKnown("positional");
    }
    if (c.citations >= 1) {
        if (c.numbered >= 2) {
            return TypeIfKnown("numbered-list");
        }
        return TypeIfKnown(c.oemLetters ? "dos-blocks" : "bibliography");
    }
    return 0;
}

bool SourceReadable(const std::string& path) {
    struct stat st {};
    if (::stat(path.c_str(), &st) != 0 || S_ISDIR(st.st_mode)) {
        return false;
    }
    // Not waiting for a writer when it is a pipe: SourceRegular tells that apart.
    const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) {
        return false;
    }
    ::close(fd);
    return true;
}

bool SourceRegular(const std::string& path) {
    struct stat st {};
    return ::stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode);
}

std::string ReadSourceHead(const std::string& path) {
    // A pipe or a device is no download: reading one could wait, or go on, for ever.
    if (!SourceRegular(path)) {
        return {};
    }
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        return {};
    }
    std::string head(kHead, '\0');
    in.read(head.data(), static_cast<std::streamsize>(head.size()));
    head.resize(static_cast<std::size_t>(in.gcount()));
    return head;
}

int DetectSourceType(const std::string& path) {
    return DetectSourceTypeOfText(ReadSourceHead(path));
}

} // namespace cvx::vorodud
