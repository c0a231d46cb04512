#pragma once
// Commands over database downloads: import into a reference file, list the source types, and
// detect a download's type.

#include "cli/CliSupport.h"

namespace cvx::cli {

int RunImport(const Args& args);
int RunDetect(const Args& args);

} // namespace cvx::cli
