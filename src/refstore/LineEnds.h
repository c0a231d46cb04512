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

// Rewrites the reference file `name` safely (held against other writers, through a symbolic link
// to the file it stands for) when any line end is not CR LF; `changed` tells whether it was.
// Failures come with the message for the user.
Outcome FixLineEnds(FileSystem& fs, const std::string& name, bool& changed);

} // namespace cvx
