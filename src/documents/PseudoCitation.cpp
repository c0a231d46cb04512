#include "documents/PseudoCitation.h"

#include "text/CaseMapping.h"
#include "text/Catalogue.h"
#include "text/FileNames.h"
#include "text/StringPrimitives.h"

#include <optional>

namespace cvx {

namespace {

constexpr std::string_view kHiddenCode = "#H";
constexpr int kTooManyTaggedHelp = 3112;

std::string_view OptionWord(int option) {
    switch (option) {
    case kOptionHide:
        return "Hide";
    case kOptionYear:
        return "Year";
    case kOptionAuthors:
        return "Authors";
    case kOptionTextBefore:
        return ">";
    case kOptionTextAfter:
        return "<";
    default:
        return "";
    }
}

bool IsLetter(char c) {
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z');
}

// The option word compared as the reader does: upper-cased, as a prefix.
int WordOption(std::string_view word) {
    const std::string upper = UpperText(word);
    if (StartsWith(upper, "HIDE")) {
        return kOptionHide;
    }
    if (StartsWith(upper, "YEAR")) {
        return kOptionYear;
    }
    if (StartsWith(upper, "AUTHOR")) {
        return kOptionAuthors;
    }
    return kOptionNone;
}

// The options after a "/": the option code (without flags filled in by the caller) and text.
struct Options {
    int code = 0;
    std::string text;
    std::size_t end = 0; // index of the ";" that ends them, or the text's length
    bool clean = false;  // a known option word, a text option or nothing
};

Options ReadOptions(std::string_view text, std::size_t pos) {
    Options o;
    if (pos < text.size() && text[pos] == '!') {
        o.code |= kFirstInGroup;
        ++pos;
    }
    if (pos < text.size() && text[pos] == '-') {
        o.code |= kSkipEnclosure;
        ++pos;
    }
    std::size_t end = text.find(';', pos);
    if (end == std::string_view::npos) {
        end = text.size();
    }
    o.end = end;
    if (pos < text.size() && (text[pos] == '>' || text[pos] == '<')) {
        o.code |= text[pos] == '>' ? kOptionTextBefore : kOptionTextAfter;
        o.text = std::string(text.substr(pos + 1, end - pos - 1));
        o.clean = true;
        return o;
    }
    const std::string_view word = TrimView(text.substr(pos, end - pos));
    o.code |= WordOption(word);
    o.clean = true;
    for (char c : word) {
        o.clean = o.clean && IsLetter(c);
    }
    o.clean = o.clean && (word.empty() || (o.code & 31) != kOptionNone);
    return o;
}

// What follows one "#": the number and the options, and whether they read cleanly.
struct Tail {
    std::optional<int> number;
    Options options;
    std::size_t labelStart = 0; // where the ignored label begins
    bool clean = false;
};

Tail ReadTail(std::string_view text, std::size_t hash) {
    Tail t;
    std::size_t end = text.find_first_of("/;", hash + 1);
    if (end == std::string_view::npos) {
        end = text.size();
    }
    t.number = ParseInt(text.substr(hash + 1, end - hash - 1), true);
    if (end < text.size() && text[end] == '/') {
        t.options = ReadOptions(text, end + 1);
        t.labelStart = t.options.end;
        t.clean = t.number.has_value() && t.options.clean;
    } else {
        t.options.end = end;
        t.labelStart = end;
        t.clean = t.number.has_value();
    }
    return t;
}

// The "#" that separates the file from the number: the last one whose tail reads cleanly and
// that lies neither inside the option text nor in the label of the one chosen before it. When
// none reads cleanly, the first "#" (whose number then cannot be read).
std::size_t SeparatorHash(std::string_view text) {
    std::size_t chosen = std::string_view::npos;
    std::size_t optionTextStart = 0;
    std::size_t labelStart = text.size();
    for (std::size_t p = text.find('#'); p != std::string_view::npos; p = text.find('#', p + 1)) {
        if (chosen != std::string_view::npos) {
            if (p >= labelStart) {
                break;
            }
            if (p > optionTextStart) {
                continue;
            }
        }
        const Tail tail = ReadTail(text, p);
        if (!tail.clean) {
            continue;
        }
        chosen = p;
        labelStart = tail.labelStart;
        const int option = tail.options.code & 31;
        optionTextStart = (option == kOptionTextBefore || option == kOptionTextAfter)
                              ? text.find_first_of("<>", p)
                              : labelStart;
    }
    return chosen != std::string_view::npos ? chosen : text.find('#');
}

} // namespace

Outcome CheckOptionText(std::string_view text) {
    if (text.find(';') != std::string_view::npos || text.find("}}") != std::string_view::npos) {
        return Outcome::Error(Message(msg::Documents::OptionTextForbidden));
    }
    return Outcome::Ok();
}

std::string BuildPseudoCitation(const PseudoCitationRequest& request, bool hide) {
    std::string out = "{{";
    if (hide) {
        out += kHiddenCode;
    }
    out += request.file;
    out += " #" + std::to_string(request.number);
    const bool textOption =
        request.option == kOptionTextBefore || request.option == kOptionTextAfter;
    if (request.option != kOptionNone || request.firstInGroup || request.skipEnclosure) {
        out += '/';
        if (request.firstInGroup) {
            out += '!';
        }
        if (request.skipEnclosure) {
            out += '-';
        }
        out += OptionWord(request.option);
        if (textOption) {
            out += request.optionText;
        }
    }
    out += "; ";
    out += hide ? kHiddenCode : std::string_view(" ");

    std::string label = request.label;
    switch (request.option) {
    case kOptionHide:
        label += " " + Message(msg::CreateFormats::HiddenReminder);
        break;
    case kOptionYear:
        label += " " + Message(msg::CreateFormats::YearReminder);
        break;
    case kOptionAuthors:
        label += " " + Message(msg::CreateFormats::AuthorsReminder);
        break;
    case kOptionTextBefore:
        label = request.optionText + label;
        break;
    case kOptionTextAfter:
        label += request.optionText;
        break;
    default:
        break;
    }
    if (request.firstInGroup) {
        label += " " + Message(msg::CreateFormats::FirstReminder);
    }
    if (request.skipEnclosure) {
        label += " " + Message(msg::CreateFormats::EnclosureReminder);
    }
    return out + label + "}}";
}

Outcome BuildPseudoCitations(const std::vector<PseudoCitationRequest>& requests, bool hide,
                             std::string& text) {
    std::string all;
    for (const PseudoCitationRequest& r : requests) {
        if (r.option == kOptionTextBefore || r.option == kOptionTextAfter) {
            if (Outcome checked = CheckOptionText(r.optionText); !checked) {
                return checked;
            }
        }
        const std::string one = BuildPseudoCitation(r, hide);
        if (all.size() + one.size() > kMaxPseudoCitationText) {
            return Outcome::Error(Msg(msg::RefWin::TooManyTagged), kTooManyTaggedHelp);
        }
        all += one;
    }
    text = std::move(all);
    return Outcome::Ok();
}

TPseudoCitation ParsePseudoCitation(std::string_view text) {
    text = TrimView(text);
    if (StartsWith(text, kHiddenCode)) {
        text = TrimView(text.substr(kHiddenCode.size()));
    }
    if (StartsWith(text, "%")) {
        text = TrimView(text.substr(1));
    }

    TPseudoCitation pc;
    const std::size_t hash = SeparatorHash(text);
    if (hash == std::string_view::npos) {
        pc.file = DefaultExt(TrimView(text), "ref");
        return pc;
    }
    pc.file = DefaultExt(TrimView(text.substr(0, hash)), "ref");
    const Tail tail = ReadTail(text, hash);
    if (tail.number && *tail.number >= 1) {
        pc.number = *tail.number - 1;
    }
    pc.optionCode = tail.options.code;
    pc.optionText = tail.options.text;
    if (tail.labelStart < text.size()) {
        std::string_view label = TrimView(text.substr(tail.labelStart + 1));
        if (StartsWith(label, kHiddenCode)) {
            label = TrimView(label.substr(kHiddenCode.size()));
        }
        pc.label = std::string(label);
    }
    return pc;
}

bool LooksLikePseudoCitation(std::string_view text) {
    return text.find('#') != std::string_view::npos;
}

bool IsReferenceListMarker(std::string_view text) {
    return text.find("REFERENCES") != std::string_view::npos && !LooksLikePseudoCitation(text);
}

} // namespace cvx
