#include "shell/widgets/ReferenceLineDelegate.h"

#include "shell/widgets/ReferenceListModel.h"

#include <QApplication>
#include <QPainter>

namespace cvx {

ReferenceLineDelegate::ReferenceLineDelegate(QObject* parent)
    : QStyledItemDelegate(parent), painter_(QApplication::font()) {}

void ReferenceLineDelegate::SetFont(const QFont& font) {
    painter_ = ReferenceLinePainter(font);
}

void ReferenceLineDelegate::SetHitColours(bool showHits, const QColor& getHit,
                                          const QColor& tagHit) {
    showHits_ = showHits;
    getHit_ = getHit;
    tagHit_ = tagHit;
}

void ReferenceLineDelegate::SetLargestNumber(int number) {
    numberWidth_ = painter_.NumberWidth(static_cast<int>(QString::number(number).size()));
}

void ReferenceLineDelegate::paint(QPainter* painter, const QStyleOptionViewItem& option,
                                  const QModelIndex& index) const {
    QStyleOptionViewItem item = option;
    initStyleOption(&item, index);
    // The theme draws the row's background, selection and focus; the line draws itself on it.
    item.text.clear();
    const QWidget* widget = option.widget;
    QStyle* style = widget != nullptr ? widget->style() : QApplication::style();
    style->drawControl(QStyle::CE_ItemViewItem, &item, painter, widget);

    const bool selected = (option.state & QStyle::State_Selected) != 0;
    const QPalette::ColorGroup group =
        (option.state & QStyle::State_Enabled) != 0 ? QPalette::Active : QPalette::Disabled;
    LinePalette colours;
    colours.text =
        option.palette.color(group, selected ? QPalette::HighlightedText : QPalette::Text);
    colours.muted = colours.text;
    colours.muted.setAlphaF(0.6F);
    colours.getHit = selected ? colours.text : getHit_;
    colours.tagHit = selected ? colours.text : tagHit_;

    LineContent line;
    line.tagged = index.data(ReferenceListModel::TaggedRole).toBool();
    line.status = static_cast<RefStatus>(index.data(ReferenceListModel::StatusRole).toInt());
    line.number = QString::number(index.data(ReferenceListModel::NumberRole).toInt());
    line.text = index.data(ReferenceListModel::LineRole).toByteArray().toStdString();
    if (showHits_ && hits_ != nullptr) {
        line.text = MarkHits(line.text, *hits_);
    }
    painter->save();
    painter_.DrawLine(*painter, option.rect, numberWidth_, line, colours);
    painter->restore();
}

QSize ReferenceLineDelegate::sizeHint(const QStyleOptionViewItem& option,
                                      const QModelIndex& /*index*/) const {
    return {option.rect.width(), painter_.RowHeight()};
}

} // namespace cvx
