#pragma once
// Pseudo-citations: the short codes an author types into a manuscript where a citation belongs,
// "{{" file " #" number ["/" options] "; " label "}}", how they are built for the clipboard and
// how document completion reads them back.
//
// The texts are byte strings: the builder and the reader only look at the ASCII delimiters, so
// the caller chooses the character set (code page 1252 for the program's own text, UTF-8 for a
// path taken from the system or from a manuscript that was decoded to UTF-8).

#include "text/Outcome.h"

#include <string>
#include <string_view>
#include <vector>

namespace cvx {

// The option of one pseudo-citation (the low bits of its option code).
inline constexpr int kOptionNone = 0;
inline constexpr int kOptionHide = 1;       // counted and listed, not written
inline constexpr int kOptionYear = 2;       // the year only
inline constexpr int kOptionAuthors = 3;    // the authors only
inline constexpr int kOptionTextBefore = 4; // a text written before the citation
inline constexpr int kOptionTextAfter = 5;  // a text written after the citation
// Flags added to the option code.
inline constexpr int kFirstInGroup = 32;  // written first in its group
inline constexpr int kSkipEnclosure = 64; // the group is written without its enclosure

// The largest text the builder of several pseudo-citations produces (a clipboard limit).
inline constexpr std::size_t kMaxPseudoCitationText = 65535;

// What one pseudo-citation asks for, as the create dialog collects it.
struct PseudoCitationRequest {
    std::string file; // the reference file as the reference window has it open
    int number = 1;   // the reference's position in the file, from 1
    int option = kOptionNone;
    std::string optionText; // the text of kOptionTextBefore / kOptionTextAfter
    bool firstInGroup = false;
    bool skipEnclosure = false;
    std::string label; // the author-year label of the reference
};

// Checks the text of kOptionTextBefore / kOptionTextAfter: it may hold neither ";" nor "}}",
// which would end the options and the pseudo-citation early.
Outcome CheckOptionText(std::string_view text);

// One pseudo-citation. With `hide` (the setting "Hide references in pseudo-citations") the file,
// number and options are wrapped in the hidden-text code "#H", so a word processor shows only the
// braces and the label.
std::string BuildPseudoCitation(const PseudoCitationRequest& request, bool hide);

// The pseudo-citations of several references, concatenated so that they paste as one group.
// Fails, producing nothing, when an option's text does not pass CheckOptionText or the text would
// exceed kMaxPseudoCitationText bytes.
Outcome BuildPseudoCitations(const std::vector<PseudoCitationRequest>& requests, bool hide,
                             std::string& text);

// A pseudo-citation as read from a manuscript.
struct TPseudoCitation {
    std::string file;   // as written (a relative name is the caller's to resolve), with ".ref"
                        // added when it has no extension
    int number = -1;    // 0-based; -1 when the number cannot be read or is below 1
    int optionCode = 0; // the option plus kFirstInGroup and kSkipEnclosure
    std::string optionText;
    std::string label; // the text after the ";" that ends the options, without a "#H"

    bool Readable() const { return number >= 0; }
    int Option() const { return optionCode & 31; }
    bool FirstInGroup() const { return (optionCode & kFirstInGroup) != 0; }
    bool SkipEnclosure() const { return (optionCode & kSkipEnclosure) != 0; }
};

// Reads the text between "{{" and "}}" (after the document-format clean-up). A leading hidden-text
// code "#H" and a leading "%" (a LaTeX comment that hides the file part) are dropped first. The
// file part ends at the last "#" whose number and options read cleanly, so a "#" inside a path
// does not cut it; everything after the ";" that ends the options is the label and is ignored.
TPseudoCitation ParsePseudoCitation(std::string_view text);

// A "{{...}}" is a pseudo-citation only when it holds a "#".
bool LooksLikePseudoCitation(std::string_view text);

// The reference-list marker ("{{REFERENCES}}"): a text that contains "REFERENCES" and no "#".
bool IsReferenceListMarker(std::string_view text);

} // namespace cvx
