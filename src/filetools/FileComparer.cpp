#include "filetools/FileComparer.h"

#include "filetools/ComparisonKeys.h"
#include "filetools/ReferenceBlocks.h"
#include "journals/JournalLookup.h"
#include "refstore/ReferenceJobs.h"
#include "refstore/ReferenceReader.h"
#include "refstore/ReferenceTarget.h"
#include "storage/FileSystem.h"
#include "text/CaseMapping.h"
#include "text/Catalogue.h"
#include "text/FileNames.h"
#include "text/Progress.h"
#include "text/StringPrimitives.h"

#include <algorithm>
#include <unordered_map>

namespace cvx {

namespace {

RunGate gCompareGate;

// The markup codes that do not count when titles and source titles are compared.
constexpr std::string_view kIgnoredCodes[] = {"#B", "#I", "#U", "#_", "#^", "#P",
                                              "#v", "#b", "#L", "#G", "#N", "#T"};

// The journal-name form whose names stand for a journal when source titles are compared.
constexpr JournalForm kComparedForm = JournalForm::Biosis;

std::string WithoutCodes(std::string text) {
    for (std::string_view code : kIgnoredCodes) {
        // Removing a code can join the halves of another into one, so each goes until none is left.
        while (text.find(code) != std::string::npos) {
            text = ReplaceAll(text, code, "");
        }
    }
    return text;
}

// A reference's texts as the comparison sees them.
struct ComparedTexts {
    std::string title;
    std::string source;
};

ComparedTexts TextsOf(const TRefArrData& data, const CompareOptions& options) {
    ComparedTexts t;
    t.title = WithoutCodes(UpperText(data[FieldIndex::Title]));
    std::string source = SourceTitle(data);
    if (data.sourceType == SourceType::Journal && !options.ignoreJournalDatabase &&
        options.journals) {
        if (const std::optional<JournalMatch> m = options.journals->LookUp(source, kComparedForm)) {
            source = TrimBlanks(m->name);
            if (source.empty()) {
                source = "UNKNOWN";
            }
        }
    }
    t.source = WithoutCodes(UpperText(source));
    return t;
}

// Two texts agree when both are empty, or when the shorter one begins the longer one.
bool Agree(std::string_view a, std::string_view b) {
    if (a.empty() || b.empty()) {
        return a.empty() && b.empty();
    }
    const std::size_t k = std::min(a.size(), b.size());
    return a.substr(0, k) == b.substr(0, k);
}

enum class Match { Common, Unique, StaleKeys };

// Finds the references of the new file in the filter file through its sorted keys, reading the
// candidates of the filter file (each once) only when a key is shared.
class Matcher {
public:
    Matcher(const ReferenceReader& filter, const std::vector<ComparisonKey>& keys,
            const CompareOptions& options)
        : filter_(filter), keys_(keys), options_(options) {}

    Match Find(const TRefArrData& reference, const ComparisonKey& key) {
        if (key.Empty()) {
            return Match::Unique;
        }
        const auto [first, last] = std::equal_range(keys_.begin(), keys_.end(), key, KeyBefore);
        if (first == last) {
            return Match::Unique;
        }
        const ComparedTexts mine = TextsOf(reference, options_);
        for (auto it = first; it != last; ++it) {
            const Candidate* c = CandidateAt(*it);
            if (c == nullptr) {
                return Match::StaleKeys;
            }
            if (Agree(mine.title, c->texts.title) && Agree(mine.source, c->texts.source)) {
                return Match::Common;
            }
        }
        return Match::Unique;
    }

private:
    struct Candidate {
        ComparedTexts texts;
    };

    // The filter reference of a key, read once; null when it no longer has that key (the key
    // file described another text).
    const Candidate* CandidateAt(const ComparisonKey& key) {
        if (auto found = seen_.find(key.reference); found != seen_.end()) {
            return &found->second;
        }
        std::string bytes;
        const int i = static_cast<int>(key.reference);
        if (filter_.IsDeleted(i) || !filter_.ReadRaw(i, bytes)) {
            return nullptr;
        }
        const TRefArrData data = ParseReference(bytes, false).data;
        if (!KeyOf(key.reference, NumericKeysOf(data)).SameKey(key)) {
            return nullptr;
        }
        return &seen_.emplace(key.reference, Candidate{TextsOf(data, options_)}).first->second;
    }

