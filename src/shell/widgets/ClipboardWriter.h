#pragma once
// Puts a text on the clipboard in the forms the program offers: its own format with the text as
// stored, the plain text (or LaTeX) and Rich Text.

#include "shell/ClipboardText.h"

#include <QString>

namespace cvx {

// The program's own clipboard format: the text as stored, in code page 1252, with its codes.
QString PrivateClipboardFormat();

void PutOnClipboard(const ClipboardText& text);

} // namespace cvx
