#pragma once
// Marked-up text as the displays see it: runs of characters that share one character style, read
// from the two-character codes, and the codes written back from such runs. The rich-text displays
// and the list line of the reference windows draw the runs; the rich-text control reads what the
// user formatted back into codes.

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace cvx {

// Which codes act. The rich-text displays also know line breaks, tabs and the paragraph markers
// and colour text marked with 0xFF blue; the list line knows only the character styles and the
// two hit colours, and shows every other code as text.
enum class MarkupDialect { RichText, ListLine };

enum class TextColour : std::uint8_t { Normal, GetHit, TagHit, Blue };

struct MarkupStyle {
    bool bold = false;
    bool italic = false;
    bool underline = false;
    bool symbol = false; // the Symbol font: Latin letters stand for Greek ones
    int offset = 0;      // -1 subscript, 0 on the line, 1 superscript
    TextColour colour = TextColour::Normal;
    bool operator==(const MarkupStyle&) const = default;
};

// One run of text in one style (code page 1252). A line break ("#L") is the byte 0x0B, so that it
// stays apart from the CR LF that ends a line of the stored text, and "#T" is a tab.
struct MarkupRun {
    std::string text;
    MarkupStyle style;
};

inline constexpr char kLineBreak = '\x0B';

// How the paragraphs of a display are set: every line at the left, or the lines after the first
// of a paragraph further in ("#&").
enum class ParagraphForm { Plain, Hanging };

struct ParsedMarkup {
    std::vector<MarkupRun> runs; // consecutive runs differ in style; no run is empty
    ParagraphForm form = ParagraphForm::Plain;
    bool paragraphMarker = false; // the text held "#%", "#&" or "#" with byte 0xA4
};

// Reads marked-up text into runs. Hit codes colour their words only with `showHits`; a "#" with
// a character that does not act stays as text together with that character, which is then read
// anew ("##" shows as "##", "#N" as "#N").
ParsedMarkup ParseMarkup(std::string_view text, MarkupDialect dialect, bool showHits = true);

// The runs as marked-up text. When every run has the same style the result is the plain text;
// otherwise each run is preceded by the codes of the styles that changed, the styles opened last
// closing first. Colours are display-only and never written; styles still open at the end stay
// open (the codes toggle, so the text loads the same). Tabs become "#T", line breaks "#L", empty
// lines disappear and a line holding a single blank is dropped.
std::string MarkupFromRuns(const std::vector<MarkupRun>& runs);

// The bytes that end the word at the caret when a style is applied to it.
bool IsWordSeparator(unsigned char byte);

// The web addresses and file paths in a display's plain text (code page 1252), each once
// (compared ignoring case), added to `links` behind those already there: every "http:" or
// "https:" up to the next blank, then every word with a ":" or beginning with "/" that is shaped
// like a full path, as LinkTarget gives them.
void CollectLinks(std::string_view text, std::vector<std::string>& links);

} // namespace cvx
