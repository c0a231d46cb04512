// Searching a file of 1,000,000 generated references (CITAVOX_BENCH_REFS sets another count):
// - the scanning search as the user meets it (citavox-cli search, whole process) against
//   `grep -c -i WORD` over the same file;
// - the index build (citavox-cli index, whole process, with its peak memory) against SQLite
//   FTS5 indexing the same reference texts, with the size of both indexes: the free text alone
//   against FTS5 in its smallest form (no copy of the text, no positions: what the word index
//   holds too), and four fields against FTS5 as it comes (text and positions kept);
// - ten typical indexed queries, warm, each with the number of matches of the indexed and the
//   scanning search.
// Run it alone: build/bin/search_bench --benchmark_counters_tabular=true

#include "RefFileGenerator.h"
#include "refstore/ReferenceFile.h"
#include "refstore/ReferenceReader.h"
#include "search/IndexedSearch.h"
#include "search/SearchFile.h"
#include "text/Cp1252.h"

#include <benchmark/benchmark.h>
#include <sqlite3.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <spawn.h>
#include <string>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

extern char** environ;

namespace {

namespace fs = std::filesystem;

std::uint64_t ReferenceCount() {
    const char* env = std::getenv("CITAVOX_BENCH_REFS");
    return env != nullptr ? std::strtoull(env, nullptr, 10) : 1000000;
}

// Cuts a generated file after its `count`th reference (the generator numbers them " G1", " G2"
// ...); false when it holds fewer.
bool KeepReferences(const std::string& path, std::uint64_t count) {
    std::ifstream in(path, std::ios::binary);
    const std::string mark = "\r\n\r\n G" + std::to_string(count + 1);
    std::string buffer(std::size_t{1} << 24, '\0');
    std::uint64_t offset = 0;
    std::string tail;
    while (in) {
        in.read(buffer.data(), static_cast<std::streamsize>(buffer.size()));
        const std::string chunk = tail + buffer.substr(0, static_cast<std::size_t>(in.gcount()));
        const std::size_t at = chunk.find(mark);
        if (at != std::string::npos) {
            fs::resize_file(path, offset - tail.size() + at + 4);
            return true;
        }
        const std::size_t keep = std::min(chunk.size(), mark.size());
        offset += static_cast<std::uint64_t>(in.gcount());
        tail = chunk.substr(chunk.size() - keep);
    }
    return false;
}

const std::string& LargeFile() {
    static const std::string path = [] {
        const std::uint64_t refs = ReferenceCount();
        const std::string file =
            (fs::temp_directory_path() / ("citavox-bench-" + std::to_string(refs) + "refs.ref"))
                .string();
        if (!fs::exists(file)) {
            // About 750 bytes a reference: generate a little more and cut.
            if (!cvx::bench::GenerateReferenceFile(CITAVOX_SOURCE_DIR "/examples/refs.ref", file,
                                                   refs * 800 + 1000000) ||
                !KeepReferences(file, refs)) {
                std::fprintf(stderr, "cannot generate %s\n", file.c_str());
                std::exit(1);
            }
        }
        return file;
    }();
    return path;
}

std::int64_t FileBytes() {
    return static_cast<std::int64_t>(fs::file_size(LargeFile()));
}

struct Run {
    int status = -1;
    double peakMiB = 0;
};

// The peak resident memory of a running process (VmHWM of /proc/PID/status), in KiB; 0 when gone.
long PeakKiB(pid_t pid) {
    std::ifstream status("/proc/" + std::to_string(pid) + "/status");
    std::string line;
    while (std::getline(status, line)) {
        if (line.starts_with("VmHWM:")) {
            return std::strtol(line.c_str() + 6, nullptr, 10);
        }
    }
    return 0;
}

// Runs a program to its end with its output into a scratch file (not /dev/null, which grep
// recognises and stops at the first match). Its peak memory is read from /proc while it runs:
// the rusage of a spawned child also counts the memory of this process, which it shared until
// its exec.
Run RunProgram(const std::vector<std::string>& args, bool watchMemory = false) {
    std::vector<char*> argv;
    for (const std::string& a : args) {
        argv.push_back(const_cast<char*>(a.c_str())); // posix_spawn's C signature
    }
    argv.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    static const std::string output =
        (fs::temp_directory_path() / "citavox-bench-out.txt").string();
    posix_spawn_file_actions_addopen(&actions, 1, output.c_str(), O_WRONLY | O_CREAT | O_TRUNC,
                                     0600);
    pid_t pid = 0;
    Run run;
    if (posix_spawnp(&pid, argv[0], &actions, nullptr, argv.data(), environ) == 0) {
        int status = 0;
        long peak = 0;
        pid_t done = 0;
        while (done == 0) {
            done = waitpid(pid, &status, watchMemory ? WNOHANG : 0);
            if (done == 0) {
                peak = std::max(peak, PeakKiB(pid));
                usleep(2000);
            }
        }
        if (done == pid && WIFEXITED(status)) {
            run.status = WEXITSTATUS(status);
        }
        run.peakMiB = static_cast<double>(peak) / 1024.0;
    }
    posix_spawn_file_actions_destroy(&actions);
    return run;
}

void BM_GrepCountIgnoringCase(benchmark::State& state, const char* word) {
    (void)LargeFile();
    for (auto _ : state) {
        if (RunProgram({"grep", "-c", "-i", word, LargeFile()}).status > 1) {
            state.SkipWithError("grep failed");
        }
    }
    state.SetBytesProcessed(state.iterations() * FileBytes());
}

void BM_ScanningSearchCli(benchmark::State& state, const char* word) {
    (void)RunProgram({CITAVOX_CLI, "search", LargeFile(), word}); // the map, once
    for (auto _ : state) {
        if (RunProgram({CITAVOX_CLI, "search", LargeFile(), word}).status != 0) {
            state.SkipWithError("search failed");
        }
    }
    state.SetBytesProcessed(state.iterations() * FileBytes());
}

std::uint64_t SizeOf(const std::string& path) {
    std::error_code ec;
    const auto size = fs::file_size(path, ec);
    return ec ? 0 : size;
}

void BM_IndexBuildCli(benchmark::State& state, const char* fields) {
    (void)LargeFile();
    Run run;
    for (auto _ : state) {
        run = RunProgram({CITAVOX_CLI, "index", LargeFile(), "--fields", fields}, true);
        if (run.status != 0) {
            state.SkipWithError("index failed");
        }
    }
    const std::string base = LargeFile().substr(0, LargeFile().size() - 3);
    state.counters["index_MB"] = static_cast<double>(SizeOf(base + "idx")) / 1e6;
    state.counters["peak_MiB"] = run.peakMiB;
    state.SetBytesProcessed(state.iterations() * FileBytes());
}

// The texts of the references, as UTF-8 for SQLite.
const std::vector<std::string>& ReferenceTexts() {
    static const std::vector<std::string> texts = [] {
        std::vector<std::string> out;
        cvx::TReferenceFile file;
        if (!file.Open(LargeFile())) {
            std::exit(1);
        }
        out.reserve(static_cast<std::size_t>(file.RefCount()));
        std::string block;
        for (int i = 0; i < file.RefCount(); ++i) {
            if (!file.RawText(i, block)) {
                std::exit(1);
            }
            out.push_back(cvx::Cp1252ToUtf8(block));
        }
        return out;
    }();
    return texts;
}

void BM_Fts5Build(benchmark::State& state, const char* table) {
    const std::vector<std::string>& texts = ReferenceTexts();
    const std::string db = (fs::temp_directory_path() / "citavox-bench-fts5.db").string();
    for (auto _ : state) {
        fs::remove(db);
        sqlite3* handle = nullptr;
        sqlite3_open(db.c_str(), &handle);
        const std::string setup = "PRAGMA journal_mode=OFF; PRAGMA synchronous=OFF; "
                                  "CREATE VIRTUAL TABLE refs USING " +
                                  std::string(table) + "; BEGIN;";
        sqlite3_exec(handle, setup.c_str(), nullptr, nullptr, nullptr);
        sqlite3_stmt* insert = nullptr;
        sqlite3_prepare_v2(handle, "INSERT INTO refs(body) VALUES(?)", -1, &insert, nullptr);
        for (const std::string& text : texts) {
            sqlite3_bind_text(insert, 1, text.data(), static_cast<int>(text.size()), SQLITE_STATIC);
            sqlite3_step(insert);
            sqlite3_reset(insert);
        }
        sqlite3_finalize(insert);
        sqlite3_exec(handle, "COMMIT;", nullptr, nullptr, nullptr);
        sqlite3_close(handle);
    }
    state.counters["index_MB"] = static_cast<double>(SizeOf(db)) / 1e6;
    state.SetBytesProcessed(state.iterations() * FileBytes());
}

void BM_IndexedQuery(benchmark::State& state, const char* expression) {
    static cvx::TReferenceFile* file = [] {
        auto* f = new cvx::TReferenceFile;
        if (!f->Open(LargeFile())) {
            std::exit(1);
        }
        return f;
    }();
    const cvx::Thesaurus thesaurus;
    cvx::SearchResult result;
    for (auto _ : state) {
        result = {};
        if (!cvx::IndexedSearch(*file, expression, cvx::SearchMode::Tag, thesaurus, nullptr,
                                result)) {
            state.SkipWithError("indexed search failed");
            return;
        }
    }
    state.counters["indexed"] = static_cast<double>(result.matches.size());
    cvx::SearchResult scanned;
    file->TaggedSet().ClearAll();
    (void)cvx::SearchFile(*file, expression, cvx::SearchMode::Tag, true, nullptr, scanned);
    state.counters["scanned"] = static_cast<double>(scanned.matches.size());
    state.counters["equal"] = scanned.matches == result.matches ? 1 : 0;
}

} // namespace

