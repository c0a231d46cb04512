#pragma once
// The last step of every text completion writes into a manuscript: the markup codes of rendered
// citations and reference lists ("#I", "#L", "#G", ...) become the codes of the document's format,
// and its characters are written the way that format writes them.
//
// RTF: every character that RTF gives a meaning ("\", "{", "}") and every character above 127 is
// escaped, so no inserted text can break the document; Greek letters are Unicode escapes.
// WordPerfect: characters and Greek letters become extended characters; WordPerfect 6 writes
// spaces as soft spaces. LaTeX: the text is escaped for a LaTeX source and the codes are LaTeX
// commands. Other formats: the definition's codes and characters, or UTF-8 characters when the
// manuscript is a UTF-8 text.
//
// Styles nest: switching off a style that is not the innermost one closes the inner ones and
// opens them again after it, so group-based codes (RTF, LaTeX) stay balanced; every style still
// on at the end of a text is switched off.

#include "documents/DocumentLibrary.h"

#include <string>
#include <string_view>

namespace cvx {

// The codes LaTeX manuscripts are completed with.
const TDocumentDefinition& LatexDefinition();

class OutputConverter {
public:
    // `definition` is the document-definition entry; LaTeX uses LatexDefinition().
    OutputConverter(DocumentKind kind, const TDocumentDefinition* definition, bool utf8Document);

    std::string Convert(std::string_view markedText) const;

    DocumentKind Kind() const { return kind_; }

private:
    void WriteCharacter(std::string& out, unsigned char c, bool greek) const;

    DocumentKind kind_;
    const TDocumentDefinition& definition_;
    bool utf8Document_;
};

} // namespace cvx
