#include "shell/widgets/ClipboardWriter.h"

#include "text/widgets/QtText.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QMimeData>

namespace cvx {

QString PrivateClipboardFormat() {
    return QStringLiteral("application/x-citavox");
}

void PutOnClipboard(const ClipboardText& text) {
    auto* mime = new QMimeData;
    if (text.stored) {
        mime->setData(PrivateClipboardFormat(), QByteArray::fromStdString(*text.stored));
    }
    mime->setText(FromUtf8(text.plain));
    if (text.rtf) {
        const QByteArray rtf = QByteArray::fromStdString(*text.rtf);
        // Word processors look for either name.
        mime->setData(QStringLiteral("text/rtf"), rtf);
        mime->setData(QStringLiteral("application/rtf"), rtf);
    }
    QGuiApplication::clipboard()->setMimeData(mime);
}

} // namespace cvx
