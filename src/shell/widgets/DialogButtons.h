#pragma once
// The row of standard buttons at the foot of the program's dialogs, captioned from the catalogue.

#include <QDialogButtonBox>

#include <functional>

class QDialog;

namespace cvx {

// The buttons `which` (of OK, Cancel and Help) for `dialog`: OK accepts it, Cancel rejects it and
// Help opens the manual at the help context that `helpContext` gives when Help is pressed.
QDialogButtonBox* NewDialogButtons(QDialog* dialog, QDialogButtonBox::StandardButtons which,
                                   std::function<int()> helpContext = {});

} // namespace cvx
