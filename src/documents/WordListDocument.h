#pragma once
// A reference list as a word-processor document of its own (.docx or .odt): the paragraphs of the
// list, written as a completion writes a manuscript's list, in a new document with nothing else.

#include "documents/WordParagraphs.h"
#include "text/Outcome.h"

#include <string>
#include <vector>

namespace cvx {

// The container of a new document holding `paragraphs` (marked-up code page 1252, each with its
// paragraph code as WordParagraphWriter::ListParagraphs takes it).
Outcome MakeWordListDocument(WordFormat format, const std::vector<std::string>& paragraphs,
                             std::string& out);

} // namespace cvx
