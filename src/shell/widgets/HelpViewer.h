#pragma once
// The manual: an HTML page in the program's data folder, opened in the desktop's browser at the
// section of a help context.

class QWidget;

namespace cvx {

// Opens the manual at the section of `context` (its contents for 0); when the manual is missing
// the user is told where it was looked for.
void ShowHelp(QWidget* parent, int context);

} // namespace cvx
