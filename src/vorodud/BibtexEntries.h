#pragma once
// BibTeX entries read from text: "@type{key, name = value, ...}" with values in braces or
// quotes, numbers, @string macros and "#" concatenation. @comment and @preamble are skipped.

#include <map>
#include <optional>
#include <string>
#include <string_view>

namespace cvx::vorodud {

struct BibtexEntry {
    std::string type; // lower case
    std::string key;
    std::map<std::string, std::string> fields; // lower-case names; values with their LaTeX
    std::string Field(std::string_view name) const;
};

class BibtexReader {
public:
    // Macros defined by @string persist across the texts read.
    void SetText(std::string text);
    // The next entry; nullopt when the text holds no further complete entry. `Rest` is then what
    // was left of an entry that the text cut short (empty when there was none).
    std::optional<BibtexEntry> Next();
    std::string Rest() const;

private:
    void SkipBlanks();
    bool ParseValue(std::string& value);
    bool ParsePart(std::string& value);
    std::string Identifier();

    std::string text_;
    std::size_t pos_ = 0;
    std::size_t entryStart_ = std::string::npos;
    std::map<std::string, std::string> macros_;
};

} // namespace cvx::vorodud
