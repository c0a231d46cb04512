#pragma once
// Commands of the file tools: sorting, comparing and checking reference files, display orders.

#include "cli/CliSupport.h"

namespace cvx::cli {

int RunSort(const Args& args);
int RunCompare(const Args& args);
int RunCheck(const Args& args);
int RunOrder(const Args& args);

} // namespace cvx::cli
