#include "shell/widgets/Icons.h"

#include <QApplication>
#include <QIconEngine>
#include <QPainter>
#include <QPainterPath>
#include <QPalette>
#include <QPixmap>

#include <algorithm>

namespace cvx {

namespace {

const QColor kTagRed(0xD0, 0x20, 0x20);

// Draws the icon of `kind` into the unit square (0..1 in both directions).
void DrawShape(QPainter& p, IconKind kind, const QColor& ink, double side) {
    const QPen pen(ink, 0.07, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin);
    p.setPen(pen);
    p.setBrush(Qt::NoBrush);
    auto lines = [&](double left, double right, double top, double step, int count) {
        for (int i = 0; i < count; ++i) {
            p.drawLine(QPointF(left, top + i * step), QPointF(right, top + i * step));
        }
    };
    auto arrow = [&](bool forward, double centre) {
        QPainterPath path;
        const double tip = forward ? centre + 0.22 : centre - 0.22;
        const double back = forward ? centre - 0.18 : centre + 0.18;
        path.moveTo(back, 0.22);
        path.lineTo(tip, 0.5);
        path.lineTo(back, 0.78);
        path.closeSubpath();
        p.setBrush(ink);
        p.drawPath(path);
        p.setBrush(Qt::NoBrush);
    };
    auto tag = [&](double x, double y) {
        p.setPen(Qt::NoPen);
        p.setBrush(kTagRed);
        p.drawRoundedRect(QRectF(x, y, 0.26, 0.26), 0.05, 0.05);
        p.setPen(pen);
        p.setBrush(Qt::NoBrush);
    };
    auto letter = [&](const QString& text) {
        p.drawRoundedRect(QRectF(0.14, 0.1, 0.72, 0.8), 0.08, 0.08);
        // Text is laid out in pixels: the unit square is scaled back for it.
        QFont font = QApplication::font();
        font.setBold(true);
        font.setPixelSize(std::max(1, static_cast<int>(side * 0.48)));
        p.save();
        p.scale(1 / side, 1 / side);
        p.setFont(font);
        p.drawText(QRectF(0, 0, side, side), Qt::AlignCenter, text);
        p.restore();
    };
    switch (kind) {
    case IconKind::Application: {
        p.setPen(QPen(QColor(0x1F, 0x4E, 0x8C), 0.05));
        p.setBrush(QColor(0x2F, 0x6F, 0xB8));
        p.drawRoundedRect(QRectF(0.08, 0.06, 0.84, 0.88), 0.12, 0.12);
        p.setPen(QPen(Qt::white, 0.06, Qt::SolidLine, Qt::RoundCap));
        for (int i = 0; i < 4; ++i) {
            p.drawLine(QPointF(0.24, 0.3 + i * 0.14),
                       QPointF(i == 3 ? 0.56 : 0.76, 0.3 + i * 0.14));
        }
        p.setPen(Qt::NoPen);
        p.setBrush(kTagRed);
        p.drawEllipse(QPointF(0.74, 0.74), 0.11, 0.11);
        break;
    }
    case IconKind::OpenFile:
    case IconKind::Browse: {
        QPainterPath folder;
        folder.moveTo(0.08, 0.25);
        folder.lineTo(0.4, 0.25);
        folder.lineTo(0.48, 0.35);
        folder.lineTo(0.92, 0.35);
        folder.lineTo(0.92, 0.82);
        folder.lineTo(0.08, 0.82);
        folder.closeSubpath();
        p.setBrush(QColor(0xF0, 0xC8, 0x60));
        p.drawPath(folder);
        break;
    }
    case IconKind::ViewCombined:
        p.drawRect(QRectF(0.1, 0.15, 0.8, 0.7));
        p.drawLine(QPointF(0.42, 0.15), QPointF(0.42, 0.85));
        lines(0.5, 0.82, 0.3, 0.13, 4);
        break;
    case IconKind::ViewSingle:
        p.drawRect(QRectF(0.2, 0.1, 0.6, 0.8));
        lines(0.3, 0.7, 0.28, 0.14, 4);
        break;
    case IconKind::ViewList:
        lines(0.12, 0.88, 0.2, 0.15, 5);
        break;
    case IconKind::TaggedOnly:
        lines(0.45, 0.9, 0.25, 0.25, 3);
        tag(0.1, 0.12);
        tag(0.1, 0.62);
        break;
    case IconKind::SortDisplay:
        // Lines growing longer downwards beside a downward arrow.
        for (int i = 0; i < 4; ++i) {
            p.drawLine(QPointF(0.1, 0.2 + i * 0.2), QPointF(0.3 + i * 0.1, 0.2 + i * 0.2));
        }
        p.drawLine(QPointF(0.75, 0.15), QPointF(0.75, 0.85));
        p.drawLine(QPointF(0.6, 0.68), QPointF(0.75, 0.85));
        p.drawLine(QPointF(0.9, 0.68), QPointF(0.75, 0.85));
        break;
    case IconKind::Previous:
        arrow(false, 0.5);
        break;
    case IconKind::Next:
        arrow(true, 0.5);
        break;
    case IconKind::PreviousTagged:
        arrow(false, 0.58);
        tag(0.06, 0.06);
        break;
    case IconKind::NextTagged:
        arrow(true, 0.42);
        tag(0.68, 0.06);
        break;
    case IconKind::PseudoCitation:
        letter(QStringLiteral("{{"));
        break;
    case IconKind::LongFormat:
        letter(QStringLiteral("L"));
        break;
    case IconKind::ShortFormat:
        letter(QStringLiteral("S"));
        break;
    case IconKind::Remove:
        p.drawLine(QPointF(0.25, 0.25), QPointF(0.75, 0.75));
        p.drawLine(QPointF(0.75, 0.25), QPointF(0.25, 0.75));
        break;
    case IconKind::Tag: {
        // A luggage tag: a pointed label with its hole.
        QPainterPath label;
        label.moveTo(0.1, 0.5);
        label.lineTo(0.35, 0.2);
        label.lineTo(0.9, 0.2);
        label.lineTo(0.9, 0.8);
        label.lineTo(0.35, 0.8);
        label.closeSubpath();
        p.setBrush(kTagRed);
        p.drawPath(label);
        p.setBrush(QApplication::palette().color(QPalette::Base));
        p.drawEllipse(QPointF(0.36, 0.5), 0.07, 0.07);
        p.setBrush(Qt::NoBrush);
        break;
    }
    case IconKind::Find:
    case IconKind::Locate:
        if (kind == IconKind::Locate) {
            lines(0.08, 0.4, 0.2, 0.2, 4);
        }
        p.drawEllipse(QPointF(0.58, 0.42), 0.24, 0.24);
        p.drawLine(QPointF(0.4, 0.6), QPointF(0.14, 0.88));
        break;
    case IconKind::Restore: {
        p.drawArc(QRectF(0.2, 0.25, 0.6, 0.55), 90 * 16, -250 * 16);
        QPainterPath head;
        head.moveTo(0.5, 0.12);
        head.lineTo(0.36, 0.25);
        head.lineTo(0.5, 0.38);
        p.drawPath(head);
        break;
    }
    }
}

// An icon that paints its shape at the size and pixel ratio asked for.
class ShapeIconEngine : public QIconEngine {
public:
    explicit ShapeIconEngine(IconKind kind) : kind_(kind) {}

