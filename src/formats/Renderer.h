#pragma once
// Rendering one reference under a format: the short form (a citation) or the long form (a
// reference-list entry), as text that still carries the markup codes. Also the two labels that
// do not use the forms: the author-year label and the number label of list entries.

#include "formats/FormatDesc.h"
#include "refstore/RefArrData.h"

#include <cstddef>
#include <string>
#include <string_view>

namespace cvx {

class JournalLookup;

// What a rendering reads besides the format and the reference.
struct RenderOptions {
    // The journal-name database; null stands for a database that knows no journal.
    const JournalLookup* journals = nullptr;
    bool ignoreJournalDatabase = false; // the setting "Journal names\Ignore database"
    // Output meant for LaTeX: "et al." is left as the markers that the LaTeX converters resolve.
    bool latex = false;
    bool suppressRtf = false; // the setting "Clipboard\Suppress RTF" (author-year label)
};

// Where the parts that completion edits afterwards stand in a rendering.
struct RenderMarks {
    std::size_t authorsEnd = 0; // right after the Authors element; 0 when the form has none
    // Right after the year's text (before the text after it): where a year letter goes; npos
    // when no year was written.
    std::size_t yearEnd = std::string::npos;
};

// Renders `record` with the long or the short form of its source type into `out` (replacing
// its content; its capacity is reused), and says where its authors and year end.
RenderMarks RenderReferenceMarked(const TFormatDesc& desc, bool longForm, const TRefArrData& record,
                                  std::string& out, const RenderOptions& options = {});

// As RenderReferenceMarked; returns AuthorsEnd: the output length right after the Authors
// element, 0 when the form has none.
std::size_t RenderReference(const TFormatDesc& desc, bool longForm, const TRefArrData& record,
                            std::string& out, const RenderOptions& options = {});

// The field-value rule: trimmed; "\"\"." gives ""; a text of two or more characters that begins
// and ends with a double quote loses both quotes.
std::string Unquote(std::string_view text);

// "Smith, 1986", "Smith & Jones, 1986", "Smith, Jones & Brown, 1986", "Smith #Iet al.#I, 1986".
std::string AuthorYearLabel(const TRefArrData& record, const RenderOptions& options = {});

// The label of list entry n in a numbering style (0-13), followed by a space or, for the styles
// 7-13, by "#T".
std::string NumberLabel(const TFormatDesc& desc, int style, int n);

} // namespace cvx
