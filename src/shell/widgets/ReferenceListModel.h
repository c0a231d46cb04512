#pragma once
// The list of a reference window as a model: one row per list row of the file (ListRows), the
// data of a row read on demand when the view shows it, and no object per reference, so that a
// file of a million references opens as fast as one of ten.

#include "refstore/ListLine.h"
#include "refstore/ListRows.h"
#include "refstore/RefArrData.h"
#include "refstore/ReferenceFile.h"

#include <QAbstractListModel>

#include <list>
#include <memory>
#include <optional>
#include <unordered_map>

namespace cvx {

class ReferenceListModel : public QAbstractListModel {
    Q_OBJECT
public:
    enum Role {
        LineRole = Qt::UserRole + 1, // QByteArray: the one-line text, code page 1252 with codes
        StatusRole,                  // int: RefStatus
        TaggedRole,                  // bool
        NumberRole,                  // int: the reference's number in the file, from 1
    };

    explicit ReferenceListModel(QObject* parent = nullptr);

    // Shows the rows of `file`, reading with `check` (the formal check of the list's status).
    void Attach(TReferenceFile* file, const FormalCheck& check);
    // After a change of the file's text, order, mode or tags: the rows are taken anew.
    void Reload();
    // After tags changed outside tagged-only mode: the rows stay, their tag marks are drawn anew.
    void TagsChanged();
    // While a background operation uses the file, the list reads from a copy of what it needs;
    // Attach or Reload end that.
    void Freeze();

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;
    QStringList mimeTypes() const override;
    QMimeData* mimeData(const QModelIndexList& indexes) const override;

    const ListRows& Rows() const { return rows_; }
    // The absolute index of the reference in a row; -1 outside the rows.
    int AbsoluteOf(int row) const;
    // The largest reference number, for the width of the number column.
    int LargestNumber() const;

    // The MIME type of rows dragged out of a list: the references' texts, each followed by an empty
    // line, which is the layout of a reference file.
    static QString DragMimeType();
    // The object that owns the model a drag came from (its reference window), so that a drop on
    // the same list does nothing.
    static const QObject* DragSource(const QMimeData* mime);

private:
    struct Row {
        ListLine line;
        int absolute = -1;
    };
    const Row& RowData(int row) const;

    TReferenceFile* file_ = nullptr;
    FormalCheck check_;
    // What the rows are read from: the file's own, or the frozen copies.
    std::shared_ptr<const ReferenceReader> reader_;
    const ReferenceView* view_ = nullptr;
    const RefSet* tagged_ = nullptr;
    std::optional<ReferenceView> frozenView_;
    std::optional<RefSet> frozenTags_;
    ListRows rows_;

    // The rows read last, most recent first; a view asks for a row's data role by role.
    static constexpr std::size_t kCachedRows = 512;
    mutable std::list<std::pair<int, Row>> recent_;
    mutable std::unordered_map<int, std::list<std::pair<int, Row>>::iterator> cached_;
    mutable ReadBuffer buffer_;
};

} // namespace cvx
