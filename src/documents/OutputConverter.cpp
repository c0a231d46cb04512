#include "documents/OutputConverter.h"

#include "documents/WordPerfectGreek.h"
#include "text/Cp1252.h"
#include "text/LatexText.h"
#include "text/Markup.h"
#include "text/SymbolFont.h"

#include <algorithm>
#include <vector>

namespace cvx {

namespace {

// The style a markup letter toggles; -1 for a letter that is not a style.
int StyleOf(char letter) {
    switch (letter) {
    case 'B':
        return static_cast<int>(StyleCode::Bold);
    case 'I':
        return static_cast<int>(StyleCode::Italic);
    case 'v':
        return static_cast<int>(StyleCode::Subscript);
    case 'b':
        return static_cast<int>(StyleCode::BoldSubscript);
    case 'P':
        return static_cast<int>(StyleCode::BoldSuperscript);
    case '^':
        return static_cast<int>(StyleCode::Superscript);
    case 'U':
    case '_':
        return static_cast<int>(StyleCode::Underline);
    default:
        return -1;
    }
}

TDocumentDefinition MakeLatexDefinition() {
    TDocumentDefinition d;
    d.name = "LaTeX";
    d.extension = "tex";
    const std::pair<std::string, std::string> styles[kStyleCodeCount] = {
        {"\\textbf{", "}"},
        {"\\textit{", "}"},
        {"\\textsubscript{", "}"},
        {"\\textsubscript{\\textbf{", "}}"},
        {"\\textsuperscript{\\textbf{", "}}"},
        {"\\textsuperscript{", "}"},
        {"\\underline{", "}"}};
    for (int s = 0; s < kStyleCodeCount; ++s) {
        d.styleOn[s] = styles[s].first;
        d.styleOff[s] = styles[s].second;
    }
    d.lineBreak = "\\par ";
    d.tab = "\\hspace*{10mm}";
    d.outdent = "\\par\\noindent\\hangindent=2em ";
    return d;
}

} // namespace

const TDocumentDefinition& LatexDefinition() {
    static const TDocumentDefinition definition = MakeLatexDefinition();
    return definition;
}

OutputConverter::OutputConverter(DocumentKind kind, const TDocumentDefinition* definition,
                                 bool utf8Document)
    : kind_(kind),
      definition_(kind == DocumentKind::Latex || definition == nullptr ? LatexDefinition()
                                                                       : *definition),
      utf8Document_(utf8Document) {}

void OutputConverter::WriteCharacter(std::string& out, unsigned char c, bool greek) const {
    if (kind_ == DocumentKind::Latex) {
        // Already escaped for LaTeX; only the Symbol font's letters are still to be mapped.
        out += greek ? LatexSymbol(c) : std::string(1, static_cast<char>(c));
        return;
    }
    if (c < 0x20) {
        return; // control characters have no place in inserted text
    }
    const bool wordPerfect =
        kind_ == DocumentKind::WordPerfect5 || kind_ == DocumentKind::WordPerfect6;
    if (greek && SymbolGreekLetter(c) != 0) {
        const char32_t letter = SymbolGreekLetter(c);
        if (kind_ == DocumentKind::Rtf) {
            out += RtfUnicodeEscape(letter) + "?";
            return;
        }
        if (wordPerfect && WordPerfectGreekIndex(letter) >= 0) {
            const char lead = kind_ == DocumentKind::WordPerfect5 ? '\xC0' : '\xF0';
            out += lead;
            out += static_cast<char>(WordPerfectGreekIndex(letter));
            out += '\x08';
            out += lead;
            return;
        }
    }
    if (c >= kFirstMappedChar && c <= kLastMappedChar) {
        if (utf8Document_ && kind_ == DocumentKind::Plain) {
            AppendUtf8(out, Cp1252ToUnicode(c));
        } else {
            out += definition_.Character(c);
        }
        return;
    }
    if (c > kLastMappedChar) {
        if (kind_ == DocumentKind::Rtf) {
            out += "\\'ff";
        } else if (utf8Document_ && kind_ == DocumentKind::Plain) {
            AppendUtf8(out, Cp1252ToUnicode(c));
        } else {
            out += 'y';
        }
        return;
    }
    if (kind_ == DocumentKind::Rtf && (c == '\\' || c == '{' || c == '}')) {
        out += '\\';
    } else if (kind_ == DocumentKind::WordPerfect6 && c == ' ') {
        out += '\x80';
        return;
    }
    out += static_cast<char>(c);
}

std::string OutputConverter::Convert(std::string_view markedText) const {
    std::string escaped;
    if (kind_ == DocumentKind::Latex) {
        escaped = LatexEscapeInPlace(markedText);
        markedText = escaped;
    }
    std::string out;
    out.reserve(markedText.size() + markedText.size() / 4);
    std::vector<int> open; // the styles switched on, innermost last
    bool greek = false;
    auto switchOff = [&](int style) {
        const auto at = std::find(open.begin(), open.end(), style);
        std::vector<int> reopen(at + 1, open.end());
        for (auto it = open.rbegin(); it != open.rend() && *it != style; ++it) {
            out += definition_.styleOff[static_cast<std::size_t>(*it)];
        }
        out += definition_.styleOff[static_cast<std::size_t>(style)];
        open.erase(at, open.end());
        for (int s : reopen) {
            out += definition_.styleOn[static_cast<std::size_t>(s)];
            open.push_back(s);
        }
    };
    for (std::size_t i = 0; i < markedText.size(); ++i) {
        const auto c = static_cast<unsigned char>(markedText[i]);
        const bool escapedHash = kind_ == DocumentKind::Latex && i > 0 && markedText[i - 1] == '\\';
        if (c != '#' || i + 1 >= markedText.size() || escapedHash) {
            WriteCharacter(out, c, greek);
            continue;
        }
        const char letter = markedText[i + 1];
        if (const int style = StyleOf(letter); style >= 0) {
            if (std::find(open.begin(), open.end(), style) == open.end()) {
                out += definition_.styleOn[static_cast<std::size_t>(style)];
                open.push_back(style);
            } else {
                switchOff(style);
            }
        } else if (letter == 'G') {
            greek = !greek;
            out += definition_.greek;
        } else if (letter == 'L') {
            out += definition_.lineBreak;
        } else if (letter == 'O') {
            out += definition_.outdent;
        } else if (letter == 'T') {
            out += definition_.tab;
        } else if (letter == '#') {
            WriteCharacter(out, '#', false);
        } else if (letter != 'H' && letter != 'N') {
            WriteCharacter(out, '#', greek);
            continue; // the letter is text and is written on its own
        }
        ++i;
    }
    while (!open.empty()) {
        out += definition_.styleOff[static_cast<std::size_t>(open.back())];
        open.pop_back();
    }
    if (greek) {
        out += definition_.greek;
    }
    return out;
}

} // namespace cvx
