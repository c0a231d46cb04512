#pragma once
// Commands over the message catalogue: print one entry filled with arguments, or a whole list.

#include "cli/CliSupport.h"

namespace cvx::cli {

int RunMessage(const Args& args);

} // namespace cvx::cli
