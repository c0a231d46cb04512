#include "output/Exporter.h"

#include "output/CitationKeys.h"
#include "output/JournalLookupCache.h"
#include "output/OutputFile.h"
#include "refstore/ReferenceReader.h"
#include "storage/FileRewrite.h"
#include "text/Catalogue.h"
#include "text/FileNames.h"
#include "text/Progress.h"
#include "text/WorkShares.h"
#include "text/WorkerPool.h"

#include <algorithm>
#include <ctime>

namespace cvx {

namespace {

// References read, parsed and made into records together; the records of a batch are made on
// several threads and written in order.
constexpr int kBatch = 4096;

// The date and time of the export, as the header block shows it.
std::string Timestamp() {
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_r(&now, &local);
    char text[32];
    return std::string(text, std::strftime(text, sizeof text, "%Y-%m-%d %H:%M", &local));
}

// One reference of a batch on its way to the file.
struct Item {
    int index = 0;
    bool exported = false; // present and in the selection
    bool first = false;    // the first reference exported: no separator before it
    bool unparsed = false;
    std::string bytes;
    TRefArrData record;
    std::string key;
};

class ExportRun {
public:
    ExportRun(const ExportRequest& request, const ExportOptions& options, ExportReport& report)
        : request_(request), reader_(*request.references),
          journals_(options.journals ? std::make_unique<JournalLookupCache>(*options.journals)
                                     : nullptr),
          writer_(MakeExportWriter(request.layout, journals_.get())), report_(report),
          fileName_(DisplayPath(FileNameOf(reader_.FileName()))),
          threads_(ShareCount(static_cast<std::size_t>(reader_.Count()), kBatch)), pool_(threads_) {
    }

    Outcome Write(WritableFile& out, Progress& progress) {
        if (Outcome r = writer_->Begin(out, Heading()); !r) {
            return r;
        }
        std::future<Outcome> writing;
        Outcome r = WriteBatches(out, progress, writing);
        if (writing.valid()) {
            if (Outcome written = writing.get(); r && !written) {
                r = written;
            }
        }
        return r ? writer_->End(out) : r;
    }

private:
    // The records of a batch are made into one text a share, each on its thread, and the texts
    // go to the file in order while the next batch is made: the file takes few large writes, no
    // record is copied twice and no processor waits for the disk. Where records carry no keys, a
    // share reads, parses and writes each of its references in one go, while its fields are still
    // in the processor's cache; keys are given in file order, between the reading and the
    // writing. `writing` is the write of the batch before, which may still run when this returns.
    Outcome WriteBatches(WritableFile& out, Progress& progress, std::future<Outcome>& writing) {
        std::vector<Item> batch;
        std::vector<Outcome> results(threads_);
        for (int first = 0, n = 0; first < reader_.Count(); first += kBatch, ++n) {
            if (progress.AbortRequested()) {
                return Outcome::Aborted(Message(msg::Export::ExportAborted));
            }
            const int last = std::min(reader_.Count(), first + kBatch);
            Select(first, last, batch);
            std::vector<std::string>& made = texts_[n % 2];
            made.resize(threads_);
            std::fill(results.begin(), results.end(), Outcome::Ok());
            const bool keyed = writer_->UsesKeys();
            pool_.RunInShares(batch.size(), threads_,
                              [&](unsigned share, std::size_t b, std::size_t e) {
                                  ReadBuffer buffer;
                                  std::string& text = made[share];
                                  text.clear();
                                  for (std::size_t k = b; k < e; ++k) {
                                      if (Outcome r = Read(batch[k], buffer); !r) {
                                          results[share] = r;
                                          return;
                                      }
                                      if (!keyed) {
                                          Make(batch[k], text);
                                      }
                                  }
                              });
            for (const Outcome& r : results) {
                if (!r) {
                    return r;
                }
            }
            if (keyed) {
                for (Item& item : batch) {
                    if (!reader_.IsDeleted(item.index)) {
                        item.key = keys_.Next(item.record);
                    }
                }
                pool_.RunInShares(batch.size(), threads_,
                                  [&](unsigned share, std::size_t b, std::size_t e) {
                                      for (std::size_t k = b; k < e; ++k) {
                                          Make(batch[k], made[share]);
                                      }
                                  });
            }
            for (const Item& item : batch) {
                if (item.exported) {
                    Count(item);
                }
            }
            if (writing.valid()) {
                if (Outcome r = writing.get(); !r) {
                    return r;
                }
            }
            writing = pool_.Start([&out, &made] {
                for (const std::string& text : made) {
                    if (Outcome r = out.Append(text); !r) {
                        return r;
                    }
                }
                return Outcome::Ok();
            });
            progress.SetProgress(Permille(last, reader_.Count()));
        }
        return Outcome::Ok();
    }

