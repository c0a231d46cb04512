#include "shell/widgets/ReferenceListModel.h"

#include "refstore/ReferenceJobs.h"
#include "text/Cp1252.h"
#include "text/Markup.h"
#include "text/StringPrimitives.h"
#include "text/widgets/QtText.h"

#include <QMimeData>

namespace cvx {

namespace {

// The window a drag began in travels with the dragged texts, so that dropping on the same list
// does nothing.
const char* const kDragSourceProperty = "citavoxDragSource";

} // namespace

ReferenceListModel::ReferenceListModel(QObject* parent) : QAbstractListModel(parent) {}

void ReferenceListModel::Attach(TReferenceFile* file, const FormalCheck& check) {
    file_ = file;
    check_ = check;
    Reload();
}

void ReferenceListModel::Reload() {
    beginResetModel();
    frozenView_.reset();
    frozenTags_.reset();
    recent_.clear();
    cached_.clear();
    buffer_ = ReadBuffer();
    if (file_ != nullptr) {
        reader_ = file_->Reader();
        view_ = &file_->View();
        tagged_ = &file_->TaggedSet();
        rows_.Rebuild(*view_, *tagged_);
    } else {
        reader_.reset();
        view_ = nullptr;
        tagged_ = nullptr;
        rows_ = ListRows();
    }
    endResetModel();
}

void ReferenceListModel::TagsChanged() {
    if (rowCount() > 0) {
        emit dataChanged(index(0), index(rowCount() - 1), {TaggedRole});
    }
}

void ReferenceListModel::Freeze() {
    if (view_ == nullptr) {
        return;
    }
    frozenView_ = *view_;
    frozenTags_ = *tagged_;
    view_ = &*frozenView_;
    tagged_ = &*frozenTags_;
}

int ReferenceListModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() || view_ == nullptr ? 0 : rows_.Count();
}

int ReferenceListModel::AbsoluteOf(int row) const {
    if (view_ == nullptr || row < 0 || row >= rows_.Count()) {
        return -1;
    }
    return view_->DisplayToAbsolute(rows_.PositionOf(row));
}

int ReferenceListModel::LargestNumber() const {
    return reader_ ? reader_->Count() : 0;
}

const ReferenceListModel::Row& ReferenceListModel::RowData(int row) const {
    if (const auto hit = cached_.find(row); hit != cached_.end()) {
        recent_.splice(recent_.begin(), recent_, hit->second);
        return hit->second->second;
    }
    Row data;
    data.absolute = AbsoluteOf(row);
    if (!ReadListLine(*reader_, data.absolute, check_, data.line, &buffer_)) {
        // The text changed behind the map: the row stays empty until the window maps it anew.
        data.line = ListLine{};
    }
    recent_.emplace_front(row, std::move(data));
    cached_[row] = recent_.begin();
    if (recent_.size() > kCachedRows) {
        cached_.erase(recent_.back().first);
        recent_.pop_back();
    }
    return recent_.front().second;
}

QVariant ReferenceListModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || index.row() >= rowCount()) {
        return {};
    }
    const Row& row = RowData(index.row());
    switch (role) {
    case Qt::DisplayRole:
    case Qt::AccessibleTextRole:
        return FromCp1252(CodesToPlainText(ReplaceAll(row.line.text, "!T!T!T", "")));
    case LineRole:
        return QByteArray::fromStdString(row.line.text);
    case StatusRole:
        return static_cast<int>(row.line.status);
    case TaggedRole:
        return tagged_->Test(row.absolute);
    case NumberRole:
        return row.absolute + 1;
    default:
        return {};
    }
}

Qt::ItemFlags ReferenceListModel::flags(const QModelIndex& index) const {
    return QAbstractListModel::flags(index) | Qt::ItemIsDragEnabled;
}

QString ReferenceListModel::DragMimeType() {
    return QStringLiteral("application/x-citavox-references");
}

QStringList ReferenceListModel::mimeTypes() const {
    return {DragMimeType()};
}

QMimeData* ReferenceListModel::mimeData(const QModelIndexList& indexes) const {
    std::string texts;
    std::string bytes;
    for (const QModelIndex& index : indexes) {
        const int absolute = AbsoluteOf(index.row());
        if (absolute >= 0 && reader_->ReadRaw(absolute, bytes, &buffer_)) {
            texts += TrimRightBlanks(bytes) + "\r\n\r\n";
        }
    }
    auto* mime = new QMimeData;
    mime->setData(DragMimeType(), QByteArray::fromStdString(texts));
    mime->setProperty(kDragSourceProperty, QVariant::fromValue(QObject::parent()));
    return mime;
}

const QObject* ReferenceListModel::DragSource(const QMimeData* mime) {
    return mime->property(kDragSourceProperty).value<QObject*>();
}

} // namespace cvx
