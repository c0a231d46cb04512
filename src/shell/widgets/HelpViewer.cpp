#include "shell/widgets/HelpViewer.h"

#include "shell/widgets/DialogSeams.h"
#include "text/ShippedData.h"
#include "text/widgets/QtText.h"

#include <QFileInfo>
#include <QUrl>

namespace cvx {

void ShowHelp(QWidget* parent, int context) {
    const QString manual = FromUtf8(ShippedFile("manual/index.html"));
    if (!QFileInfo::exists(manual)) {
        ShowMessage(parent, MessageKind::Error,
                    UiText(msg::Desktop::ManualMissing, PathArgument(manual)));
        return;
    }
    QUrl url = QUrl::fromLocalFile(manual);
    if (context != 0) {
        url.setFragment(QStringLiteral("h%1").arg(context));
    }
    OpenExternally(url);
}

} // namespace cvx
