#include "documents/DocumentDescription.h"

#include "text/Catalogue.h"
#include "text/StringPrimitives.h"

#include <map>
#include <optional>
#include <set>
#include <vector>

namespace cvx {

namespace {

constexpr std::string_view kFirstLine = "citavox-document 1";

constexpr std::string_view kStyleKeys[kStyleCodeCount] = {
    "bold",        "italic",   "subscript", "bold-subscript", "bold-superscript",
    "superscript", "underline"};

struct Failure {
    std::string message;
};

// One line: its first word and the quoted texts after it.
struct Line {
    std::string key;
    std::string argument; // the word after "char"
    std::vector<std::string> texts;
};

std::optional<Failure> SplitLine(std::string_view line, Line& out) {
    std::size_t i = 0;
    auto skipBlanks = [&] {
        while (i < line.size() && IsBlank(line[i])) {
            ++i;
        }
    };
    auto word = [&] {
        const std::size_t start = i;
        while (i < line.size() && !IsBlank(line[i]) && line[i] != '"' && line[i] != '#') {
            ++i;
        }
        return std::string(line.substr(start, i - start));
    };
    skipBlanks();
    out.key = word();
    skipBlanks();
    if (out.key == "char") {
        out.argument = word();
        skipBlanks();
    }
    while (i < line.size() && line[i] == '"') {
        std::string text;
        ++i;
        for (;;) {
            if (i >= line.size()) {
                return Failure{Message(msg::Documents::QuoteNotClosed)};
            }
            const char c = line[i++];
            if (c == '"') {
                break;
            }
            if (c == '\\') {
                if (i < line.size() && (line[i] == '\\' || line[i] == '"')) {
                    text += line[i++];
                    continue;
                }
                if (i + 2 < line.size() && line[i] == 'x' && HexDigitValue(line[i + 1]) >= 0 &&
                    HexDigitValue(line[i + 2]) >= 0) {
                    text += static_cast<char>(HexDigitValue(line[i + 1]) * 16 +
                                              HexDigitValue(line[i + 2]));
                    i += 3;
                    continue;
                }
                return Failure{Message(msg::Documents::UnknownEscape)};
            }
            if (static_cast<unsigned char>(c) < 0x20 || static_cast<unsigned char>(c) > 0x7E) {
                return Failure{Message(msg::Documents::RawByte)};
            }
            text += c;
        }
        out.texts.push_back(std::move(text));
        skipBlanks();
    }
    if (i < line.size() && line[i] != '#') {
        return Failure{Msg(msg::Documents::UnknownSetting, std::string(line.substr(i)))};
    }
    return std::nullopt;
}

class Compiler {
public:
    explicit Compiler(TDocumentDefinition& d) : d_(d) {
        single_ = {{"name", &d.name},   {"extension", &d.extension},
                   {"greek", &d.greek}, {"line-break", &d.lineBreak},
                   {"tab", &d.tab},     {"outdent", &d.outdent}};
        for (int s = 0; s < kStyleCodeCount; ++s) {
            pairs_[std::string(kStyleKeys[s])] = s;
        }
    }

    std::optional<Failure> Take(const Line& line) {
        if (line.key == "char") {
            const int code = CharacterCode(line.argument);
            if (code < 0) {
                return Failure{Msg(msg::Documents::NotACharacter, line.argument)};
            }
            if (!seen_.insert("char " + HexText(code)).second) {
                return Failure{Msg(msg::Documents::CharacterTwice, HexText(code))};
            }
            if (auto f = Count(line, 1)) {
                return f;
            }
            return Store(line.key, line.texts[0],
                         d_.characters[static_cast<std::size_t>(code - kFirstMappedChar)]);
        }
        if (!seen_.insert(line.key).second) {
            return Failure{Msg(msg::Documents::SettingTwice, line.key)};
        }
        if (auto it = single_.find(line.key); it != single_.end()) {
            if (auto f = Count(line, 1)) {
                return f;
            }
            return Store(line.key, line.texts[0], *it->second);
        }
        if (auto it = pairs_.find(line.key); it != pairs_.end()) {
            if (auto f = Count(line, 2)) {
                return f;
            }
            const auto s = static_cast<std::size_t>(it->second);
            if (auto f = Store(line.key, line.texts[0], d_.styleOn[s])) {
                return f;
            }
            return Store(line.key, line.texts[1], d_.styleOff[s]);
        }
        return Failure{Msg(msg::Documents::UnknownSetting, line.key)};
    }

