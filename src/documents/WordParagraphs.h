#pragma once
// The paragraphs and runs that we write into word-processor documents (.docx runs with their
// properties, .odt spans with automatic styles): citation groups inside a manuscript's paragraph
// and the reference list as paragraphs of their own, whether a completion puts them into a
// manuscript or the list engine makes a document of them. Text comes in as marked-up code page
// 1252 and goes out as XML in the document's own namespace prefix.

#include <QString>

#include <map>
#include <set>
#include <string>
#include <vector>

namespace cvx {

struct MarkupStyle;

enum class WordFormat { Docx, Odt };

// An automatic paragraph style of an .odt's content, as far as a style based on it needs: the
// common style it is based on and its text properties element as written.
struct OdtParagraphStyle {
    QString parent;
    QString textProperties;
};

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

    // The automatic styles that the spans and paragraphs written so far use (.odt). The style of
    // the outdented list is based on the paragraph style the list was given, so the list keeps
    // its font and size; where that is an automatic style (which may not be a parent), on that
    // style's parent, with its text properties.
    QString OdtStyles() const;

    // The automatic paragraph styles of the document written into (.odt), by name.
    void SetAutomaticParagraphStyles(std::map<QString, OdtParagraphStyle> styles);

private:
    QString DocxContent(const QString& text) const;
    QString RunProperties(const QString& base, const MarkupStyle& style) const;

    WordFormat format_;
    QString w_; // the main namespace's prefix with its colon
    std::set<int> textStyles_;
    bool hangingUsed_ = false;
    QString hangingBase_; // the paragraph style of the first outdented list (.odt)
    std::map<QString, OdtParagraphStyle> automaticStyles_;
};

} // namespace cvx
