#include "output/PersonNames.h"

#include "refstore/RefArrData.h"
#include "text/StringPrimitives.h"

namespace cvx {

namespace {

// One name of a list (without its final "."): "Smith, J A", "Smith J" or a quoted corporate name.
PersonNameView NameOf(std::string_view text) {
    PersonNameView n;
    text = TrimView(text);
    if (text.size() >= 2 && text.front() == '"') {
        n.family = TrimView(text.substr(1, text.size() - 2));
        n.corporate = true;
    } else if (const std::size_t comma = text.find(','); comma != std::string_view::npos) {
        n.family = TrimView(text.substr(0, comma));
        n.given = TrimView(text.substr(comma + 1));
    } else if (const std::size_t space = text.rfind(' '); space != std::string_view::npos) {
        n.family = TrimView(text.substr(0, space));
        n.given = TrimView(text.substr(space + 1));
    } else {
        n.family = text;
    }
    return n;
}

} // namespace

std::string PersonName::FamilyInitials() const {
    std::string out;
    AppendFamilyInitials(out, {family, given, corporate});
    return out;
}

std::string PersonName::DottedGiven() const {
    std::string out;
    AppendDottedGiven(out, given);
    return out;
}

std::vector<PersonName> SplitNames(std::string_view list) {
    std::vector<PersonName> names;
    PersonNameCursor cursor(list);
    for (PersonNameView n; cursor.Next(n);) {
        names.push_back({std::string(n.family), std::string(n.given), n.corporate});
    }
    return names;
}

PersonNameCursor::PersonNameCursor(std::string_view list) : list_(TrimView(list)) {
    if (list_ == kUnknownField || list_ == "\"\".") {
        start_ = list_.size() + 1;
    }
}

bool PersonNameCursor::Next(PersonNameView& name) {
    while (start_ <= list_.size()) {
        // A name ends at the first "." outside double quotes (a name never ends inside them, so
        // each one begins outside).
        std::size_t end = start_;
        for (bool quoted = false; end < list_.size() && (quoted || list_[end] != '.'); ++end) {
            if (list_[end] == '"') {
                quoted = !quoted;
            }
        }
        const std::string_view text = list_.substr(start_, end - start_);
        start_ = end + 1;
        if (!TrimView(text).empty()) {
            name = NameOf(text);
            return true;
        }
    }
    return false;
}

void AppendFamilyInitials(std::string& out, const PersonNameView& name) {
    out += name.family;
    if (name.corporate || name.given.empty()) {
        return;
    }
    out += ' ';
    bool wordStart = true;
    for (char c : name.given) {
        if (c == ' ' || c == '-' || c == '.') {
            wordStart = true;
        } else if (wordStart) {
            out.push_back(c);
            wordStart = false;
        }
    }
}

void AppendDottedGiven(std::string& out, std::string_view given) {
    bool first = true;
    std::size_t i = 0;
    while (i < given.size()) {
        while (i < given.size() && IsBlank(given[i])) {
            ++i;
        }
        const std::size_t start = i;
        while (i < given.size() && !IsBlank(given[i])) {
            ++i;
        }
        if (i == start) {
            break;
        }
        if (!first) {
            out += ' ';
        }
        first = false;
        out += given.substr(start, i - start);
        if (i - start == 1) {
            out += '.';
        }
    }
}

} // namespace cvx
