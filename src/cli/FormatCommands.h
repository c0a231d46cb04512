#pragma once
// Commands over format files and rendering: format new|dump|compile, render and label.

#include "cli/CliSupport.h"

namespace cvx::cli {

int RunFormat(const Args& args);
int RunRender(const Args& args);
int RunLabel(const Args& args);

} // namespace cvx::cli