BENCHMARK_CAPTURE(BM_GrepCountIgnoringCase, cancer, "cancer")
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();
BENCHMARK_CAPTURE(BM_ScanningSearchCli, cancer, "cancer")
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();
BENCHMARK_CAPTURE(BM_GrepCountIgnoringCase, magical, "magical")
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();
BENCHMARK_CAPTURE(BM_ScanningSearchCli, magical, "magical")
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();
BENCHMARK_CAPTURE(BM_IndexBuildCli, text, "text")
    ->Unit(benchmark::kSecond)
    ->Iterations(1)
    ->UseRealTime();
// The queries below use the fields of this index.
BENCHMARK_CAPTURE(BM_IndexBuildCli, au_ti_yvp_text, "au,ti,yvp,text")
    ->Unit(benchmark::kSecond)
    ->Iterations(1)
    ->UseRealTime();
BENCHMARK_CAPTURE(BM_Fts5Build, contentless_no_detail, "fts5(body, content='', detail=none)")
    ->Unit(benchmark::kSecond)
    ->Iterations(1)
    ->UseRealTime();
BENCHMARK_CAPTURE(BM_Fts5Build, as_it_comes, "fts5(body)")
    ->Unit(benchmark::kSecond)
    ->Iterations(1)
    ->UseRealTime();
BENCHMARK_CAPTURE(BM_IndexedQuery, one_word, "cancer")
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();
BENCHMARK_CAPTURE(BM_IndexedQuery, prefix, "predict")->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK_CAPTURE(BM_IndexedQuery, two_fields_and, "AU(nguyen) AND TI(cancer)")
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();
BENCHMARK_CAPTURE(BM_IndexedQuery, or_of_five, "breast OR cancer OR therapy OR statin OR screening")
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();
BENCHMARK_CAPTURE(BM_IndexedQuery, year_range, "YVP(1985-1990)")
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();
BENCHMARK_CAPTURE(BM_IndexedQuery, not_, "cancer AND NOT(breast)")
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();
BENCHMARK_CAPTURE(BM_IndexedQuery, simple_required, "@women|@cancer")
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();
BENCHMARK_CAPTURE(BM_IndexedQuery, title_or, "TI(network) OR TI(learning)")
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();
BENCHMARK_CAPTURE(BM_IndexedQuery, any_list, "ANY(cancer, mortality, diagnosis)")
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();
BENCHMARK_CAPTURE(BM_IndexedQuery, author_not_years, "AU(nguyen) AND NOT(YVP(>2000))")
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();

BENCHMARK_MAIN();
