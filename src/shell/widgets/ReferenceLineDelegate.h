#pragma once
// Draws the rows of a reference window's list with the list-line painter: tag box, status, number
// and the one-line text of each reference.

#include "refstore/widgets/ReferenceLinePainter.h"

#include <QStyledItemDelegate>

namespace cvx {

class ReferenceLineDelegate : public QStyledItemDelegate {
    Q_OBJECT
public:
    explicit ReferenceLineDelegate(QObject* parent = nullptr);

    void SetFont(const QFont& font);
    void SetHitColours(const QColor& getHit, const QColor& tagHit);
    // The widest reference number the list shows, for the width of the number column.
    void SetLargestNumber(int number);

    const ReferenceLinePainter& Painter() const { return painter_; }

    void paint(QPainter* painter, const QStyleOptionViewItem& option,
               const QModelIndex& index) const override;
    QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override;

private:
    ReferenceLinePainter painter_;
    QColor getHit_;
    QColor tagHit_;
    int numberWidth_ = 0;
};

} // namespace cvx
