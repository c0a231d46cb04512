#pragma once
// The filter of a file dialog as the toolkit writes it, from the program's own setup
// ("Reference file (*.ref)" entries in kind order).

#include "settings/FileDialogSetup.h"

#include <QString>

namespace cvx {

QString DialogFilter(const FileDialogSetup& setup);

} // namespace cvx
