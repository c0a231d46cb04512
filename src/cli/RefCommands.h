#pragma once
// Commands over one reference file: list, show, tag, delete, compress, append, reprint numbers
// and line-end repair.

#include "cli/CliSupport.h"

namespace cvx::cli {

int RunList(const Args& args);
int RunShow(const Args& args);
int RunTag(const Args& args);
int RunDelete(const Args& args);
int RunDeleteTagged(const Args& args);
int RunCompress(const Args& args);
int RunAppend(const Args& args);
int RunReprint(const Args& args);
int RunFixLineEnds(const Args& args);

} // namespace cvx::cli
