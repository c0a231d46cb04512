#include "output/ReferenceList.h"

#include "output/OutputFile.h"
#include "refstore/ReferenceReader.h"
#include "refstore/SortTable.h"
#include "storage/FileRewrite.h"
#include "text/Catalogue.h"
#include "text/FileNames.h"
#include "text/Progress.h"
#include "text/StringPrimitives.h"

#include <numeric>

namespace cvx {

namespace {

RunGate gListGate;

// The absolute indices of the references in the scope, in file order.
Outcome ScopeOf(const ListRequest& request, std::vector<int>& indices) {
    const ReferenceReader& reader = *request.references;
    indices.clear();
    if (request.tagged) {
        for (int i = 0; i < reader.Count(); ++i) {
            if (request.tagged->Test(i)) {
                indices.push_back(i);
            }
        }
    } else if (request.which >= 0) {
        if (request.which >= reader.Count()) {
            return Outcome::Error(
                Msg(msg::FileOpen::ReferenceBeyondEnd, std::to_string(request.which + 1),
                    DisplayPath(reader.FileName()), std::to_string(reader.Count())));
        }
        indices.push_back(request.which);
    } else {
        indices.resize(static_cast<std::size_t>(reader.Count()));
        std::iota(indices.begin(), indices.end(), 0);
    }
    return Outcome::Ok();
}

// The positions to list: without `keep`, one of each run of suspected duplicates (each compared
// with the first of its run) survives, the one with the longest block, the earlier on a tie.
std::vector<std::int32_t> WithoutDuplicates(const SortTable& table,
                                            const std::vector<std::int32_t>& sorted, bool keep,
                                            int& duplicates) {
    duplicates = 0;
    std::vector<std::int32_t> kept;
    kept.reserve(sorted.size());
    for (std::size_t k = 0; k < sorted.size();) {
        const std::int32_t leader = sorted[k];
        std::int32_t best = leader;
        std::size_t next = k + 1;
        while (next < sorted.size() &&
               table.Duplicate(leader, sorted[next], DuplicateTest::SourceAndAuthors)) {
            ++duplicates;
            if (table[sorted[next]].record.length > table[best].record.length) {
                best = sorted[next];
            }
            ++next;
        }
        if (keep) {
            kept.insert(kept.end(), sorted.begin() + static_cast<std::ptrdiff_t>(k),
                        sorted.begin() + static_cast<std::ptrdiff_t>(next));
        } else {
            kept.push_back(best);
        }
        k = next;
    }
    return kept;
}

// The abstract/comment part of an entry: trimmed, its line breaks as "#L".
std::string AbstractOf(const TRefArrData& record) {
    const std::string comments = TrimBlanks(record[FieldIndex::Comments]);
    return ReplaceAll(ReplaceAll(comments, "\r\n ", "#L"), "\r\n", "#L");
}

// Renders and writes the entries; the references are read again one at a time.
Outcome WriteEntries(const ListRequest& request, const TFormatDesc& format,
                     const ListOptions& options, const SortTable& table,
                     const std::vector<std::int32_t>& positions, Progress& progress,
                     WritableFile& out, ListReport& report) {
    const std::unique_ptr<ListWriter> writer = MakeListWriter(request.kind);
    const bool numbered = request.numbered || (format.record.refListSortOrder >= 2 &&
                                               format.record.refListSortOrder <= 4);
    RenderOptions render = options.render;
    render.latex = request.kind == ListOutput::Latex;
    if (Outcome r = writer->Begin(out); !r) {
        return r;
    }
    ReadBuffer buffer;
    std::string bytes;
    ListEntry entry;
    for (std::size_t k = 0; k < positions.size(); ++k) {
        if (progress.AbortRequested()) {
            return Outcome::Aborted();
        }
        const SortTable::Row& row = table[positions[k]];
        if (row.deleted) {
            continue;
        }
        if (Outcome r = request.references->ReadRaw(row.record.index, bytes, &buffer); !r) {
            return r;
        }
        const TRefArrData record = ParseReference(bytes, false).data;
        ++report.entries;
        entry.label = numbered ? NumberLabel(format, format.record.numberingStyle, report.entries)
                               : std::string();
        RenderReference(format, true, record, entry.text, render);
        entry.abstractPart = request.includeAbstract ? AbstractOf(record) : std::string();
        if (Outcome r = writer->Write(out, entry); !r) {
            return r;
        }
        if (k % 128 == 0) {
            progress.SetProgress(Permille(k, positions.size()));
        }
    }
    progress.SetProgress(Progress::kMaximum);
    return writer->End(out);
}

} // namespace

ListReport MakeReferenceList(FileSystem& fs, const ListRequest& request, const TFormatDesc& format,
                             const ListOptions& options, Progress& progress) {
    ListReport report;
    std::vector<int> indices;
    if (report.outcome = CheckOutputFile(fs, request.output, *request.references);
        !report.outcome) {
        return report;
    }
    if (report.outcome = ScopeOf(request, indices); !report.outcome) {
        return report;
    }
    progress.SetStatus(Message(msg::ZerOrev::ReadingReferences));
    SortTable table;
    if (report.outcome = table.Read(*request.references, indices, options.render.journals,
                                    options.collation, &progress, {});
        !report.outcome) {
        return report;
    }
    for (int p = 0; p < table.Size(); ++p) {
        if (table[p].ruined) {
            report.unparsed.push_back(table[p].record.index + 1);
        }
    }
    progress.SetStatus(Message(msg::ZerOrev::SortingReferences));
    progress.SetProgress(0);
    std::vector<std::int32_t> sorted;
    if (!table.Sort(request.order, &progress, {}, sorted)) {
        report.outcome = Outcome::Aborted();
        return report;
    }
    const std::vector<std::int32_t> positions =
        WithoutDuplicates(table, sorted, request.keepDuplicates, report.duplicates);
    progress.SetStatus(Message(msg::ZerOrev::WritingReferences));
    progress.SetProgress(0);
    report.outcome = WriteOutputFile(fs, request.output, [&](WritableFile& out) {
        return WriteEntries(request, format, options, table, positions, progress, out, report);
    });
    if (!report.outcome) {
        report.entries = 0;
    }
    return report;
}

TZerOrev::TZerOrev(FileSystem& fs, ListRequest request, TFormatDesc format, ListOptions options,
                   Progress& progress)
    : JobThread<ListReport>(
          [&fs, request = std::move(request), format = std::move(format), options](Progress& p) {
              return MakeReferenceList(fs, request, format, options, p);
          },
          progress, &gListGate, Message(msg::Threads::Listing)) {}

} // namespace cvx
