// The file tools, lists and export on generated files. Sorting 1,000,000 references by each order
// is measured beside GNU sort (LC_ALL=C, a separate process) sorting a file of the same keys in
// the same run; comparing two files of 500,000 references once with the filter file's key file
// built and once with it reused; exporting 1,000,000 references in each layout (bytes per second
// of output); an RTF list of 100,000 references. CITAVOX_BENCH_SCALE (a divisor, default 1)
// makes every file smaller for a quick run.

#include "RefFileGenerator.h"

#include "filetools/FileComparer.h"
#include "filetools/FileSorter.h"
#include "formats/FormatFile.h"
#include "output/Exporter.h"
#include "output/ReferenceList.h"
#include "refstore/ReferenceReader.h"
#include "refstore/SortTable.h"
#include "text/Progress.h"

#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>

#include <sys/resource.h>

namespace {

namespace fs = std::filesystem;
using cvx::DisplayOrder;

// About 760 bytes a reference in the seed file.
constexpr std::uint64_t kBytesPerReference = 760;

int Scale() {
    const char* scale = std::getenv("CITAVOX_BENCH_SCALE");
    return scale != nullptr && std::atoi(scale) > 0 ? std::atoi(scale) : 1;
}

fs::path Folder() {
    const fs::path dir = fs::temp_directory_path() / "citavox-filetools-bench";
    fs::create_directories(dir);
    return dir;
}

// A generated file of about `references` references, made once per folder and kept.
std::string Generated(const std::string& name, int references, std::uint32_t seed) {
    const std::string path =
        (Folder() / (name + "-" + std::to_string(references) + ".ref")).string();
    if (!fs::exists(path) &&
        !cvx::bench::GenerateReferenceFile(CITAVOX_SOURCE_DIR "/examples/refs.ref", path,
                                           std::uint64_t(references) * kBytesPerReference, seed)) {
        std::abort();
    }
    return path;
}

std::shared_ptr<const cvx::ReferenceReader> Open(const std::string& path) {
    std::shared_ptr<const cvx::ReferenceReader> reader;
    if (!cvx::OpenReferenceReader(cvx::FileSystem::Default(), path, nullptr, false, reader)) {
        std::abort();
    }
    return reader;
}

std::string Padded(std::int64_t n) {
    char text[16];
    std::snprintf(text, sizeof text, "%010lld", static_cast<long long>(n));
    return text;
}

// The keys of an order as lines that sort bytewise as the order sorts: the order's text and
// number levels (numbers zero-padded, descending years complemented), then volume and page. The
// file is named after the reference file, so runs of other sizes keep keys of their own, and takes
// its name only when complete.
std::string KeyFile(DisplayOrder order, const std::string& refs) {
    const std::string path = (Folder() / (fs::path(refs).stem().string() + "-keys-" +
                                          std::to_string(static_cast<int>(order)) + ".txt"))
                                 .string();
    if (fs::exists(path) && fs::last_write_time(path) > fs::last_write_time(refs)) {
        return path;
    }
    cvx::SortTable table;
    if (!table.ReadAll(*Open(refs), nullptr, cvx::Collation::English, nullptr, {})) {
        std::abort();
    }
    const std::string partial = path + ".part";
    std::ofstream out(partial, std::ios::binary);
    for (int i = 0; i < table.Size(); ++i) {
        const cvx::TSortRec& r = table[i].record;
        std::string line;
        switch (order) {
        case DisplayOrder::AuthorYear:
            line = r.authorKey + '\t' + Padded(r.year) + '\t' + r.journalKey;
            break;
        case DisplayOrder::YearAscending:
            line = Padded(r.year) + '\t' + r.authorKey + '\t' + r.journalKey;
            break;
        case DisplayOrder::YearDescending:
            line = Padded(9999 - r.year) + '\t' + r.authorKey + '\t' + r.journalKey;
            break;
        case DisplayOrder::YearJournal:
            line = Padded(r.year) + '\t' + r.journalKey;
            break;
        case DisplayOrder::JournalYear:
            line = r.journalKey;
            break;
        case DisplayOrder::IdentificationString:
            line = r.idString + '\t' + Padded(r.year);
            break;
        case DisplayOrder::Original:
            line = Padded(r.index);
            break;
        }
        out << line << '\t' << Padded(r.volume) << '\t' << Padded(r.pageFirst) << '\t'
            << Padded(r.index) << '\n';
    }
    out.close();
    if (!out) {
        std::abort();
    }
    fs::rename(partial, path);
    return path;
}

int SortReferences() {
    return 1000000 / Scale();
}

void BM_SortFile(benchmark::State& state) {
    const auto order = static_cast<DisplayOrder>(state.range(0));
    const std::string refs = Generated("sort", SortReferences(), 1);
    const std::string out = (Folder() / "sorted.ref").string();
    for (auto _ : state) {
        cvx::Progress progress;
        const cvx::SortReport r = cvx::SortReferenceFile(cvx::FileSystem::Default(),
                                                         {refs, out, order, true}, {}, progress);
        if (!r.outcome) {
            state.SkipWithError(r.outcome.message().c_str());
            return;
        }
        state.counters["references"] = r.written;
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * fs::file_size(refs)));
}
BENCHMARK(BM_SortFile)
    ->DenseRange(0, 6)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(1)
    ->UseRealTime();

