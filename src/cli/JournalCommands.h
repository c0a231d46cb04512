#pragma once
// The journal command: look names up in the journal-name database, show a journal's definition
// and count the database's names.

#include "cli/CliSupport.h"

namespace cvx::cli {

// citavox-cli journal lookup|show|stats ...
int RunJournal(const Args& args);

} // namespace cvx::cli
