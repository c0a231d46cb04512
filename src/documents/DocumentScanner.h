#pragma once
// Pass 1 of document completion: finding the pseudo-citations of a manuscript, group by group, up
// to the reference-list marker, with their texts cleaned of the document format's codes.
//
// RTF is read with its brace and control-word rules, including what today's word processors
// write: a pseudo-citation split over formatting groups and revision marks, characters as \'hh or
// \uN escapes with their fallback characters, bookmarks and other destinations inside it.
// WordPerfect documents are read code by code; LaTeX sources look for "\{\{" ... "\}\}"; every
// other format is read as bytes. The scanner never fails on what it reads: whatever is not a
// complete pseudo-citation is left for the writer to copy unchanged and counted in the report.

#include "documents/DocumentLibrary.h"
#include "text/Outcome.h"

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace cvx {

class Progress;

inline constexpr int kMaxPseudoCitations = 4096;
inline constexpr int kMaxGroupCitations = 250;
inline constexpr std::size_t kMaxPlainCitationText = 250;
inline constexpr std::size_t kMaxCodedCitationText = 512; // RTF, WordPerfect, LaTeX

struct ScannedCitation {
    std::size_t start = 0; // the first byte of its "{{"
    std::size_t end = 0;   // just after its "}}"
    int line = 0;          // 1-based line of the manuscript where it starts
    int running = 0;       // 1-based running number among the manuscript's pseudo-citations
    std::string text;      // the cleaned text between the braces, UTF-8
};

struct ScannedGroup {
    std::size_t start = 0; // the span the group's citation replaces
    std::size_t end = 0;
    std::vector<ScannedCitation> citations;
    // RTF: the group braces met inside the span, with every "{}" pair removed; they are written
    // after the group's citation so that the document's groups stay balanced.
    std::string braces;
    bool marker = false; // the group ends with the reference-list marker
};

// Why a "{{" was not taken, or what else the report must say.
enum class ScanIssue {
    LacksEnd,    // a "{{" without its "}}"
    TooLong,     // a "{{" ... "}}" stretch longer than a pseudo-citation may be
    AfterMarker, // a pseudo-citation after the reference-list marker
    BeyondLimit, // a pseudo-citation beyond the 4096th
    GroupSplit,  // a group of more than 250 pseudo-citations, continued as a new group
};

struct ScanNote {
    ScanIssue issue;
    int line = 0;
};

struct ScanResult {
    std::vector<ScannedGroup> groups; // in document order; a marker group is the last
    int citationCount = 0;            // pseudo-citations taken
    bool markerFound = false;
    // Plain and LaTeX manuscripts that are UTF-8: texts written into them are UTF-8 too.
    bool utf8Document = false;
    std::size_t textStart = 0; // where the text of the document begins (after a binary header)
    std::vector<ScanNote> notes;

    int Count(ScanIssue issue) const;
};

// False when the manuscript is plainly not of that kind: an RTF document starts with "{\rtf", a
// WordPerfect document with the file header of its generation.
bool DocumentHasKind(std::string_view document, DocumentKind kind);

// The generation a WordPerfect file header names (WordPerfect5 or WordPerfect6, from the major
// version of its document type); Plain when `head`, the file's first 16 bytes or more, holds no
// WordPerfect document header.
DocumentKind WordPerfectGeneration(std::string_view head);

// Scans a manuscript of the given kind (which the caller has checked with DocumentHasKind).
// `definition` is the document-definition entry (null for LaTeX); it decodes the characters that
// the format writes as code sequences. Fails only when the progress asks to abort.
Outcome ScanDocument(std::string_view document, DocumentKind kind,
                     const TDocumentDefinition* definition, ScanResult& result,
                     Progress* progress = nullptr);

} // namespace cvx
