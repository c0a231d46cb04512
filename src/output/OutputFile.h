#pragma once
// The file a list or an export is written to, checked before anything is written: a name that
// stands for the reference file the output is made from would replace the user's references.

#include "text/Outcome.h"

#include <string>

namespace cvx {

class FileSystem;
class ReferenceReader;

// Refuses `output` when it is the file `source` reads (by any name or link).
Outcome CheckOutputFile(FileSystem& fs, const std::string& output, const ReferenceReader& source);

} // namespace cvx
