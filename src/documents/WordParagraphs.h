#pragma once
// The paragraphs and runs that we write into word-processor documents (.docx runs with their
// properties, .odt spans with automatic styles): citation groups inside a manuscript's paragraph
// and the reference list as paragraphs of their own, whether a completion puts them into a
// manuscript or the list engine makes a document of them. Text comes in as marked-up code page
// 1252 and goes out as XML in the document's own namespace prefix.

#include <QString>

#include <set>
#include <string>
#include <vector>

namespace cvx {

struct MarkupStyle;

enum class WordFormat { Docx, Odt };

class WordParagraphWriter {
public:
    // `prefix` is the prefix of the WordprocessingML namespace in the part written (.docx).
    WordParagraphWriter(WordFormat format, const QString& prefix);

    // The start and end tags of a .docx text element.
    QString TextStart() const;
    QString TextEnd() const;

    // Marked-up text as runs (.docx, each with `baseProps` and the text's styles) or spans
    // (.odt, styled through automatic styles).
    QString Runs(const std::string& marked, const QString& baseProps);

    // The reference list as paragraphs, in the style of `paragraph` (.docx: a paragraph's
    // properties element, .odt: a paragraph style's name). Each entry starts with its paragraph
    // code: "#O" outdents the first line (a hanging indent), "#L" does not.
    QString ListParagraphs(const std::vector<std::string>& entries, const QString& paragraph);

    // The automatic styles that the spans and paragraphs written so far use (.odt).
    QString OdtStyles() const;

private:
    QString DocxContent(const QString& text) const;
    QString RunProperties(const QString& base, const MarkupStyle& style) const;

    WordFormat format_;
    QString w_; // the main namespace's prefix with its colon
    std::set<int> textStyles_;
    bool hangingUsed_ = false;
};

} // namespace cvx
