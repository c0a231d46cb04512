// Rendering speed: long- and short-form renderings per second over a varied set of references
// (journal articles, chapters, monographs, corporate and many authors), with the default format
// and a shipped style. Parsing the same references is measured as the peer: every caller parses
// a reference before it renders it.

#include "formats/Renderer.h"
#include "formats/StyleText.h"
#include "refstore/RefArrData.h"

#include <benchmark/benchmark.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

namespace {

namespace fs = std::filesystem;

std::string ReadFile(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
}

std::vector<std::string> Blocks() {
    const std::string text = ReadFile(fs::path(CITAVOX_TEST_DATA) / "formats" / "styles.ref");
    std::vector<std::string> blocks;
    for (std::size_t start = 0; start < text.size();) {
        std::size_t end = text.find("\r\n\r\n", start);
        end = end == std::string::npos ? text.size() : end + 4;
        blocks.push_back(text.substr(start, end - start));
        start = end;
    }
    return blocks;
}

std::vector<cvx::TRefArrData> References() {
    std::vector<cvx::TRefArrData> refs;
    for (const std::string& block : Blocks()) {
        refs.push_back(cvx::ParseReference(block, false).data);
    }
    return refs;
}

cvx::TFormatDesc Format(const char* style) {
    cvx::TFormatDesc desc;
    if (*style != '\0') {
        const std::string text =
            ReadFile(fs::path(CITAVOX_SOURCE_DIR) / "data" / "formats" / style);
        if (!cvx::CompileFormat(text, desc.record)) {
            std::abort();
        }
    }
    return desc;
}

void Render(benchmark::State& state, const char* style, bool longForm) {
    const std::vector<cvx::TRefArrData> refs = References();
    const cvx::TFormatDesc desc = Format(style);
    std::string out;
    std::size_t i = 0;
    for (auto _ : state) {
        cvx::RenderReference(desc, longForm, refs[i], out);
        benchmark::DoNotOptimize(out.data());
        i = i + 1 == refs.size() ? 0 : i + 1;
    }
    state.counters["renderings/s"] =
        benchmark::Counter(static_cast<double>(state.iterations()), benchmark::Counter::kIsRate);
}

void BM_RenderLongDefault(benchmark::State& state) {
    Render(state, "", true);
}
void BM_RenderShortDefault(benchmark::State& state) {
    Render(state, "", false);
}
void BM_RenderLongVancouver(benchmark::State& state) {
    Render(state, "vancouver.txt", true);
}
void BM_RenderLongChicago(benchmark::State& state) {
    Render(state, "chicago-author-date.txt", true);
}

void BM_ParseReferencePeer(benchmark::State& state) {
    const std::vector<std::string> blocks = Blocks();
    std::size_t i = 0;
    for (auto _ : state) {
        benchmark::DoNotOptimize(cvx::ParseReference(blocks[i], false));
        i = i + 1 == blocks.size() ? 0 : i + 1;
    }
    state.counters["references/s"] =
        benchmark::Counter(static_cast<double>(state.iterations()), benchmark::Counter::kIsRate);
}

BENCHMARK(BM_RenderLongDefault);
BENCHMARK(BM_RenderShortDefault);
BENCHMARK(BM_RenderLongVancouver);
BENCHMARK(BM_RenderLongChicago);
BENCHMARK(BM_ParseReferencePeer);

} // namespace

BENCHMARK_MAIN();
