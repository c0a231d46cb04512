#pragma once
// Field builders: they add a text to a field of the collected reference, wrapping it into lines
// of the width the reference file wants. A builder whose array is full drops the text and marks
// the reference (the author list as cut, any other field as questioned), so nothing is lost
// without a trace.

#include "lexmill/ConversionState.h"

#include <string>
#include <string_view>

namespace cvx::lexmill {

void AddToAuthors(ConversionState& s, std::string_view text);
void AddToEditors(ConversionState& s, std::string_view text);
void AddToMajorHeads(ConversionState& s, std::string_view text);
void DumpAddress(ConversionState& s, std::string_view text);
void DumpTitle(ConversionState& s, std::string_view text);
void DumpLongJournalName(ConversionState& s, std::string_view text);
void DumpToSource(ConversionState& s, std::string_view text);
void DumpStringToAbstract(ConversionState& s, std::string_view text);
void DoExpandPages(ConversionState& s);
void DecapitalizeTitle(ConversionState& s);
void DecapitalizeAbstract(ConversionState& s, int first);

// Shared with the field readers.
namespace fields {
// Every run of blanks becomes one.
std::string Collapse(std::string_view text);
void CollapseInPlace(std::string& text);
// Appends a piece: directly after a hyphen, otherwise after one blank.
void HyphenJoin(std::string& text, std::string_view piece);
struct Cut {
    std::string line;
    std::string rest;
};
// Cuts at the line-break position for `limit`: the text before the cut, trimmed, and the rest.
Cut CutAtBreak(std::string_view text, std::size_t limit);
// Cuts at the last blank at or before `position` (the blank is dropped), else at `fallback`.
Cut CutAtBlank(std::string_view text, std::size_t position, std::size_t fallback);
// Puts a text into a field's lines: while it is longer than `longerThan` and fewer than
// `maxLines` lines are used, `cut` takes the next line off it; the rest goes to the last line.
template <int N, typename CutFunction>
void WrapInto(FieldLines<N>& lines, std::string text, std::size_t longerThan, int maxLines,
              CutFunction cut) {
    lines.count = 1;
    while (text.size() > longerThan && lines.count < maxLines) {
        Cut c = cut(text);
        lines[lines.count] = std::move(c.line);
        text = std::move(c.rest);
        ++lines.count;
    }
    lines[lines.count] = std::move(text);
}
// Starts the next abstract line with `start`; false when the abstract is full.
bool NewAbstractLine(ConversionState& s, std::string_view start);
// Adds blank-separated words to the abstract's current line, starting new lines of at most 78
// characters. A "quote SUB" or "quote SUP" marker at the end of a full line moves to the next.
void AddAbstractWords(ConversionState& s, std::string_view text, bool countFollowingBlank,
                      bool collapseAfterEachWord);
} // namespace fields

} // namespace cvx::lexmill