    void paint(QPainter* painter, const QRect& rect, QIcon::Mode mode,
               QIcon::State /*state*/) override {
        const QPalette palette = QApplication::palette();
        QColor ink = palette.color(QPalette::Active, QPalette::WindowText);
        if (mode == QIcon::Disabled) {
            ink = palette.color(QPalette::Disabled, QPalette::WindowText);
            painter->setOpacity(0.45);
        }
        painter->save();
        painter->setRenderHint(QPainter::Antialiasing);
        painter->translate(rect.topLeft());
        const double side = std::min(rect.width(), rect.height());
        painter->scale(side, side);
        DrawShape(*painter, kind_, ink, side);
        painter->restore();
        painter->setOpacity(1.0);
    }

    QPixmap pixmap(const QSize& size, QIcon::Mode mode, QIcon::State state) override {
        return scaledPixmap(size, mode, state, 1.0);
    }

    QPixmap scaledPixmap(const QSize& size, QIcon::Mode mode, QIcon::State state,
                         qreal scale) override {
        QPixmap pixmap(size * scale);
        pixmap.setDevicePixelRatio(scale);
        pixmap.fill(Qt::transparent);
        QPainter painter(&pixmap);
        paint(&painter, QRect(QPoint(0, 0), size), mode, state);
        return pixmap;
    }

    QIconEngine* clone() const override { return new ShapeIconEngine(kind_); }

private:
    IconKind kind_;
};

} // namespace

QIcon ProgramIcon(IconKind kind) {
    return QIcon(new ShapeIconEngine(kind));
}

} // namespace cvx
