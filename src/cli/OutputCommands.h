#pragma once
// Commands of lists and export.

#include "cli/CliSupport.h"

namespace cvx::cli {

int RunMakelist(const Args& args);
int RunExport(const Args& args);

} // namespace cvx::cli
