#pragma once
// Commands over the per-user settings store: get, set and list values by path and name.

#include "cli/CliSupport.h"

namespace cvx::cli {

int RunSettings(const Args& args);

} // namespace cvx::cli