    // A message for the first setting or character the description lacks.
    std::optional<std::string> Missing() const {
        for (const auto& [key, target] : single_) {
            if (!seen_.contains(key)) {
                return Msg(msg::Documents::SettingMissing, key);
            }
        }
        for (const auto& [key, index] : pairs_) {
            if (!seen_.contains(key)) {
                return Msg(msg::Documents::SettingMissing, key);
            }
        }
        for (int c = kFirstMappedChar; c <= kLastMappedChar; ++c) {
            const std::string hex = HexText(c);
            if (!seen_.contains("char " + hex)) {
                return Msg(msg::Documents::CharacterMissing, hex);
            }
        }
        return std::nullopt;
    }

private:
    static std::string HexText(int c) {
        static constexpr char kDigits[] = "0123456789ABCDEF";
        return {kDigits[c / 16], kDigits[c % 16]};
    }

    // The character of a "char" line, written as two hexadecimal digits; -1 when it is not one.
    static int CharacterCode(std::string_view argument) {
        if (argument.size() != 2 || HexDigitValue(argument[0]) < 0 ||
            HexDigitValue(argument[1]) < 0) {
            return -1;
        }
        const int code = HexDigitValue(argument[0]) * 16 + HexDigitValue(argument[1]);
        return code >= kFirstMappedChar && code <= kLastMappedChar ? code : -1;
    }

    static std::optional<Failure> Count(const Line& line, std::size_t wanted) {
        if (line.texts.size() != wanted) {
            return Failure{Msg(msg::Documents::WrongTextCount, line.key, std::to_string(wanted))};
        }
        return std::nullopt;
    }

    std::optional<Failure> Store(const std::string& key, const std::string& text,
                                 std::string& target) const {
        std::size_t limit = kMaxDocumentCode;
        if (&target == &d_.name) {
            limit = kDocumentNameField - 1;
        } else if (&target == &d_.extension) {
            limit = kDocumentExtensionField - 1;
        }
        if (text.size() > limit) {
            return Failure{Msg(msg::Documents::TextTooLong, text, key, std::to_string(limit))};
        }
        target = text;
        return std::nullopt;
    }

    TDocumentDefinition& d_;
    std::map<std::string, std::string*> single_;
    std::map<std::string, int> pairs_;
    std::set<std::string> seen_;
};

} // namespace

Outcome CompileDocumentDefinition(std::string_view text, TDocumentDefinition& definition) {
    TDocumentDefinition d;
    Compiler compiler(d);
    auto fail = [](int lineNumber, const std::string& message) {
        return Outcome::Error(
            Msg(msg::Documents::LineMessage, std::to_string(lineNumber), message));
    };
    int lineNumber = 0;
    bool first = true;
    for (const std::string_view textLine : SplitLines(text)) {
        const std::string_view raw = TrimView(textLine);
        ++lineNumber;
        if (raw.empty() || raw[0] == '#') {
            continue;
        }
        if (first) {
            if (raw != kFirstLine) {
                return fail(lineNumber, Message(msg::Documents::BadFirstLine));
            }
            first = false;
            continue;
        }
        Line line;
        if (auto f = SplitLine(raw, line)) {
            return fail(lineNumber, f->message);
        }
        if (auto f = compiler.Take(line)) {
            return fail(lineNumber, f->message);
        }
    }
    if (first) {
        return fail(lineNumber, Message(msg::Documents::BadFirstLine));
    }
    if (auto missing = compiler.Missing()) {
        return fail(lineNumber, *missing);
    }
    definition = std::move(d);
    return Outcome::Ok();
}

} // namespace cvx
