#include "vorodud/BibtexEntries.h"

#include "text/CaseMapping.h"
#include "text/StringPrimitives.h"

namespace cvx::vorodud {

namespace {

bool IsNameChar(char c) {
    return !IsBlank(c) && c != '=' && c != ',' && c != '{' && c != '}' && c != '(' && c != ')' &&
           c != '"' && c != '#' && c != '%' && c != '\'';
}

std::string Lower(std::string_view text) {
    return LowerText(text);
}

// The months that BibTeX knows without @string.
const std::map<std::string, std::string>& MonthMacros() {
    static const std::map<std::string, std::string> months = {
        {"jan", "January"},   {"feb", "February"}, {"mar", "March"},    {"apr", "April"},
        {"may", "May"},       {"jun", "June"},     {"jul", "July"},     {"aug", "August"},
        {"sep", "September"}, {"oct", "October"},  {"nov", "November"}, {"dec", "December"}};
    return months;
}

} // namespace

std::string BibtexEntry::Field(std::string_view name) const {
    const auto it = fields.find(std::string(name));
    return it == fields.end() ? std::string() : TrimBlanks(it->second);
}

void BibtexReader::SetText(std::string text) {
    text_ = std::move(text);
    pos_ = 0;
    entryStart_ = std::string::npos;
}

std::string BibtexReader::Rest() const {
    return entryStart_ == std::string::npos ? std::string() : text_.substr(entryStart_);
}

void BibtexReader::SkipBlanks() {
    while (pos_ < text_.size() && IsBlank(text_[pos_])) {
        ++pos_;
    }
}

std::string BibtexReader::Identifier() {
    const std::size_t start = pos_;
    while (pos_ < text_.size() && IsNameChar(text_[pos_])) {
        ++pos_;
    }
    return text_.substr(start, pos_ - start);
}

// One part of a value: a group in braces, a quoted text, a number or a macro name. False when
// the text ends inside it.
bool BibtexReader::ParsePart(std::string& value) {
    SkipBlanks();
    if (pos_ >= text_.size()) {
        return false;
    }
    const char c = text_[pos_];
    if (c == '{' || c == '"') {
        const char close = c == '{' ? '}' : '"';
        int depth = 0;
        const std::size_t start = ++pos_;
        while (pos_ < text_.size()) {
            const char d = text_[pos_];
            if (d == '\\' && pos_ + 1 < text_.size()) {
                pos_ += 2;
                continue;
            }
            if (d == close && depth == 0) {
                value += text_.substr(start, pos_ - start);
                ++pos_;
                return true;
            }
            if (d == '{') {
                ++depth;
            } else if (d == '}') {
                if (depth == 0) {
                    // A quoted text closed by the entry's brace: take what there is.
                    value += text_.substr(start, pos_ - start);
                    return true;
                }
                --depth;
            }
            ++pos_;
        }
        return false;
    }
    const std::string word = Identifier();
    if (word.empty()) {
        ++pos_;
        return true;
    }
    if (IsAllDigits(word)) {
        value += word;
        return true;
    }
    const std::string name = Lower(word);
    if (const auto it = macros_.find(name); it != macros_.end()) {
        value += it->second;
    } else if (const auto month = MonthMacros().find(name); month != MonthMacros().end()) {
        value += month->second;
    } else {
        value += word; // an undefined macro stands for its name
    }
    return true;
}

bool BibtexReader::ParseValue(std::string& value) {
    while (true) {
        if (!ParsePart(value)) {
            return false;
        }
        SkipBlanks();
        if (pos_ < text_.size() && text_[pos_] == '#') {
            ++pos_;
            continue;
        }
        return true;
    }
}

std::optional<BibtexEntry> BibtexReader::Next() {
    while (true) {
        entryStart_ = std::string::npos;
        const std::size_t at = text_.find('@', pos_);
        if (at == std::string::npos) {
            pos_ = text_.size();
            return std::nullopt;
        }
        entryStart_ = at;
        pos_ = at + 1;
        BibtexEntry entry;
        entry.type = Lower(Identifier());
        SkipBlanks();
        if (pos_ >= text_.size()) {
            return std::nullopt;
        }
        const char open = text_[pos_];
        if (open != '{' && open != '(') {
            entryStart_ = std::string::npos; // an "@" in running text
            continue;
        }
        const char close = open == '{' ? '}' : ')';
        ++pos_;
        if (entry.type == "comment" || entry.type == "preamble") {
            int depth = 1;
            while (pos_ < text_.size() && depth > 0) {
                const char c = text_[pos_++];
                depth += c == open ? 1 : c == close ? -1 : 0;
            }
            if (depth > 0) {
                return std::nullopt;
            }
            continue;
        }
        if (entry.type == "string") {
            SkipBlanks();
            const std::string name = Lower(Identifier());
            SkipBlanks();
            if (pos_ < text_.size() && text_[pos_] == '=') {
                ++pos_;
            }
            std::string value;
            if (!ParseValue(value)) {
                return std::nullopt;
            }
            SkipBlanks();
            if (pos_ >= text_.size()) {
                return std::nullopt;
            }
            if (text_[pos_] == close) {
                ++pos_;
            }
            macros_[name] = value;
            continue;
        }
        // The key runs to the first comma (or the end of an entry without fields).
        const std::size_t keyEnd = text_.find_first_of(std::string(",") + close, pos_);
        if (keyEnd == std::string::npos) {
            return std::nullopt;
        }
        entry.key = TrimBlanks(std::string_view(text_).substr(pos_, keyEnd - pos_));
        pos_ = keyEnd;
        while (true) {
            SkipBlanks();
            while (pos_ < text_.size() && (text_[pos_] == ',' || IsBlank(text_[pos_]))) {
                ++pos_;
            }
            if (pos_ >= text_.size()) {
                return std::nullopt;
            }
            if (text_[pos_] == close) {
                ++pos_;
                break;
            }
            const std::string name = Lower(Identifier());
            SkipBlanks();
            if (name.empty() || pos_ >= text_.size() || text_[pos_] != '=') {
                // Not a field: skip to the next comma or the end of the entry.
                while (pos_ < text_.size() && text_[pos_] != ',' && text_[pos_] != close) {
                    ++pos_;
                }
                continue;
            }
            ++pos_;
            std::string value;
            if (!ParseValue(value)) {
                return std::nullopt;
            }
            entry.fields[name] = value;
        }
        entryStart_ = std::string::npos;
        return entry;
    }
}

} // namespace cvx::vorodud
