#include "shell/widgets/ReferenceListView.h"

#include "refstore/widgets/ReferenceLinePainter.h"
#include "shell/widgets/ReferenceListModel.h"

#include <QDragEnterEvent>
#include <QKeyEvent>
#include <QMimeData>
#include <QMouseEvent>
#include <QScrollBar>

namespace cvx {

ReferenceListView::ReferenceListView(QWidget* parent) : QListView(parent) {
    setUniformItemSizes(true);
    setSelectionMode(QAbstractItemView::ExtendedSelection);
    setDragEnabled(true);
    setAcceptDrops(true);
    setDropIndicatorShown(false);
    setDragDropMode(QAbstractItemView::DragDrop);
    setDefaultDropAction(Qt::CopyAction);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
}

void ReferenceListView::keyboardSearch(const QString& /*search*/) {}

void ReferenceListView::ScrollPage(bool up) {
    const QModelIndex current = currentIndex();
    const int perPage = std::max(1, viewport()->height() / std::max(1, sizeHintForRow(0)));
    const int row = std::clamp((current.isValid() ? current.row() : 0) + (up ? -perPage : perPage),
                               0, std::max(0, model()->rowCount() - 1));
    verticalScrollBar()->setValue(verticalScrollBar()->value() + (up ? -perPage : perPage));
    setCurrentIndex(model()->index(row, 0));
}

void ReferenceListView::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Space && event->modifiers() == Qt::NoModifier) {
        if (currentIndex().isValid()) {
            emit TagToggleRequested(currentIndex().row());
        }
        event->accept();
        return;
    }
    const bool plain = (event->modifiers() & (Qt::ControlModifier | Qt::AltModifier)) == 0;
    const int key = event->key();
    if (plain &&
        (key == Qt::Key_Return || key == Qt::Key_Enter || key == Qt::Key_Backspace ||
         key == Qt::Key_Escape || (!event->text().isEmpty() && event->text().at(0).isPrint()))) {
        emit AuthorSearchKey(key == Qt::Key_Enter ? Qt::Key_Return : key, event->text());
        event->accept();
        return;
    }
    QListView::keyPressEvent(event);
}

void ReferenceListView::mousePressEvent(QMouseEvent* event) {
    QListView::mousePressEvent(event);
    const QModelIndex index = indexAt(event->position().toPoint());
    if (event->button() == Qt::LeftButton && index.isValid() &&
        event->position().x() < ReferenceLinePainter::kTagBoxZone) {
        emit TagToggleRequested(index.row());
    }
}

void ReferenceListView::mouseDoubleClickEvent(QMouseEvent* event) {
    const QModelIndex index = indexAt(event->position().toPoint());
    if (index.isValid() && event->position().x() >= ReferenceLinePainter::kTagBoxZone) {
        emit RowActivated(index.row());
        return;
    }
    QListView::mouseDoubleClickEvent(event);
}

bool ReferenceListView::AcceptsDrop(const QMimeData* mime) const {
    return mime->hasFormat(ReferenceListModel::DragMimeType()) &&
           ReferenceListModel::DragSource(mime) != model()->parent();
}

void ReferenceListView::dragEnterEvent(QDragEnterEvent* event) {
    if (AcceptsDrop(event->mimeData())) {
        event->setDropAction(Qt::CopyAction);
        event->accept();
    } else {
        event->ignore();
    }
}

void ReferenceListView::dragMoveEvent(QDragMoveEvent* event) {
    if (AcceptsDrop(event->mimeData())) {
        event->setDropAction(Qt::CopyAction);
        event->accept();
    } else {
        event->ignore();
    }
}

void ReferenceListView::dropEvent(QDropEvent* event) {
    if (!AcceptsDrop(event->mimeData())) {
        event->ignore();
        return;
    }
    event->setDropAction(Qt::CopyAction);
    event->accept();
    emit ReferencesDropped(event->mimeData()->data(ReferenceListModel::DragMimeType()));
}

} // namespace cvx