    const ReferenceReader& filter_;
    const std::vector<ComparisonKey>& keys_;
    const CompareOptions& options_;
    std::unordered_map<std::uint32_t, Candidate> seen_;
};

// One pass over the new file; StaleKeys when the filter file's keys turned out to be stale.
Match MatchNewFile(const ReferenceReader& filter, const std::vector<ComparisonKey>& keys,
                   const CompareOptions& options, Progress& progress, CompareReport& report) {
    const ReferenceReader& fresh = *report.newFile;
    const int count = fresh.Count();
    report.common = RefSet(count);
    report.unparsed.clear();
    progress.SetStatus(Message(msg::VoxComp::ReadingNewFile));
    progress.SetProgress(0);
    Matcher matcher(filter, keys, options);
    ReadBuffer buffer;
    std::string bytes;
    for (int q = 0; q < count; ++q) {
        if (progress.AbortRequested()) {
            report.outcome = Outcome::Aborted(Message(msg::VoxComp::ComparisonAborted));
            return Match::Unique;
        }
        if (q % 256 == 0) {
            progress.SetProgress(Permille(q, count));
        }
        if (fresh.IsDeleted(q)) {
            continue;
        }
        if (report.outcome = fresh.ReadRaw(q, bytes, &buffer); !report.outcome) {
            return Match::Unique;
        }
        const ParsedReference parsed = ParseReference(bytes, false);
        if (parsed.ruined) {
            report.unparsed.push_back(q + 1);
            continue;
        }
        const Match m = matcher.Find(parsed.data, KeyOf(0, NumericKeysOf(parsed.data)));
        if (m == Match::StaleKeys) {
            return m;
        }
        report.common.SetTo(q, m == Match::Common);
    }
    report.commonCount = report.common.Count();
    report.uniqueCount = count - fresh.DeletedCount() - report.commonCount;
    progress.SetProgress(Progress::kMaximum);
    return Match::Common;
}

// The references a selection writes: the common ones, or the present ones that are not common.
bool Selected(const CompareReport& report, CompareSelection which, int i) {
    return which == CompareSelection::Common
               ? report.common.Test(i)
               : !report.newFile->IsDeleted(i) && !report.common.Test(i);
}

} // namespace

CompareReport CompareFiles(FileSystem& fs, const std::string& filterFile,
                           const std::string& newFile, const CompareOptions& options,
                           Progress& progress) {
    CompareReport report;
    std::shared_ptr<const ReferenceReader> filter;
    if (report.outcome = OpenReferenceText(fs, filterFile, &progress, filter); !report.outcome) {
        return report;
    }
    if (report.outcome = OpenReferenceText(fs, newFile, &progress, report.newFile);
        !report.outcome) {
        return report;
    }
    std::vector<ComparisonKey> keys;
    report.outcome = LoadOrBuildKeys(fs, *filter, progress, keys, report.keyFileReused);
    if (report.outcome &&
        MatchNewFile(*filter, keys, options, progress, report) == Match::StaleKeys) {
        // The filter file no longer has the keys it was read with: it was changed in place. Its
        // keys are built from what it holds now and the comparison starts again; when they are
        // stale once more, the file is changing under the job and no result can be trusted.
        report.keyFileReused = false;
        if (report.outcome = BuildKeys(fs, *filter, progress, keys);
            report.outcome &&
            MatchNewFile(*filter, keys, options, progress, report) == Match::StaleKeys) {
            report.outcome =
                Outcome::Error(Msg(msg::Citavox::FileChangedDuringJob, DisplayPath(filterFile)));
        }
    }
    return report;
}

Outcome WriteCompareResult(FileSystem& fs, const CompareReport& report, CompareSelection which,
                           const std::string& destination, bool append, Progress& progress,
                           int& written) {
    written = 0;
    if (!report.newFile || !report.outcome) {
        return Outcome::Error(Message(msg::VoxComp::ComparisonAborted));
    }
    const ReferenceReader& fresh = *report.newFile;
    if (fs.SameFile(destination, fresh.FileName())) {
        return Outcome::Error(Message(msg::VoxComp::CannotWriteNewFileAgain));
    }
    progress.SetStatus(Message(which == CompareSelection::Common
                                   ? (append ? msg::VoxComp::AppendingCommonReferences
                                             : msg::VoxComp::WritingCommonReferences)
                                   : (append ? msg::VoxComp::AppendingUniqueReferences
                                             : msg::VoxComp::WritingUniqueReferences)));
    const int total = which == CompareSelection::Common ? report.commonCount : report.uniqueCount;
    ReferenceTarget target(fs);
    Outcome r = target.Begin(destination, append, &progress);
    if (r) {
        r = target.Write([&](const ReferenceTarget::Sink& out) {
            ReadBuffer buffer;
            std::string bytes;
            for (int i = 0; i < fresh.Count(); ++i) {
                if (progress.AbortRequested()) {
                    return Outcome::Aborted(Message(msg::VoxComp::AbortedByUser));
                }
                if (!Selected(report, which, i)) {
                    continue;
                }
                if (Outcome c = fresh.ReadRaw(i, bytes, &buffer); !c) {
                    return Outcome::Error(Message(msg::VoxComp::ReadError) + "\r" + c.message());
                }
                if (Outcome c = out(StoredBlock(bytes)); !c) {
                    return Outcome::Error(Message(msg::VoxComp::WriteError) + "\r" + c.message());
                }
                ++written;
                progress.SetProgress(Permille(written, total));
            }
            return Outcome::Ok();
        });
    }
    progress.SetProgress(0);
    if (!r) {
        written = 0;
    }
    return r;
}

TVoxComp::TVoxComp(FileSystem& fs, std::string filterFile, std::string newFile,
                   CompareOptions options, Progress& progress)
    : JobThread<CompareReport>(
          [&fs, filterFile = std::move(filterFile), newFile = std::move(newFile),
           options](Progress& p) { return CompareFiles(fs, filterFile, newFile, options, p); },
          progress, &gCompareGate, Message(msg::Threads::Comparison)) {}

} // namespace cvx
