#pragma once
// Today's text in the program's single-byte character set. Downloads arrive in Unicode; reference
// text is code page 1252 with a Symbol-font markup for Greek letters and mathematical signs.
// AnsiWriter turns Unicode characters into that text:
// - characters of code page 1252 stand for themselves;
// - Greek letters and mathematical signs become Symbol markup ("#Gb#G" for a beta; adjacent ones
//   share one "#G" pair, which is closed before any other character and at every line end);
// - typographic quotes, dashes and spaces become their nearest code page 1252 character;
// - anything else becomes its base letters (accents dropped, Cyrillic transliterated), or "?"
//   when nothing readable is left.

#include <string>
#include <string_view>

namespace cvx {

class AnsiWriter {
public:
    void Append(char32_t codePoint);
    // A byte of single-byte text, taken as it is.
    void AppendByte(unsigned char byte);
    // A run of ASCII characters at once (what Append does for each of them).
    void AppendAscii(std::string_view ascii);
    // Closes an open Symbol run and hands over the text written so far.
    std::string Take();
    const std::string& Text() const { return out_; }

private:
    void OpenSymbol();
    void CloseSymbol();

    std::string out_;
    bool inSymbol_ = false;
};

// The ASCII letters of a character: its base letters without their marks ("A" for an A with
// tilde); empty when it has none.
std::string AsciiLetters(char32_t codePoint);

// The whole text converted.
std::string UnicodeToAnsi(std::u32string_view text);
// UTF-8 text converted; malformed bytes are read as code page 1252 bytes.
std::string Utf8ToAnsi(std::string_view utf8);

} // namespace cvx
