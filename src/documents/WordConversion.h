#pragma once
// Binary Word documents (.doc) are completed through LibreOffice: converted to .docx before the
// completion and back to .doc after it, each by a headless LibreOffice with a profile of its own
// in a temporary folder, so a LibreOffice the user has open is neither needed nor disturbed.
// LibreOffice is the program "soffice" found on the PATH. A conversion is waited for in short
// slices: when the progress asks to abort, LibreOffice (with every process it started) is ended
// and the conversion fails as aborted, its temporary folder removed.

#include "text/Outcome.h"

#include <string>

namespace cvx {

class Progress;

// The document at `path` converted to `target` ("docx", "doc"), as bytes.
Outcome ConvertWithLibreOffice(const std::string& path, const std::string& target,
                               std::string& converted, Progress* progress = nullptr);

// `bytes`, a document of the kind the extension of `name` says, converted to `target`. The name
// only names the temporary file and the messages.
Outcome ConvertBackWithLibreOffice(const std::string& bytes, const std::string& name,
                                   const std::string& target, std::string& converted,
                                   Progress* progress = nullptr);

} // namespace cvx