// The sort of the keys alone, as GNU sort measures it: the sort records read once, then the
// positions sorted by the order.
void BM_SortKeys(benchmark::State& state) {
    const auto order = static_cast<DisplayOrder>(state.range(0));
    static const cvx::SortTable table = [] {
        cvx::SortTable t;
        if (!t.ReadAll(*Open(Generated("sort", SortReferences(), 1)), nullptr,
                       cvx::Collation::English, nullptr, {})) {
            std::abort();
        }
        return t;
    }();
    std::vector<std::int32_t> positions;
    for (auto _ : state) {
        if (!table.Sort(order, nullptr, {}, positions)) {
            state.SkipWithError("the sort stopped");
            return;
        }
    }
}
BENCHMARK(BM_SortKeys)
    ->DenseRange(0, 6)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(1)
    ->UseRealTime();

// The processor time (user and system) of the finished child processes, in seconds.
double ChildrenCpuSeconds() {
    rusage usage{};
    getrusage(RUSAGE_CHILDREN, &usage);
    auto seconds = [](const timeval& t) {
        return static_cast<double>(t.tv_sec) + static_cast<double>(t.tv_usec) / 1e6;
    };
    return seconds(usage.ru_utime) + seconds(usage.ru_stime);
}

// The peer: GNU sort of the same keys, as a process of its own.
void BM_PeerGnuSortKeys(benchmark::State& state) {
    const auto order = static_cast<DisplayOrder>(state.range(0));
    const std::string keys = KeyFile(order, Generated("sort", SortReferences(), 1));
    const std::string command =
        "LC_ALL=C sort -o '" + (Folder() / "sorted-keys.txt").string() + "' '" + keys + "'";
    const double before = ChildrenCpuSeconds();
    for (auto _ : state) {
        if (std::system(command.c_str()) != 0) {
            state.SkipWithError("GNU sort failed");
            return;
        }
    }
    // The processor time of the process, which the benchmark's own CPU column does not see: on
    // a busy machine the fairer figure to set beside ours.
    state.counters["sort_cpu_s"] = ChildrenCpuSeconds() - before;
}
BENCHMARK(BM_PeerGnuSortKeys)
    ->DenseRange(0, 6)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(1)
    ->UseRealTime();

// A file of `n` references whose first half starts the filter file (the generator makes the same
// references for the same seed) and whose second half is made with another seed.
std::string HalfShared(int n) {
    const std::string path = (Folder() / ("new-" + std::to_string(n) + ".ref")).string();
    if (!fs::exists(path)) {
        std::ofstream out(path, std::ios::binary);
        for (const std::string& part :
             {Generated("shared", n / 2, 1), Generated("other", n / 2, 2)}) {
            std::ifstream in(part, std::ios::binary);
            out << in.rdbuf();
        }
    }
    return path;
}

// Comparing two files of 500,000 references that share half their references: with the filter
// file's key file built (range 0) and reused (range 1).
void BM_CompareFiles(benchmark::State& state) {
    const bool reuse = state.range(0) == 1;
    const int n = 500000 / Scale();
    const std::string filter = Generated("filter", n, 1);
    const std::string fresh = HalfShared(n);
    const std::string keyFile = fs::path(filter).replace_extension("yvp").string();
    for (auto _ : state) {
        state.PauseTiming();
        if (!reuse) {
            fs::remove(keyFile);
        }
        state.ResumeTiming();
        cvx::Progress progress;
        const cvx::CompareReport r =
            cvx::CompareFiles(cvx::FileSystem::Default(), filter, fresh, {}, progress);
        if (!r.outcome || r.keyFileReused != reuse) {
            state.SkipWithError("the comparison failed or did not use the key file as asked");
            return;
        }
        state.counters["common"] = r.commonCount;
    }
}
BENCHMARK(BM_CompareFiles)
    ->Arg(0)
    ->Arg(1)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(1)
    ->UseRealTime();

void BM_Export(benchmark::State& state) {
    const auto layout = static_cast<cvx::ExportLayout>(state.range(0));
    const auto reader = Open(Generated("sort", SortReferences(), 1));
    const std::string out = (Folder() / "export.out").string();
    for (auto _ : state) {
        cvx::Progress progress;
        const cvx::ExportReport r = cvx::ExportReferences(
            cvx::FileSystem::Default(), {reader, out, layout, std::nullopt}, {}, progress);
        if (!r.outcome) {
            state.SkipWithError(r.outcome.message().c_str());
            return;
        }
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * fs::file_size(out)));
}
BENCHMARK(BM_Export)->DenseRange(0, 3)->Unit(benchmark::kMillisecond)->Iterations(1)->UseRealTime();

void BM_RtfList(benchmark::State& state) {
    const auto reader = Open(Generated("list", 100000 / Scale(), 3));
    cvx::TFormatDesc format;
    if (!cvx::LoadFormatFile(format, CITAVOX_FORMATS_DIR "/apa.for")) {
        std::abort();
    }
    cvx::ListRequest request;
    request.references = reader;
    request.output = (Folder() / "list.rtf").string();
    request.kind = cvx::ListOutput::Rtf;
    for (auto _ : state) {
        cvx::Progress progress;
        const cvx::ListReport r =
            cvx::MakeReferenceList(cvx::FileSystem::Default(), request, format, {}, progress);
        if (!r.outcome) {
            state.SkipWithError(r.outcome.message().c_str());
            return;
        }
        state.counters["entries"] = r.entries;
    }
}
BENCHMARK(BM_RtfList)->Unit(benchmark::kMillisecond)->Iterations(1)->UseRealTime();

} // namespace

BENCHMARK_MAIN();
