// Map building and a full split-and-parse pass over a large reference file, against `wc -l` over
// the same file as the memory-bandwidth anchor.

#include "RefFileGenerator.h"
#include "refstore/ReferenceFile.h"
#include "refstore/ReferenceMap.h"
#include "storage/FileSystem.h"

#include <benchmark/benchmark.h>
#include <cstdio>
#include <filesystem>

namespace {

const std::string& LargeFile() {
    static const std::string path = [] {
        const char* env = std::getenv("CITAVOX_BENCH_MB");
        const std::uint64_t mb = env ? std::strtoull(env, nullptr, 10) : 100;
        const std::string file = (std::filesystem::temp_directory_path() /
                                  ("citavox-bench-" + std::to_string(mb) + "mb.ref"))
                                     .string();
        if (!std::filesystem::exists(file) || std::filesystem::file_size(file) < mb * 1000 * 1000) {
            if (!cvx::bench::GenerateReferenceFile(CITAVOX_SOURCE_DIR "/examples/refs.ref", file,
                                                   mb * 1000 * 1000)) {
                std::fprintf(stderr, "cannot generate %s\n", file.c_str());
                std::exit(1);
            }
        }
        return file;
    }();
    return path;
}

std::int64_t FileBytes() {
    return static_cast<std::int64_t>(std::filesystem::file_size(LargeFile()));
}

void BM_WcLines(benchmark::State& state) {
    const std::string command = "wc -l < '" + LargeFile() + "'";
    for (auto _ : state) {
        FILE* pipe = ::popen(command.c_str(), "r");
        char buffer[64] = {};
        benchmark::DoNotOptimize(std::fgets(buffer, sizeof buffer, pipe));
        ::pclose(pipe);
    }
    state.SetBytesProcessed(state.iterations() * FileBytes());
}

void BM_BuildMap(benchmark::State& state) {
    cvx::FileSystem& fs = cvx::FileSystem::Default();
    std::size_t entries = 0;
    for (auto _ : state) {
        cvx::Outcome r;
        auto file = fs.OpenForRead(LargeFile(), r);
        cvx::MapBuildResult result;
        if (!cvx::BuildMap(*file, fs.Stat(LargeFile()).size, nullptr, result)) {
            state.SkipWithError("map building failed");
        }
        entries = result.entries.size();
    }
    state.counters["references"] = static_cast<double>(entries);
    state.SetBytesProcessed(state.iterations() * FileBytes());
}

void BM_SplitAndParse(benchmark::State& state) {
    cvx::TReferenceFile file;
    if (!file.Open(LargeFile())) {
        state.SkipWithError("cannot open");
        return;
    }
    std::string block;
    for (auto _ : state) {
        for (int i = 0; i < file.RefCount(); ++i) {
            if (!file.RawText(i, block)) {
                state.SkipWithError("read failed");
                return;
            }
            benchmark::DoNotOptimize(cvx::ParseReference(block, true));
        }
    }
    state.counters["references"] = file.RefCount();
    state.SetBytesProcessed(state.iterations() * FileBytes());
}

} // namespace

BENCHMARK(BM_WcLines)->Unit(benchmark::kMillisecond)->UseRealTime()->MinTime(2.0);
BENCHMARK(BM_BuildMap)->Unit(benchmark::kMillisecond)->UseRealTime()->MinTime(2.0);
BENCHMARK(BM_SplitAndParse)->Unit(benchmark::kMillisecond)->UseRealTime()->MinTime(2.0);
BENCHMARK_MAIN();
