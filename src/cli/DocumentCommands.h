#pragma once
// Commands of document completion: complete a manuscript, build pseudo-citations, and sort keys
// by a character collation.

#include "cli/CliSupport.h"

namespace cvx::cli {

int RunComplete(const Args& args);
int RunCite(const Args& args);
int RunCollate(const Args& args);

} // namespace cvx::cli
