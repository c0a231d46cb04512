#pragma once
// Draws the rows of a reference window's list with the list-line painter: tag box, status, number
// and the one-line text of each reference, the words of the last search marked in it.

#include "refstore/widgets/ReferenceLinePainter.h"
#include "search/HitMarks.h"

#include <QStyledItemDelegate>

namespace cvx {

class ReferenceLineDelegate : public QStyledItemDelegate {
    Q_OBJECT
public:
    explicit ReferenceLineDelegate(QObject* parent = nullptr);

    void SetFont(const QFont& font);
    // `showHits` is the setting; the words come from `hits` (the program's, which outlives the
    // delegate), none when it is null.
    void SetHitColours(bool showHits, const QColor& getHit, const QColor& tagHit);
    void SetSearchHits(const SearchHits* hits) { hits_ = hits; }
    // The widest reference number the list shows, for the width of the number column.
    void SetLargestNumber(int number);

    const ReferenceLinePainter& Painter() const { return painter_; }

    void paint(QPainter* painter, const QStyleOptionViewItem& option,
               const QModelIndex& index) const override;
    QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override;

private:
    ReferenceLinePainter painter_;
    const SearchHits* hits_ = nullptr;
    bool showHits_ = true;
    QColor getHit_;
    QColor tagHit_;
    int numberWidth_ = 0;
};

} // namespace cvx
