#include "vorodud/OvidProcedure.h"

#include "text/StringPrimitives.h"
#include "vorodud/CollectedReference.h"
#include "vorodud/LexmillWrapper.h"
#include "vorodud/ReferenceParts.h"

#include <algorithm>
#include <string>

namespace cvx::vorodud {

namespace {

struct OvidField {
    std::string label;
    std::vector<std::string> lines; // the value's lines, trimmed
};

// The record's fields: a line at the left margin is a label, an indented line its value.
std::vector<OvidField> Fields() {
    std::vector<OvidField> fields;
    for (int i = 0; i < lx::LineCount(); ++i) {
        const std::string line = lx::Line(i);
        if (TrimView(line).empty() || IsOvidRecordLine(line)) {
            continue;
        }
        if (!IsBlank(line.front())) {
            fields.push_back({TrimBlanks(line), {}});
        } else if (!fields.empty()) {
            fields.back().lines.push_back(TrimBlanks(line));
        }
    }
    return fields;
}

std::string Value(const std::vector<OvidField>& fields, std::string_view label) {
    for (const OvidField& f : fields) {
        if (f.label == label) {
            return JoinedWithBlanks(f.lines);
        }
    }
    return {};
}

std::string FirstValue(const std::vector<OvidField>& fields,
                       std::initializer_list<std::string_view> labels) {
    for (std::string_view label : labels) {
        if (std::string v = Value(fields, label); !v.empty()) {
            return v;
        }
    }
    return {};
}

// Ovid ends a title with its kind in brackets ("...[Review]").
std::string WithoutKind(std::string text) {
    text = TrimBlanks(text);
    if (text.ends_with(']')) {
        if (const std::size_t open = text.rfind('['); open != std::string::npos && open > 0) {
            text = TrimBlanks(std::string_view(text).substr(0, open));
        }
    }
    return text;
}

bool IsDegree(std::string_view word) {
    static constexpr std::string_view kDegrees[] = {"MD", "PhD", "MSc", "BSc", "MA",   "MS",
                                                    "RN", "MPH", "DO",  "DDS", "FRCP", "MBBS"};
    for (std::string_view d : kDegrees) {
        if (word == d) {
            return true;
        }
    }
    return false;
}

// "Kohler, Lars 1", "Verbeek, Jan MD *", "van Vugt, Arie MD, PhD +": the name without the
// affiliation marks and degrees that follow it; "[Ed]" marks an editor.
struct OvidName {
    std::string name;
    bool editor = false;
};

OvidName NameOf(std::string_view text) {
    OvidName n;
    std::string t = TrimBlanks(text);
    if (const std::size_t ed = t.find("[Ed"); ed != std::string::npos) {
        n.editor = true;
        t = TrimBlanks(std::string_view(t).substr(0, ed));
    }
    std::vector<std::string> kept;
    bool afterComma = false;
    for (std::string_view word : BlankSeparatedWords(t)) {
        std::string w(word);
        const bool comma = w.ends_with(',');
        if (comma) {
            w.pop_back();
        }
        const bool mark = !w.empty() && !std::any_of(w.begin(), w.end(), [](char c) {
            return static_cast<unsigned char>(c) >= 0x80 || (c >= 'A' && c <= 'Z') ||
                   (c >= 'a' && c <= 'z');
        });
        if (!w.empty() && !mark && !(afterComma && IsDegree(w))) {
            kept.push_back(comma && !afterComma ? w + "," : w);
        }
        afterComma = afterComma || comma;
    }
    for (const std::string& w : kept) {
        n.name += (n.name.empty() ? "" : " ") + w;
    }
    return n;
}

// "Ecohydrology.   8(6):1048-1064, September 2015.": the journal before the wide gap, then
// volume, issue, pages and year.
Citation OvidSource(std::string_view text) {
    Citation c;
    const std::string_view t = TrimView(text);
    const std::size_t gap = t.find(".  ");
    if (gap == std::string_view::npos) {
        c.journal = TrimBlanks(t);
        while (c.journal.ends_with('.')) {
            c.journal.pop_back();
        }
        return c;
    }
    c.journal = TrimBlanks(t.substr(0, gap));
    const std::string_view rest = TrimView(t.substr(gap + 1));
    c.year = FirstYear(rest);
    const std::size_t i = ReadVolumeAndIssue(rest, ":,", c);
    if (i < rest.size() && rest[i] == ':') {
        c.pages = PageTextAt(rest.substr(i + 1), c.year);
    }
    return c;
}

} // namespace

bool IsOvidRecordLine(std::string_view line) {
    const std::string_view t = TrimView(line);
    return t.size() >= 3 && t.front() == '<' && t.back() == '>' &&
           IsAllDigits(t.substr(1, t.size() - 2));
}

bool IsOvidLabel(std::string_view line) {
    static constexpr std::string_view kLabels[] = {"Accession Number",
                                                   "Unique Identifier",
                                                   "Author",
                                                   "Authors",
                                                   "Title",
                                                   "Source",
                                                   "Abstract",
                                                   "Publication Type",
                                                   "Author Keywords",
                                                   "Institution",
                                                   "Journal Name",
                                                   "Year of Publication"};
    if (line.empty() || IsBlank(line.front())) {
        return false;
    }
    const std::string_view t = TrimView(line);
    for (std::string_view label : kLabels) {
        if (t == label) {
            return true;
        }
    }
    return false;
}

void OvidProcedure::ReadRecord() {
    lexmill_ReadTheWholeReference("<");
}

bool OvidProcedure::Fill() {
    if (!IsOvidRecordLine(lx::Line(0))) {
        return false; // text before the first record
    }
    const std::vector<OvidField> fields = Fields();
    Reference r;
    r.id = FirstValue(fields, {"Accession Number", "Unique Identifier"});
    while (r.id.ends_with('.')) {
        r.id.pop_back();
    }
    for (const OvidField& f : fields) {
        if (f.label != "Author" && f.label != "Authors" && f.label != "Editor") {
            continue;
        }
        for (const std::string& line : f.lines) {
            for (const std::string& part : SplitNameList(line)) {
                const OvidName name = NameOf(part);
                if (IsEtAl(name.name)) {
                    r.etAl = true;
                } else if (std::string formatted = FormatAuthorName(name.name);
                           !formatted.empty()) {
                    (name.editor || f.label == "Editor" ? r.editors : r.authors)
                        .push_back(std::move(formatted));
                }
            }
        }
    }
    const std::string title = WithoutKind(Value(fields, "Title"));
    const std::string chapter = WithoutKind(Value(fields, "Chapter Title"));
    r.title = chapter.empty() ? title : chapter;
    const std::string type = Value(fields, "Publication Type");
    const Citation c = OvidSource(Value(fields, "Source"));
    if (!chapter.empty()) {
        r.kind = ReferenceKind::Chapter;
        r.bookTitle = title;
    } else if (type.find("Book") != std::string::npos) {
        r.kind = ReferenceKind::Monograph;
        r.bookTitle = title;
    } else {
        r.journal = c.journal;
    }
    r.publisher = Value(fields, "Publisher");
    r.year = FirstYearOf({Value(fields, "Year of Publication"), c.year,
                          Value(fields, "Publication Date"), Value(fields, "Status")});
    r.volume = c.volume;
    r.issue = c.issue;
    r.pages = c.pages;
    r.abstract = {Value(fields, "Abstract")};
    r.address = Value(fields, "Institution");
    for (const std::string& k :
         SplitNameList(FirstValue(fields, {"Author Keywords", "Keywords", "Subject Headings"}))) {
        std::string keyword = TrimBlanks(k);
        while (keyword.ends_with('.')) {
            keyword.pop_back();
        }
        if (!keyword.empty()) {
            r.keywords.push_back(std::move(keyword));
        }
    }
    r.language = Value(fields, "Language");
    while (r.language.ends_with('.')) {
        r.language.pop_back();
    }
    CollectReference(std::move(r));
    return true;
}

} // namespace cvx::vorodud
