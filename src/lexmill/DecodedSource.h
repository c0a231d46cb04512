#pragma once
// Today's downloads are UTF-8 (often with a byte-order mark) or UTF-16; the record readers read
// code page 1252. Such a source is read through a decoded copy: an unnamed temporary file that
// disappears when it is closed.

#include <string>

namespace cvx::lexmill {

// A descriptor of the decoded copy of the file, positioned anywhere; -1 when the file needs no
// decoding (it has no byte-order mark, no UTF-16 and no byte above 127) or the copy cannot be
// made, in which case the file is read as it is.
int OpenDecodedSource(const std::string& path);

} // namespace cvx::lexmill
