#include "output/BibtexWriter.h"

#include "formats/Renderer.h"
#include "output/ExportText.h"
#include "output/PersonNames.h"
#include "text/StringPrimitives.h"

namespace cvx {

namespace {

using F = FieldIndex;

std::string EscapeForLatex(char32_t c) {
    switch (c) {
    case U'\\':
        return "\\textbackslash{}";
    case U'{':
        return "\\{";
    case U'}':
        return "\\}";
    case U'#':
        return "\\#";
    case U'$':
        return "\\$";
    case U'%':
        return "\\%";
    case U'&':
        return "\\&";
    case U'_':
        return "\\_";
    case U'~':
        return "\\textasciitilde{}";
    case U'^':
        return "\\textasciicircum{}";
    default:
        return {};
    }
}

const UnicodeStyles kLatexStyles = {
    {"\\emph{", "}"},          {"\\textbf{", "}"},    {"\\textsuperscript{", "}"},
    {"\\textsubscript{", "}"}, {"\\underline{", "}"}, EscapeForLatex};

void Field(std::string& out, std::string_view name, std::string_view value) {
    if (!value.empty()) {
        out.append("  ").append(name).append(" = {").append(value).append("},\n");
    }
}

// "Smith, J. A. and {World Health Organization}".
std::string NameList(std::string_view list) {
    std::string out;
    for (const PersonName& n : SplitNames(list)) {
        if (!out.empty()) {
            out += " and ";
        }
        const std::string family = BibtexText(n.family);
        const std::string given = BibtexText(n.DottedGiven());
        if (n.corporate) {
            out.append("{").append(family).append("}");
        } else {
            out += family;
            if (!given.empty()) {
                out.append(", ").append(given);
            }
        }
    }
    return out;
}

std::string Pages(const TRefArrData& r) {
    const std::string first = BibtexText(r[F::PageFirst]);
    const std::string last = BibtexText(r[F::PageLast]);
    return last.empty() ? first : first + "--" + last;
}

} // namespace

std::string BibtexText(std::string_view field) {
    std::string text = StyledUnicode(field, kLatexStyles);
    // LaTeX reads "--" and "---" as dashes: hyphens the user typed are kept apart so that they
    // stay hyphens ("toolkits--a" keeps its two hyphens).
    while (text.find("--") != std::string::npos) {
        text = ReplaceAll(text, "--", "-{}-");
    }
    return text;
}

Outcome BibtexWriter::Begin(WritableFile& /*out*/, const ExportHeading& /*heading*/) {
    return Outcome::Ok();
}

void BibtexWriter::Record(const ExportedReference& ref, std::string& out) const {
    const TRefArrData& r = ref.record;
    const std::string title = BibtexText(Unquote(r[F::Title]));
    const std::string book = BibtexText(r[F::BookTitle]);
    std::string type = "misc";
    if (!ref.unparsed) {
        switch (r.sourceType) {
        case SourceType::Journal:
            type = "article";
            break;
        case SourceType::Chapter:
            type = "incollection";
            break;
        case SourceType::Monograph:
            type = title.empty() ? "book" : "inbook";
            break;
        case SourceType::Unparsed:
            break;
        }
    }
    out += "@" + type + "{" + std::string(ref.key) + ",\n";
    Field(out, "author", NameList(r[F::Authors]));
    if (type == "book") {
        Field(out, "title", book);
    } else {
        Field(out, "title", title);
        Field(out, type == "article" ? "journal" : "booktitle",
              type == "article" ? BibtexText(r[F::Journal]) : book);
    }
    if (r.sourceType == SourceType::Chapter) {
        Field(out, "editor", NameList(r[F::Editors]));
    }
    Field(out, "publisher", BibtexText(r[F::Publisher]));
    Field(out, "address", BibtexText(r[F::City]));
    Field(out, "year", BibtexText(r[F::Year]));
    Field(out, "volume", BibtexText(r[F::Volume]));
    Field(out, "number", BibtexText(r[F::Issue]));
    Field(out, "pages", Pages(r));
    Field(out, "abstract", BibtexText(r[F::Comments]));
    if (ref.unparsed) {
        Field(out, "note", BibtexText(UnparsedNote(ref.stored)));
    }
    out += "}\n\n";
}

Outcome BibtexWriter::End(WritableFile& /*out*/) {
    return Outcome::Ok();
}

} // namespace cvx
