#include "text/AuthorNames.h"

#include "text/CaseMapping.h"
#include "text/StringPrimitives.h"
#include "text/TextMode.h"

#include <vector>

namespace cvx {

namespace {

constexpr std::string_view kFullWidthParen = "\x81\x69";
constexpr std::string_view kFullWidthCloseParen = "\x81\x6A";

// Index of " (" or of the Shift-JIS full-width parenthesis, npos when there is neither.
std::size_t ReadingParenthesis(std::string_view name) {
    const std::size_t ascii = name.find(" (");
    const std::size_t wide = name.find(kFullWidthParen);
    return std::min(ascii, wide);
}

// The suffixes the reference file keeps after a last name.
bool IsNameSuffix(std::string_view word) {
    return word == "Jr" || word == "Sr" || word == "II" || word == "III" || word == "IV";
}

} // namespace

std::size_t NameSuffixAt(std::string_view lastName) {
    const std::size_t blank = lastName.rfind(' ');
    return blank != std::string_view::npos && blank > 0 && IsNameSuffix(lastName.substr(blank + 1))
               ? blank
               : std::string_view::npos;
}

AuthorName NextAuthorName(std::string_view list) {
    bool quoted = false;
    std::size_t end = list.size();
    for (std::size_t i = 0; i < list.size(); ++i) {
        if (quoted ? list[i] == '"' : list[i] == '.') {
            end = i + 1;
            break;
        }
        if (list[i] == '"') {
            quoted = true;
        }
    }
    std::string name = TrimBlanks(list.substr(0, end));
    std::string_view rest = TrimView(list.substr(end));
    if (!rest.empty() && rest.front() == '.') {
        rest = TrimView(rest.substr(1));
    }
    const bool corporate = !name.empty() && name.front() == '"';
    if (corporate) {
        name = name.size() >= 2 ? name.substr(1, name.size() - 2) : std::string();
    } else if (const std::size_t comma = name.find(','); comma != std::string::npos) {
        name.resize(comma);
    } else {
        // The form without a comma ("Smith J A."): the last name ends at the last blank once a
        // suffix is off ("Bitter P Jr.", "Bitter Jr." of a name without initials).
        std::string_view bare = name;
        if (bare.ends_with('.')) {
            bare.remove_suffix(1);
        }
        if (const std::size_t at = NameSuffixAt(bare); at != std::string_view::npos) {
            name.resize(at);
        }
        if (const std::size_t space = name.rfind(' '); space != std::string::npos) {
            name.resize(space);
        }
    }
    if (const std::size_t paren = ReadingParenthesis(name); paren != std::string::npos) {
        name.resize(paren);
    }
    name = TrimBlanks(name);
    if (const std::size_t at = NameSuffixAt(name); !corporate && at != std::string::npos) {
        name.resize(at);
    }
    return {std::move(name), std::string(rest)};
}

std::string ShortAuthorList(std::string_view authors) {
    std::string_view rest = TrimView(authors);
    if (rest.empty()) {
        return "#IAnon.#I";
    }
    std::vector<std::string> names;
    std::string remaining(rest);
    while (!remaining.empty() && names.size() < 3) {
        AuthorName next = NextAuthorName(remaining);
        names.push_back(std::move(next.name));
        remaining = std::move(next.rest);
    }
    if (names.size() == 1) {
        return names[0];
    }
    if (names.size() == 2) {
        return names[0] + ", " + names[1];
    }
    return names[0] + " et al";
}

bool AuthorsFaulty(std::string_view authors) {
    static constexpr std::string_view kForbidden =
        "|\xA7\xBD\xA8<>;:!#$%\xA4&/()=?1234567890{[]}^~*_";
    std::string_view rest = TrimView(authors);
    if (rest == "\"\"") {
        return false;
    }
    while (!rest.empty()) {
        std::string_view name;
        const std::size_t stop = rest.find(". ");
        if (stop == std::string_view::npos) {
            name = rest;
            rest = {};
            if (name.back() != '.') {
                return true;
            }
        } else {
            name = rest.substr(0, stop + 1);
            rest = TrimView(rest.substr(stop + 2));
        }
        const std::size_t dot = name.size() - 1; // the name ends with its "."
        if (dot == 0 || dot >= 30) {
            return true;
        }
        if (name.front() == '"') {
            if (dot >= 2 && name[dot - 1] == '"') {
                continue;
            }
            return true;
        }
        const std::string_view body = name.substr(0, dot);
        if (!ShiftJisMode()) {
            if (body.find_first_of(kForbidden) != std::string_view::npos) {
                return true;
            }
        } else if (IsDoubleByteAt(name, 0)) {
            continue;
        }
        const std::size_t comma = body.find(',');
        if (comma == std::string_view::npos || TrimView(body.substr(comma + 1)).empty() ||
            body.find(',', comma + 1) != std::string_view::npos) {
            return true;
        }
    }
    return false;
}

std::string AuthorKey(std::string_view authors, Collation collation) {
    // The suffixes are told in the stored text's own case ("Jr", not a surname's "JR").
    const std::string_view original = TrimView(authors);
    const std::string field = UpperTextJ(original);
    if (field.empty()) {
        return {};
    }
    if (field.size() >= 2 && field.front() == '"' && field.back() == '"' &&
        field.find('"', 1) == field.size() - 1) {
        std::string name = field.substr(1, field.size() - 2);
        for (std::string_view article : {"THE ", "DIE ", "DER ", "LA ", "LE "}) {
            if (StartsWith(name, article)) {
                name.erase(0, article.size());
                break;
            }
        }
        std::string key;
        for (char c : name) {
            if (std::string_view(".,\xB4'`").find(c) == std::string_view::npos) {
                key.push_back(c);
            }
        }
        return key;
    }
    std::string joined;
    std::string_view rest = field;
    while (!rest.empty()) {
        std::size_t stop = rest.find(". ");
        std::size_t skip = 2;
        if (stop == std::string_view::npos) {
            stop = rest.find('.');
            skip = 1;
        }
        std::string_view name = stop == std::string_view::npos ? rest : rest.substr(0, stop + 1);
        rest = stop == std::string_view::npos ? std::string_view()
                                              : TrimView(rest.substr(stop + skip));
        name = TrimView(name);
        if (!name.empty() && name.back() == '.') {
            name.remove_suffix(1);
        }
        std::string part;
        if (name.size() >= 2 && name.front() == '"' && name.back() == '"') {
            part = name.substr(1, name.size() - 2);
        } else {
            std::string whole(name);
            bool reading = false;
            if (const std::size_t paren = ReadingParenthesis(whole); paren != std::string::npos) {
                if (collation == Collation::JapanesePronounced) {
                    // " (" and the full-width parenthesis are both two bytes long.
                    std::string_view inside = std::string_view(whole).substr(paren + 2);
                    if (inside.ends_with(kFullWidthCloseParen)) {
                        inside.remove_suffix(2);
                    } else if (inside.ends_with(')')) {
                        inside.remove_suffix(1);
                    }
                    part = TrimBlanks(inside);
                    reading = true;
                } else {
                    whole.resize(paren);
                }
            }
            if (!reading) {
                // A last name's suffix ("Bitter Jr, P.", "Bitter Jr." without initials) comes
                // off the last name and goes after the initials. It is told in the stored text,
                // at the offsets of the upper-case field.
                const auto offset = static_cast<std::size_t>(name.data() - field.data());
                const std::string_view stored = original.substr(offset, whole.size());
                const std::string_view last = TrimRightView(stored.substr(0, whole.find(',')));
                std::string suffix;
                if (const std::size_t at = NameSuffixAt(last); at != std::string_view::npos) {
                    suffix = whole.substr(at + 1, last.size() - at - 1);
                    whole.erase(at, last.size() - at);
                }
                std::size_t cut = whole.find(',');
                std::size_t restStart = cut == std::string::npos ? std::string::npos : cut + 1;
                if (cut == std::string::npos) {
                    cut = whole.find(' ');
                    restStart = cut == std::string::npos ? std::string::npos : cut + 1;
                }
                part = TrimBlanks(std::string_view(whole).substr(0, cut));
                if (restStart != std::string::npos) {
                    std::string initials;
                    bool wordStart = true;
                    for (char c : std::string_view(whole).substr(restStart)) {
                        if (c == ' ' || c == '-') {
                            wordStart = true;
                        } else if (wordStart) {
                            initials.push_back(c);
                            wordStart = false;
                        }
                    }
                    part += ' ';
                    part += initials;
                }
                if (!suffix.empty()) {
                    part += ' ';
                    part += suffix;
                }
            }
        }
        if (!joined.empty()) {
            joined += '.';
        }
        joined += part;
    }
    for (char& c : joined) {
        if (c == '.') {
            c = ' ';
        }
    }
    return TrimBlanks(joined);
}

} // namespace cvx
