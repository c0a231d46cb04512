#include "output/CslJsonWriter.h"

#include "formats/Renderer.h"
#include "journals/JournalLookup.h"
#include "output/ExportText.h"
#include "output/PersonNames.h"
#include "text/StringPrimitives.h"

namespace cvx {

namespace {

using F = FieldIndex;

// Characters that a JSON string and the processors' markup both need escaped.
std::string EscapeForJson(char32_t c) {
    switch (c) {
    case U'"':
        return "\\\"";
    case U'\\':
        return "\\\\";
    case U'<':
        return "&#60;";
    case U'>':
        return "&#62;";
    case U'&':
        return "&#38;";
    default:
        if (c < 0x20) {
            return " ";
        }
        return {};
    }
}

const UnicodeStyles kCslStyles = {{"<i>", "</i>"},
                                  {"<b>", "</b>"},
                                  {"<sup>", "</sup>"},
                                  {"<sub>", "</sub>"},
                                  {"<span style=\\\"text-decoration:underline;\\\">", "</span>"},
                                  EscapeForJson};

std::string JsonText(std::string_view field) {
    return StyledUnicode(field, kCslStyles);
}

// Appends "name": "value" (a JSON string) when the value is not empty.
void Member(std::string& out, std::string_view name, std::string_view value) {
    if (!value.empty()) {
        out.append(", \"").append(name).append("\": \"").append(value).append("\"");
    }
}

// A list of names as CSL name objects: family and given names, or the literal name of a
// corporate author.
void Names(std::string& out, std::string_view role, std::string_view list) {
    const std::vector<PersonName> names = SplitNames(list);
    if (names.empty()) {
        return;
    }
    out.append(", \"").append(role).append("\": [");
    for (std::size_t i = 0; i < names.size(); ++i) {
        const PersonName& n = names[i];
        out += i == 0 ? "{" : ", {";
        if (n.corporate || n.given.empty()) {
            out += "\"literal\": \"" + JsonText(n.family) + "\"}";
        } else {
            out += "\"family\": \"" + JsonText(n.family) + "\", \"given\": \"" +
                   JsonText(n.DottedGiven()) + "\"}";
        }
    }
    out += "]";
}

// The year's four digits as the issued date.
void Issued(std::string& out, std::string_view year) {
    year = TrimView(year);
    if (year.size() >= 4 && IsAllDigits(year.substr(0, 4))) {
        out.append(", \"issued\": {\"date-parts\": [[")
            .append(std::to_string(std::stoi(std::string(year.substr(0, 4)))))
            .append("]]}");
    }
}

} // namespace

Outcome CslJsonWriter::Begin(WritableFile& out, const ExportHeading& /*heading*/) {
    return out.Append("[\n");
}

void CslJsonWriter::Record(const ExportedReference& ref, std::string& out) const {
    const TRefArrData& r = ref.record;
    const std::string title = JsonText(Unquote(r[F::Title]));
    const std::string book = JsonText(r[F::BookTitle]);
    std::string type = "manuscript";
    if (!ref.unparsed) {
        switch (r.sourceType) {
        case SourceType::Journal:
            type = "article-journal";
            break;
        case SourceType::Chapter:
            type = "chapter";
            break;
        case SourceType::Monograph:
            type = title.empty() ? "book" : "chapter";
            break;
        case SourceType::Unparsed:
            break;
        }
    }
    out += "{\"id\": \"" + JsonText(ref.key) + "\", \"type\": \"" + type + "\"";
    Names(out, "author", r[F::Authors]);
    if (r.sourceType == SourceType::Chapter) {
        Names(out, "editor", r[F::Editors]);
    }
    Issued(out, r[F::Year]);
    Member(out, "volume", JsonText(r[F::Volume]));
    Member(out, "issue", JsonText(r[F::Issue]));
    const std::string first = JsonText(r[F::PageFirst]);
    const std::string last = JsonText(r[F::PageLast]);
    Member(out, "page", last.empty() ? first : first + "-" + last);
    if (type == "book") {
        Member(out, "title", book);
    } else {
        Member(out, "title", title);
    }
    if (type == "article-journal") {
        const std::string stored = FlatText(r[F::Journal]);
        std::string complete = stored;
        std::string shortForm;
        if (journals_) {
            if (const auto m = journals_->LookUp(stored, JournalForm::FullName);
                m && m->quality != 3) {
                complete = m->name;
            }
            if (const auto m = journals_->LookUp(stored, JournalForm::Medlar);
                m && m->quality == 0) {
                shortForm = m->name;
            }
        }
        Member(out, "container-title", JsonText(complete));
        Member(out, "container-title-short", JsonText(shortForm));
    } else if (type == "chapter") {
        Member(out, "container-title", book);
    }
    Member(out, "publisher", JsonText(r[F::Publisher]));
    Member(out, "publisher-place", JsonText(r[F::City]));
    Member(out, "abstract", JsonText(r[F::Comments]));
    if (ref.unparsed) {
        Member(out, "note", JsonText(UnparsedNote(ref.stored)));
    }
    out += "}";
}

Outcome CslJsonWriter::End(WritableFile& out) {
    return out.Append("\n]\n");
}

} // namespace cvx
