#include "refstore/DisplaySorter.h"

#include "refstore/Companions.h"
#include "refstore/OrderFile.h"
#include "refstore/ReferenceReader.h"
#include "refstore/SortTable.h"
#include "storage/WriteLock.h"
#include "text/Catalogue.h"
#include "text/FileNames.h"

namespace cvx {

namespace {

// The status shown while order k is sorted.
MsgId SortingStatus(int order) {
    return order == 0 ? MsgId(msg::SortDisplay::StartedSorting)
                      : msg::SortDisplay::SortingByAuthor + order;
}

// The suspected duplicates of a sorted sequence, by absolute index.
RefSet DuplicatesOf(const SortTable& table, const std::vector<std::int32_t>& sorted,
                    DuplicateTest test) {
    RefSet duplicates(table.Size());
    for (std::size_t k = 1; k < sorted.size(); ++k) {
        if (table.Duplicate(sorted[k - 1], sorted[k], test)) {
            duplicates.Set(table[sorted[k]].record.index);
        }
    }
    return duplicates;
}

} // namespace

DisplaySortReport SortDisplayOrders(FileSystem& fs,
                                    const std::shared_ptr<const ReferenceReader>& reader,
                                    const DisplaySortOptions& options, Progress& progress) {
    DisplaySortReport report;
    report.references = reader->Count();
    report.duplicates = RefSet(reader->Count());
    progress.SetStatus(Message(msg::ZerOrev::ReadingReferences));
    SortTable table;
    if (Outcome r = table.ReadAll(*reader, options.journals, options.collation, &progress, {});
        !r) {
        report.outcome = r;
        return report;
    }
    progress.SetProgress(0);
    std::vector<std::vector<std::int32_t>> orders(kStoredOrders);
    for (int k = 0; k < kStoredOrders; ++k) {
        progress.SetStatus(Message(SortingStatus(k)));
        const ProgressSpan span{k * Progress::kMaximum / kStoredOrders,
                                (k + 1) * Progress::kMaximum / kStoredOrders};
        if (!table.Sort(static_cast<DisplayOrder>(k), &progress, span, orders[k], true)) {
            report.outcome = Outcome::Aborted(Message(msg::SortDisplay::DisplaySortingAborted));
            return report;
        }
        if (k == 0) {
            report.duplicates = DuplicatesOf(table, orders[0], options.duplicates);
        }
    }
    if (reader->Count() == 0) {
        return report; // nothing to order: an empty file never has a valid order file
    }
    // Held from the check to the saving, so the orders are never stored beside a text that
    // another writer put in the place of the sorted one meanwhile; they are stored beside the
    // file that a symbolic link stands for, where its other companions are.
    const std::string path = fs.ResolveLinks(reader->FileName());
    WriteLock lock;
    if (report.outcome = lock.Acquire(fs, path, reader->FileName(), &progress); !report.outcome) {
        return report;
    }
    if (!ReaderIsCurrent(fs, *reader)) {
        report.outcome = Outcome::Error(
            Msg(msg::Citavox::FileChangedDuringJob, DisplayPath(reader->FileName())));
        return report;
    }
    report.outcome = SaveOrders(fs, CompanionPath(fs, path, kOrderExt), orders);
    return report;
}

TSortDisplay::TSortDisplay(FileSystem& fs, std::shared_ptr<const ReferenceReader> reader,
                           DisplaySortOptions options, Progress& progress)
    : JobThread<DisplaySortReport>(
          [&fs, reader = std::move(reader), options](Progress& p) {
              return SortDisplayOrders(fs, reader, options, p);
          },
          progress) {}

} // namespace cvx
