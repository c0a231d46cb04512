#include "refstore/widgets/ReferenceLinePainter.h"

#include "refstore/ListLine.h"
#include "text/MarkupRuns.h"
#include "text/widgets/QtText.h"

#include <QFontMetrics>
#include <QPainter>
#include <QPainterPath>

#include <algorithm>

namespace cvx {

namespace {

// Raised and lowered text is drawn at three quarters of the base size.
QFont RunFont(const QFont& base, const MarkupStyle& style) {
    QFont font = base;
    font.setBold(style.bold);
    font.setItalic(style.italic);
    font.setUnderline(style.underline);
    if (style.offset != 0) {
        if (base.pointSizeF() > 0) {
            font.setPointSizeF(base.pointSizeF() * 3 / 4);
        } else {
            font.setPixelSize(std::max(1, base.pixelSize() * 3 / 4));
        }
    }
    return font;
}

QColor RunColour(const MarkupStyle& style, const LinePalette& palette) {
    switch (style.colour) {
    case TextColour::GetHit:
        return palette.getHit;
    case TextColour::TagHit:
        return palette.tagHit;
    default:
        return palette.text;
    }
}

QPixmap Canvas(int size, qreal pixelRatio) {
    QPixmap pixmap(QSize(size, size) * pixelRatio);
    pixmap.setDevicePixelRatio(pixelRatio);
    pixmap.fill(Qt::transparent);
    return pixmap;
}

} // namespace

ReferenceLinePainter::ReferenceLinePainter(const QFont& base) : base_(base) {}

int ReferenceLinePainter::RowHeight() const {
    const QFontMetrics metrics(base_);
    return metrics.boundingRect(QStringLiteral("\u00D4j")).height() + metrics.leading() + 3;
}

int ReferenceLinePainter::NumberWidth(int digits) const {
    return QFontMetrics(base_).horizontalAdvance(QString(std::max(digits, 1), QLatin1Char('0')));
}

int ReferenceLinePainter::ImageSize() const {
    return std::max(8, QFontMetrics(base_).ascent());
}

int ReferenceLinePainter::Measure(std::string_view coded) const {
    int width = 0;
    for (const MarkupRun& run : ParseMarkup(coded, MarkupDialect::ListLine).runs) {
        width += QFontMetrics(RunFont(base_, run.style))
                     .horizontalAdvance(RunText(run.text, run.style.symbol));
    }
    return width;
}

int ReferenceLinePainter::DrawCoded(QPainter& painter, int x, int top, std::string_view coded,
                                    const LinePalette& palette) const {
    const QFontMetrics baseMetrics(base_);
    const int baseline = top + baseMetrics.ascent();
    for (const MarkupRun& run : ParseMarkup(coded, MarkupDialect::ListLine).runs) {
        const QFont font = RunFont(base_, run.style);
        const QString text = RunText(run.text, run.style.symbol);
        int y = baseline;
        if (run.style.offset > 0) {
            y -= baseMetrics.ascent() * 2 / 5;
        } else if (run.style.offset < 0) {
            y += baseMetrics.descent();
        }
        painter.setFont(font);
        painter.setPen(RunColour(run.style, palette));
        painter.drawText(x, y, text);
        x += QFontMetrics(font).horizontalAdvance(text);
    }
    painter.setFont(base_);
    return x;
}

void ReferenceLinePainter::DrawLine(QPainter& painter, const QRect& rect, int numberWidth,
                                    const LineContent& line, const LinePalette& palette) const {
    const int size = ImageSize();
    const qreal ratio = painter.device()->devicePixelRatioF();
    const int imageTop = rect.top() + (rect.height() - size) / 2;
    int x = rect.left() + 4;
    if (line.showTagBox) {
        painter.drawPixmap(x, imageTop, TagBoxImage(line.tagged, size, ratio));
        x += size + 4;
    }
    painter.drawPixmap(x, imageTop, StatusImage(line.status, size, ratio));
    x += size + 6;
    const QFontMetrics metrics(base_);
    const int textTop = rect.top() + (rect.height() - metrics.height()) / 2;
    painter.setFont(base_);
    painter.setPen(palette.muted);
    painter.drawText(QRect(x, textTop, numberWidth, metrics.height()),
                     Qt::AlignRight | Qt::AlignVCenter, line.number);
    x += numberWidth + 8;
    const int available = rect.right() - x - 2;
    const std::string fitted = FitListLine(ShownListText(line.text), available,
                                           [this](std::string_view t) { return Measure(t); });
    painter.save();
    painter.setClipRect(rect);
    DrawCoded(painter, x, textTop, fitted, palette);
    painter.restore();
}

QPixmap StatusImage(RefStatus status, int size, qreal pixelRatio) {
    QPixmap pixmap = Canvas(size, pixelRatio);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    const QRectF bullet(size * 0.15, size * 0.15, size * 0.7, size * 0.7);
    static const QColor kColours[] = {QColor(0x2E, 0x9E, 0x44), QColor(0xE8, 0xB4, 0x00),
                                      QColor(0xD0, 0x34, 0x2C), QColor(0x30, 0x30, 0x30)};
    const QColor colour = kColours[static_cast<int>(status)];
    if (status == RefStatus::Deleted) {
        // A deleted reference has an empty ring: nothing is there any more.
        p.setPen(QPen(colour, std::max(1.0, size / 8.0)));
        p.setBrush(Qt::NoBrush);
    } else {
        p.setPen(QPen(colour.darker(130), 1));
        p.setBrush(colour);
    }
    p.drawEllipse(bullet);
    return pixmap;
}

QPixmap TagBoxImage(bool tagged, int size, qreal pixelRatio) {
    QPixmap pixmap = Canvas(size, pixelRatio);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    const QRectF box(size * 0.1, size * 0.1, size * 0.8, size * 0.8);
    p.setPen(QPen(QColor(0x70, 0x70, 0x70), 1));
    p.setBrush(tagged ? QColor(0xD0, 0x20, 0x20) : QColor(Qt::white));
    p.drawRoundedRect(box, size * 0.12, size * 0.12);
    if (tagged) {
        QPainterPath check;
        check.moveTo(size * 0.25, size * 0.52);
        check.lineTo(size * 0.43, size * 0.7);
        check.lineTo(size * 0.76, size * 0.3);
        p.setPen(
            QPen(Qt::white, std::max(1.5, size / 7.0), Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
        p.setBrush(Qt::NoBrush);
        p.drawPath(check);
    }
    return pixmap;
}

} // namespace cvx
