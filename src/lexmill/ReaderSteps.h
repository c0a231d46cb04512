#pragma once
// Steps that the record readers share: taking lines, cutting long lines into pieces, storing
// lines in the line table.

#include "lexmill/ConversionState.h"

#include <string>
#include <string_view>
#include <vector>

namespace cvx::lexmill::steps {

// A marker matches at the start of a line; an empty marker matches nothing.
bool Starts(std::string_view line, std::string_view marker);
bool Contains(std::string_view line, std::string_view marker);
bool IsBlankLine(std::string_view line);

// The pending line if there is one (it is cleared), else the next source line.
void GetLine(ConversionState& s, std::string& line);
// The next source line of a record; false at the end of the source.
bool NextLine(ConversionState& s, std::string& line);
// Takes lines until `isStart` accepts one (it may change the line it looks at); false at the end
// of the source.
template <typename Predicate>
bool FindRecordStart(ConversionState& s, std::string& line, Predicate isStart) {
    while (true) {
        GetLine(s, line);
        if (isStart(line)) {
            return true;
        }
        if (s.FilSlut()) {
            return false;
        }
    }
}
// A line holding a line feed keeps the text before it; the rest becomes the pending line.
void LfSplit(ConversionState& s, std::string& line);
// Drops the text up to the last line feed.
void DropToLastLineFeed(std::string& line);
// Deletes the leading characters below 32.
void StripControl(std::string& line);

// Cuts a long line into pieces at the last blank at or before `cut` (at `cut` when there is
// none): the first piece when it is longer than `firstLongerThan`, later ones when they are
// `longFrom` characters or longer. Pieces lose a leading line feed and their trailing blanks.
std::vector<std::string> Pieces(std::string_view line, std::size_t cut, std::size_t longFrom,
                                std::size_t firstLongerThan);
// The piece splitting of the page-layout readers: cut at 75, lines of 80 or more, a first piece
// longer than 76.
std::vector<std::string> PageLayoutPieces(std::string_view line);

// Stores a line of the record. Once the line table is full the record is marked questioned and
// further lines are consumed without being stored.
void Store(ConversionState& s, std::string_view line);

// Readers whose pending line is reset per run forget it at the first record of a run. (Not
// until the run's first reference is written: a run whose first references are dumped would
// otherwise lose the first line of every record after them.)
void ForgetPendingLineAtRunStart(ConversionState& s);

} // namespace cvx::lexmill::steps
