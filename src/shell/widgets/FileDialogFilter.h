#pragma once
// The filter of a file dialog as the toolkit writes it, from the program's own setup
// ("Reference file (*.ref)" entries in kind order), and the dialog that asks for a reference file.

#include "settings/FileDialogSetup.h"

#include <QString>

class QWidget;

namespace cvx {

QString DialogFilter(const FileDialogSetup& setup);

// Asks for a reference file to open, titled `title`, in the default reference directory with the
// reference-file and any-file filters; empty when the user cancels.
QString AskReferenceFileName(QWidget* parent, const QString& title);

} // namespace cvx
