#pragma once
// citavox-cli search, index and index-state: searching a reference file with an expression,
// building its word index and telling whether the index can be used.

#include "cli/CliSupport.h"

namespace cvx::cli {

int RunSearch(const Args& args);
int RunIndex(const Args& args);
int RunIndexState(const Args& args);

} // namespace cvx::cli
