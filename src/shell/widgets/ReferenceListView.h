#pragma once
// SingleLineDisplay, the list of a reference window: a virtual list with several rows selectable,
// where Space and a click on the tag box toggle a tag, a double click acts on the reference, and
// rows are dragged to another window's list to append them to its file.

#include <QByteArray>
#include <QListView>

namespace cvx {

class ReferenceListView : public QListView {
    Q_OBJECT
public:
    explicit ReferenceListView(QWidget* parent = nullptr);

    // Type-ahead is not a search through the rows: with a million rows that would read them all.
    void keyboardSearch(const QString& search) override;

    // A page of rows up or down, moving the current row with it.
    void ScrollPage(bool up);

signals:
    void TagToggleRequested(int row);
    // A key of the type-ahead author search: printable text, or Backspace, Escape, Return.
    void AuthorSearchKey(int key, const QString& text);
    void RowActivated(int row);
    // Reference texts dropped from another window's list.
    void ReferencesDropped(const QByteArray& texts);

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dragMoveEvent(QDragMoveEvent* event) override;
    void dropEvent(QDropEvent* event) override;

private:
    bool AcceptsDrop(const QMimeData* mime) const;
};

} // namespace cvx
