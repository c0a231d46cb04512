#pragma once
// The list line of a reference: its one-line form with markup and its status, read through the
// const read so that the window's cursor stays where it is, and the layout that fits the line
// into the width of a list row by shortening its title.

#include "refstore/ReferenceFile.h"
#include "refstore/ReferenceReader.h"
#include "text/Outcome.h"

#include <functional>
#include <string>
#include <string_view>

namespace cvx {

// The longest one-line text a list row shows.
inline constexpr std::size_t kMaxListLine = 255;

struct ListLine {
    std::string text; // SingleLineText with its title markers, at most kMaxListLine bytes
    RefStatus status = RefStatus::FormallyCorrect;
};

// The list line of reference `index` (absolute, 0-based), parsed with the formal check.
Outcome ReadListLine(const ReferenceReader& reader, int index, const FormalCheck& check,
                     ListLine& line, ReadBuffer* buffer = nullptr);

// Width in pixels of marked-up text, as the list draws it.
using MeasureCodedText = std::function<int(std::string_view)>;

// The line as it fits into `available` pixels: the title between the markers "!T!T!T" is taken
// out, shortened word by word with "..." until the line fits and put back (only "..." when no word
// of it fits); a line without a title loses words from its end. The markers are gone afterwards.
std::string FitListLine(std::string_view text, int available, const MeasureCodedText& measure);

// What the list draws for a line: a line that begins with an empty year ("#B#B") shows "0000",
// and an empty title between its markers shows as "<lacks title>".
std::string ShownListText(std::string_view text);

} // namespace cvx
