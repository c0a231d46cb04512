#include "filetools/FileSorter.h"

#include "filetools/ReferenceBlocks.h"
#include "refstore/ReferenceJobs.h"
#include "refstore/ReferenceReader.h"
#include "refstore/ReferenceTarget.h"
#include "refstore/SortTable.h"
#include "storage/FileRewrite.h"
#include "storage/FileSystem.h"
#include "text/Catalogue.h"
#include "text/FileNames.h"
#include "text/Progress.h"

namespace cvx {

namespace {

// The extension the backup before the last one takes when a file is sorted in place.
constexpr std::string_view kOlderBackupExt = "~ba";

RunGate gSortGate;

// The output sequence: positions into the table, with the flag that marks a kept duplicate.
struct OutputEntry {
    std::int32_t position = 0;
    bool marked = false;
};

// Sorts the table and applies the duplicate rule; false when aborted. The file's own order is
// searched for duplicates in the author order and then put back into file order.
bool SortedSequence(const SortTable& table, const SortRequest& request, DuplicateTest test,
                    Progress& progress, std::vector<OutputEntry>& output, int& duplicates) {
    const bool original = request.order == DisplayOrder::Original;
    std::vector<std::int32_t> sorted;
    if (!table.Sort(original ? DisplayOrder::AuthorYear : request.order, &progress, {}, sorted)) {
        return false;
    }
    output.clear();
    duplicates = 0;
    for (std::size_t k = 0; k < sorted.size(); ++k) {
        const bool duplicate = k > 0 && table.Duplicate(sorted[k - 1], sorted[k], test);
        duplicates += duplicate ? 1 : 0;
        if (!duplicate || request.keepDuplicates) {
            output.push_back({sorted[k], duplicate});
        }
    }
    if (original) {
        std::sort(output.begin(), output.end(), [](const OutputEntry& a, const OutputEntry& b) {
            return a.position < b.position;
        });
    }
    return true;
}

// Keeps the backup that a sort in place is about to replace as "~ba" (an older "~ba" goes; when
// the backup cannot be renamed it goes too, as the rewrite replaces it anyway).
void KeepOlderBackup(FileSystem& fs, const std::string& path) {
    const std::string backup = ChangeExt(path, kBackupExt);
    if (!fs.Stat(backup).exists) {
        return;
    }
    const std::string older = ChangeExt(path, kOlderBackupExt);
    (void)fs.Remove(older);
    if (!fs.Rename(backup, older)) {
        (void)fs.Remove(backup);
    }
}

// Writes the output sequence; the references are read again one at a time.
Outcome WriteSorted(FileSystem& fs, const ReferenceReader& reader, const SortTable& table,
                    const std::vector<OutputEntry>& output, bool inPlace, Progress& progress,
                    const ReferenceTarget::Sink& out, SortReport& report) {
    progress.SetStatus(Message(msg::ZerOrev::WritingReferences));
    progress.SetProgress(0);
    ReadBuffer buffer;
    std::string bytes;
    for (std::size_t k = 0; k < output.size(); ++k) {
        if (progress.AbortRequested()) {
            return Outcome::Aborted(Message(msg::VoxSort::SortingAborted));
        }
        const SortTable::Row& row = table[output[k].position];
        if (row.deleted) {
            continue;
        }
        if (Outcome r = reader.ReadRaw(row.record.index, bytes, &buffer); !r) {
            return r;
        }
        const std::string block =
            row.ruined ? StoredBlock(bytes) : SortedBlock(bytes, output[k].marked);
        if (Outcome r = out(block); !r) {
            return r;
        }
        ++report.written;
        if (k % 256 == 0) {
            progress.SetProgress(Permille(k, output.size()));
        }
    }
    // The source must still be the text that was sorted: a sort in place would otherwise drop
    // what another program (one that does not wait for the hold) wrote to it meanwhile.
    if (!ReaderIsCurrent(fs, reader)) {
        return Outcome::Error(
            Msg(msg::Citavox::FileChangedDuringJob, DisplayPath(reader.FileName())));
    }
    if (inPlace) {
        KeepOlderBackup(fs, reader.FileName());
    }
    progress.SetProgress(Progress::kMaximum);
    return Outcome::Ok();
}

} // namespace

SortReport SortReferenceFile(FileSystem& fs, const SortRequest& request, const SortOptions& options,
                             Progress& progress) {
    SortReport report;
    // The destination is held from before the source is read: sorting in place, no other writer
    // can change the text between the reading and the rewrite.
    ReferenceTarget target(fs);
    if (report.outcome = target.Begin(request.destination, false, &progress); !report.outcome) {
        return report;
    }
    report.inPlace = fs.SameFile(request.source, request.destination);
    std::shared_ptr<const ReferenceReader> reader;
    if (report.outcome = OpenReferenceText(fs, request.source, &progress, reader,
                                           report.inPlace ? target.Held() : nullptr);
        !report.outcome) {
        return report;
    }
    report.references = reader->Count();
    report.deleted = reader->DeletedCount();
    if (reader->Count() == reader->DeletedCount()) {
        report.outcome =
            Outcome::Error(Msg(msg::VoxSort::EmptyFileNotSorted, DisplayPath(request.source)));
        return report;
    }

    progress.SetStatus(Message(msg::ZerOrev::ReadingReferences));
    SortTable table;
    if (report.outcome = table.ReadAll(*reader, options.journals, options.collation, &progress, {});
        !report.outcome) {
        return report;
    }
    for (int i = 0; i < table.Size(); ++i) {
        if (table[i].ruined) {
            report.unparsed.push_back(i + 1);
        }
    }
    progress.SetStatus(Message(msg::ZerOrev::SortingReferences));
    progress.SetProgress(0);
    std::vector<OutputEntry> output;
    if (!SortedSequence(table, request, options.duplicates, progress, output, report.duplicates)) {
        report.outcome = Outcome::Aborted(Message(msg::VoxSort::SortingAborted));
        return report;
    }
    report.outcome = target.Write([&](const ReferenceTarget::Sink& out) {
        return WriteSorted(fs, *reader, table, output, report.inPlace, progress, out, report);
    });
    if (!report.outcome) {
        report.written = 0;
    }
    return report;
}

TVoxSort::TVoxSort(FileSystem& fs, SortRequest request, SortOptions options, Progress& progress)
    : JobThread<SortReport>([&fs, request = std::move(request), options](
                                Progress& p) { return SortReferenceFile(fs, request, options, p); },
                            progress, &gSortGate, Message(msg::Threads::Sorting)) {}

} // namespace cvx
