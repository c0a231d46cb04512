#include "shell/widgets/DialogButtons.h"

#include "shell/widgets/HelpViewer.h"
#include "text/widgets/QtText.h"

#include <QDialog>
#include <QPushButton>

#include <utility>

namespace cvx {

QDialogButtonBox* NewDialogButtons(QDialog* dialog, QDialogButtonBox::StandardButtons which,
                                   std::function<int()> helpContext) {
    auto* buttons = new QDialogButtonBox(which, dialog);
    const std::pair<QDialogButtonBox::StandardButton, MsgId> captions[] = {
        {QDialogButtonBox::Ok, msg::SmallDialogs::Ok},
        {QDialogButtonBox::Cancel, msg::SmallDialogs::Cancel},
        {QDialogButtonBox::Help, msg::SmallDialogs::Help}};
    for (const auto& [button, caption] : captions) {
        if (QPushButton* b = buttons->button(button)) {
            b->setText(UiText(caption));
        }
    }
    QObject::connect(buttons, &QDialogButtonBox::accepted, dialog, &QDialog::accept);
    QObject::connect(buttons, &QDialogButtonBox::rejected, dialog, &QDialog::reject);
    QObject::connect(buttons, &QDialogButtonBox::helpRequested, dialog,
                     [dialog, helpContext = std::move(helpContext)] {
                         ShowHelp(dialog, helpContext ? helpContext() : 0);
                     });
    return buttons;
}

} // namespace cvx
