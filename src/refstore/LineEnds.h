#pragma once
// Repairing the line ends of a text that was saved with LF-only, CR-only or mixed line ends.

#include "text/Outcome.h"

#include <string>
#include <string_view>

namespace cvx {

class FileSystem;

// Every line end becomes CR LF: a CR LF stays, a run of CRs before an LF counts as one line end
// (a doubled CR is a conversion slip, not an empty line), and a lone CR or LF becomes CR LF.
// `pendingCrs` carries a pending run of CRs from one piece of a longer text to the next; finish
// with an empty piece and `last` set.
std::string ToCrLf(std::string_view piece, int& pendingCrs, bool last);

// Rewrites the file safely when any line end is not CR LF; `changed` tells whether it was.
Outcome FixLineEnds(FileSystem& fs, const std::string& path, bool& changed);

} // namespace cvx
