// Importing large downloads: a 50 MB RIS file and a 50 MB MEDLINE file made by repeating the real
// records of the sample downloads, in records per second, with bibutils' ris2xml reading the same
// RIS file in the same run as the peer. (Debian's bibutils reads MEDLINE only as PubMed XML, so
// the MEDLINE figure stands alone.) Each is measured in this process and as a whole citavox-cli
// process, as the user meets it; the whole processes also give their processor time a run
// (cpu_ms: user and system, all threads), which a machine busy with other work changes less
// than the time on the clock. CITAVOX_BENCH_MB sets another size.

#include "text/Progress.h"
#include "text/StringPrimitives.h"
#include "vorodud/Vorodud.h"

#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <sys/resource.h>
#include <vector>

namespace {

namespace fs = std::filesystem;

struct Download {
    std::string path;
    std::int64_t records = 0;
    std::int64_t bytes = 0;
};

std::string ReadFile(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

std::uint64_t Megabytes() {
    const char* env = std::getenv("CITAVOX_BENCH_MB");
    return env != nullptr ? std::strtoull(env, nullptr, 10) : 50;
}

// Repeats the records of the sample files (byte-order marks dropped) until the file has the size.
Download Generate(const std::string& name, const std::vector<std::string>& samples,
                  std::string_view recordStart) {
    Download d;
    d.path = (fs::temp_directory_path() /
              ("citavox-bench-" + name + "-" + std::to_string(Megabytes()) + "mb.txt"))
                 .string();
    std::string block;
    std::int64_t blockRecords = 0;
    for (const std::string& sample : samples) {
        std::string text = ReadFile(fs::path(CITAVOX_SAMPLES_DIR) / sample);
        if (text.starts_with("\xEF\xBB\xBF")) {
            text.erase(0, 3);
        }
        block += text + "\n\n";
        for (std::size_t pos = 0; (pos = text.find(recordStart, pos)) != std::string::npos;
             pos += recordStart.size()) {
            blockRecords += pos == 0 || text[pos - 1] == '\n' || text[pos - 1] == '\r';
        }
    }
    const std::uint64_t target = Megabytes() * 1000 * 1000;
    const std::uint64_t copies = (target + block.size() - 1) / block.size();
    d.records = static_cast<std::int64_t>(copies) * blockRecords;
    d.bytes = static_cast<std::int64_t>(copies * block.size());
    if (!fs::exists(d.path) || fs::file_size(d.path) != copies * block.size()) {
        std::ofstream out(d.path, std::ios::binary | std::ios::trunc);
        for (std::uint64_t i = 0; i < copies; ++i) {
            out.write(block.data(), static_cast<std::streamsize>(block.size()));
        }
    }
    return d;
}

const Download& RisFile() {
    static const Download d =
        Generate("ris",
                 {"ris/asreview_embase.ris", "ris/asreview_ovid_psycinfo.ris",
                  "ris/asreview_pubmed_endnote.txt", "ris/asreview_ris_issue_1099.txt",
                  "ris/asreview_ris_issue_992.txt", "ris/asreview_web_of_science.txt",
                  "ris/litstudy_example.ris", "ris/rispy_example_extraneous_data.ris",
                  "ris/jabref_RisImporterTest5a.ris", "ris/jabref_RisImporterTestScience.ris"},
                 "TY  -");
    return d;
}

const Download& MedlineFile() {
    static const Download d = Generate(
        "medline",
        {"medline/reflib-medline_cancer.nbib", "medline/reflib-medline_language-LF.nbib",
         "medline/rayyan-plugins_example1.nbib", "medline/biopython_pubmed_result1.txt",
         "medline/biopython_pubmed_result3.txt", "medline/rayyan-ref-parsers_example.nbib"},
        "PMID-");
    return d;
}

// The processor time, in milliseconds, of the child processes that have ended so far.
double ChildCpuMs() {
    rusage usage{};
    ::getrusage(RUSAGE_CHILDREN, &usage);
    auto ms = [](const timeval& t) { return t.tv_sec * 1000.0 + t.tv_usec / 1000.0; };
    return ms(usage.ru_utime) + ms(usage.ru_stime);
}

// Runs a whole process once per iteration and counts its processor time a run.
void RunCommand(benchmark::State& state, const std::string& command, const char* failure) {
    const double before = ChildCpuMs();
    for (auto _ : state) {
        if (std::system(command.c_str()) != 0 && failure != nullptr) {
            state.SkipWithError(failure);
            break;
        }
    }
    if (state.iterations() > 0) {
        state.counters["cpu_ms"] =
            (ChildCpuMs() - before) / static_cast<double>(state.iterations());
    }
}

// The downloads are read in place from the shared folder; without it there is nothing to measure.
bool SamplesMissing(benchmark::State& state) {
    if (fs::is_directory(CITAVOX_SAMPLES_DIR)) {
        return false;
    }
    state.SkipWithError("the real downloads are not at " CITAVOX_SAMPLES_DIR
                        " (set CITAVOX_SHARED_DIR)");
    return true;
}

void Import(benchmark::State& state, const Download& download, std::string_view type) {
    const std::string out = (fs::temp_directory_path() / "citavox-bench-import.ref").string();
    cvx::vorodud::ImportSettings settings;
    settings.errorDumpFile = (fs::temp_directory_path() / "citavox-bench-errors.dmp").string();
    cvx::vorodud::Vorodud driver(settings);
    const int number = driver.TypeByKey(type);
    cvx::vorodud::Counters counters;
    for (auto _ : state) {
        cvx::Progress progress;
        auto thread = driver.StartConversion(number, download.path, out,
                                             cvx::DestinationMode::Replace, progress, nullptr);
        thread->Resume();
        thread->Wait();
        counters = driver.LastCounters();
    }
    state.counters["written"] = counters.written;
    state.counters["dumped"] = counters.dumped;
    state.SetItemsProcessed(state.iterations() * download.records);
    state.SetBytesProcessed(state.iterations() * download.bytes);
    fs::remove(out);
}

void BM_ImportRis(benchmark::State& state) {
    if (!SamplesMissing(state)) {
        Import(state, RisFile(), "ris");
    }
}

void BM_ImportMedline(benchmark::State& state) {
    if (!SamplesMissing(state)) {
        Import(state, MedlineFile(), "medline");
    }
}

// The import as the user meets it: a whole citavox-cli process, with settings of its own.
void ImportCli(benchmark::State& state, const Download& download, std::string_view type) {
    const fs::path home = fs::temp_directory_path() / "citavox-bench-home";
    fs::create_directories(home);
    const std::string out = (fs::temp_directory_path() / "citavox-bench-cli.ref").string();
    const std::string command = "HOME='" + home.string() + "' XDG_CONFIG_HOME='" +
                                (home / "config").string() + "' '" CITAVOX_CLI "' import '" +
                                download.path + "' '" + out + "' --type " + std::string(type) +
                                " --replace > /dev/null 2>&1";
    RunCommand(state, command, "citavox-cli import failed");
    state.SetItemsProcessed(state.iterations() * download.records);
    state.SetBytesProcessed(state.iterations() * download.bytes);
    fs::remove(out);
    fs::remove_all(home);
}

void BM_CliImportRis(benchmark::State& state) {
    if (!SamplesMissing(state)) {
        ImportCli(state, RisFile(), "ris");
    }
}

void BM_CliImportMedline(benchmark::State& state) {
    if (!SamplesMissing(state)) {
        ImportCli(state, MedlineFile(), "medline");
    }
}

void BM_Ris2xml(benchmark::State& state) {
    if (std::system("command -v ris2xml >/dev/null 2>&1") != 0) {
        state.SkipWithError("ris2xml (Debian's bibutils) is not installed");
        return;
    }
    if (SamplesMissing(state)) {
        return;
    }
    const Download& d = RisFile();
    // ris2xml's exit status is not looked at: it says nothing about the time it took.
    RunCommand(state, "ris2xml -i utf8 '" + d.path + "' > /dev/null 2>&1", nullptr);
    state.SetItemsProcessed(state.iterations() * d.records);
    state.SetBytesProcessed(state.iterations() * d.bytes);
}

BENCHMARK(BM_ImportRis)->Unit(benchmark::kMillisecond)->Iterations(3)->UseRealTime();
BENCHMARK(BM_CliImportRis)->Unit(benchmark::kMillisecond)->Iterations(3)->UseRealTime();
BENCHMARK(BM_Ris2xml)->Unit(benchmark::kMillisecond)->Iterations(3)->UseRealTime();
BENCHMARK(BM_ImportMedline)->Unit(benchmark::kMillisecond)->Iterations(3)->UseRealTime();
BENCHMARK(BM_CliImportMedline)->Unit(benchmark::kMillisecond)->Iterations(3)->UseRealTime();

} // namespace

BENCHMARK_MAIN();
