#include "vorodud/SourceDetection.h"

#include "lexmill/SourceDecoding.h"
#include "text/StringPrimitives.h"
#include "vorodud/SourceTypes.h"

#include <fstream>
#include <vector>

namespace cvx::vorodud {

namespace {

constexpr std::size_t kHead = 1 << 16;

std::vector<std::string_view> Lines(std::string_view text) {
    std::vector<std::string_view> lines;
    std::size_t pos = 0;
    while (pos < text.size()) {
        std::size_t end = text.find_first_of("\r\n", pos);
        if (end == std::string_view::npos) {
            end = text.size();
        }
        lines.push_back(text.substr(pos, end - pos));
        pos = end + 1;
    }
    return lines;
}

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

} // namespace

int DetectSourceTypeOfText(std::string_view head) {
    const std::string text = DecodeSourceText(head);
    if (TrimView(text).empty() || LooksBinary(text)) {
        return 0;
    }
    const std::vector<std::string_view> lines = Lines(text);
    std::size_t ris = 0;
    std::size_t medline = 0;
    std::size_t wos = 0;
    std::size_t refer = 0;
    std::size_t bibtex = 0;
    bool risStart = false;
    bool pmid = false;
    bool wosEnd = false;
    bool wosTitle = false;
    std::string_view first;
    for (std::string_view raw : lines) {
        const std::string_view line = raw;
        if (first.empty() && !TrimView(line).empty()) {
            first = TrimView(line);
        }
        if (IsRisTag(TrimView(line))) {
            ++ris;
            risStart = risStart || StartsWith(TrimView(line), "TY ");
        }
        if (IsMedlineTag(line)) {
            ++medline;
            pmid = pmid || StartsWith(line, "PMID-");
        }
        if (IsWosTag(line)) {
            ++wos;
            wosTitle = wosTitle || StartsWith(line, "TI ") || StartsWith(line, "AU ");
        }
        if (TrimView(line) == "ER" || TrimView(line) == "EF") {
            wosEnd = true;
        }
        if (IsReferTag(line)) {
            ++refer;
        }
        if (IsBibtexEntry(line)) {
            ++bibtex;
        }
    }
    // A tab-delimited export names its columns by the tags of the tagged layout; it is not that
    // layout.
    if (first.find('\t') != std::string_view::npos &&
        (StartsWith(first, "PT\t") || StartsWith(first, "TY\t") || StartsWith(first, "AU\t"))) {
        return 0;
    }
    if (bibtex >= 1 && bibtex * 2 >= ris + medline + wos + refer) {
        return TypeIfKnown("bibtex");
    }
    if (pmid && medline >= 3) {
        return TypeIfKnown("medline");
    }
    if (ris >= 3 && (risStart || ris > medline)) {
        return TypeIfKnown("ris");
    }
    if (medline >= 3) {
        return TypeIfKnown("medline");
    }
    if (wos >= 3 && wosTitle && wosEnd) {
        return TypeIfKnown("wos");
    }
    if (refer >= 2) {
        return TypeIfKnown("refer");
    }
    return 0;
}

int DetectSourceType(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        return 0;
    }
    std::string head(kHead, '\0');
    in.read(head.data(), static_cast<std::streamsize>(head.size()));
    head.resize(static_cast<std::size_t>(in.gcount()));
    return DetectSourceTypeOfText(head);
}

} // namespace cvx::vorodud