    ExportHeading Heading() const {
        ExportHeading h;
        h.path = reader_.FileName();
        h.tagged = request_.tagged.has_value();
        for (int i = 0; i < reader_.Count(); ++i) {
            h.references += Selected(i) ? 1 : 0;
        }
        h.timestamp = Timestamp();
        return h;
    }

    bool Selected(int i) const {
        return !reader_.IsDeleted(i) && (!request_.tagged || request_.tagged->Test(i));
    }

    // The items of references [first, last), in file order: which are exported, and which of
    // them is the first of the whole export. The items of the batch before are used again: their
    // texts keep their room.
    void Select(int first, int last, std::vector<Item>& batch) {
        batch.resize(static_cast<std::size_t>(last - first));
        for (std::size_t k = 0; k < batch.size(); ++k) {
            Item& item = batch[k];
            item.index = first + static_cast<int>(k);
            item.exported = Selected(item.index);
            item.first = item.exported && !anyExported_;
            anyExported_ = anyExported_ || item.exported;
            item.unparsed = false;
            item.key.clear();
        }
    }

    // Reads and parses a reference: one exported, and, where the layout keys its records, any
    // other that is not deleted, whose key the ones after it must not take.
    Outcome Read(Item& item, ReadBuffer& buffer) const {
        if (reader_.IsDeleted(item.index) || (!item.exported && !writer_->UsesKeys())) {
            return Outcome::Ok();
        }
        if (Outcome r = reader_.ReadRaw(item.index, item.bytes, &buffer); !r) {
            return r;
        }
        ParsedReference parsed = ParseReference(item.bytes, false);
        item.record = std::move(parsed.data);
        item.unparsed = parsed.ruined;
        return Outcome::Ok();
    }

    // Appends the record of an exported reference, after what stands between two records.
    void Make(const Item& item, std::string& text) const {
        if (item.exported) {
            text += item.first ? std::string_view() : writer_->Between();
            writer_->Record({item.record, item.index + 1, reader_.Count(), fileName_, item.unparsed,
                             item.bytes, item.key},
                            text);
        }
    }

    // The counts of the report.
    void Count(const Item& item) {
        ++report_.exported;
        if (item.unparsed) {
            report_.unparsed.push_back(item.index + 1);
            return;
        }
        switch (item.record.sourceType) {
        case SourceType::Journal:
            ++report_.journals;
            break;
        case SourceType::Chapter:
            ++report_.chapters;
            break;
        case SourceType::Monograph:
            ++report_.monographs;
            break;
        case SourceType::Unparsed:
            break;
        }
    }

    const ExportRequest& request_;
    const ReferenceReader& reader_;
    std::unique_ptr<JournalLookupCache> journals_; // null without a journal database
    std::unique_ptr<ExportWriter> writer_;
    ExportReport& report_;
    std::string fileName_;
    unsigned threads_;
    // The helpers of the whole run: threads_ - 1 make records beside the calling thread, one
    // writes the batch before.
    WorkerPool pool_;
    CitationKeys keys_;
    std::vector<std::string> texts_[2]; // the texts of two batches: one made while one is written
    bool anyExported_ = false;          // a reference before the batch is exported
};

} // namespace

ExportReport ExportReferences(FileSystem& fs, const ExportRequest& request,
                              const ExportOptions& options, Progress& progress) {
    ExportReport report;
    if (report.outcome = CheckOutputFile(fs, request.output, *request.references);
        !report.outcome) {
        return report;
    }
    progress.SetStatus(Message(msg::Export::ExportingReferences));
    progress.SetProgress(0);
    ExportRun run(request, options, report);
    report.outcome = WriteOutputFile(fs, request.output,
                                     [&](WritableFile& out) { return run.Write(out, progress); });
    if (!report.outcome) {
        const Outcome failed = report.outcome;
        report = {};
        report.outcome = failed;
    } else {
        progress.SetStatus(Message(msg::Export::ExportCompleted));
    }
    return report;
}

TVoxExport::TVoxExport(FileSystem& fs, ExportRequest request, ExportOptions options,
                       Progress& progress)
    : JobThread<ExportReport>(
          [&fs, request = std::move(request), options](Progress& p) {
              return ExportReferences(fs, request, options, p);
          },
          progress) {}

} // namespace cvx
