#include "output/PersonNames.h"

#include "refstore/RefArrData.h"
#include "text/StringPrimitives.h"

namespace cvx {

namespace {

// One name of a list (without its final "."): "Smith, J A", "Smith J" or a quoted corporate name.
PersonName NameOf(std::string_view text) {
    PersonName n;
    text = TrimView(text);
    if (text.size() >= 2 && text.front() == '"') {
        n.family = TrimBlanks(text.substr(1, text.size() - 2));
        n.corporate = true;
    } else if (const std::size_t comma = text.find(','); comma != std::string_view::npos) {
        n.family = TrimBlanks(text.substr(0, comma));
        n.given = TrimBlanks(text.substr(comma + 1));
    } else if (const std::size_t space = text.rfind(' '); space != std::string_view::npos) {
        n.family = TrimBlanks(text.substr(0, space));
        n.given = TrimBlanks(text.substr(space + 1));
    } else {
        n.family = std::string(text);
    }
    return n;
}

} // namespace

std::string PersonName::FamilyInitials() const {
    if (corporate || given.empty()) {
        return family;
    }
    std::string initials;
    bool wordStart = true;
    for (char c : given) {
        if (c == ' ' || c == '-' || c == '.') {
            wordStart = true;
        } else if (wordStart) {
            initials.push_back(c);
            wordStart = false;
        }
    }
    return family + " " + initials;
}

std::string PersonName::DottedGiven() const {
    std::string out;
    for (std::string_view word : BlankSeparatedWords(given)) {
        if (!out.empty()) {
            out += ' ';
        }
        out += word;
        if (word.size() == 1) {
            out += '.';
        }
    }
    return out;
}

std::vector<PersonName> SplitNames(std::string_view list) {
    std::vector<PersonName> names;
    list = TrimView(list);
    if (list == kUnknownField || list == "\"\".") {
        return names;
    }
    // A name ends at the first "." outside double quotes.
    std::size_t start = 0;
    bool quoted = false;
    for (std::size_t i = 0; i <= list.size(); ++i) {
        const bool end = i == list.size() || (!quoted && list[i] == '.');
        if (i < list.size() && list[i] == '"') {
            quoted = !quoted;
        }
        if (end) {
            if (!TrimView(list.substr(start, i - start)).empty()) {
                names.push_back(NameOf(list.substr(start, i - start)));
            }
            start = i + 1;
        }
    }
    return names;
}

} // namespace cvx
