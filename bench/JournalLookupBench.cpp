// Journal-name look-ups over the shipped database: warm (the access state keeps the file open
// and its blocks expanded), through the look-up service of a job (the per-thread access state,
// which looks again whether the file changed once a second), and cold (a fresh access state opens
// the file, reads the index and expands a block). The peer is an in-memory hash map from normalised
// names, the least work a look-up by exact normalised name can do. The size benchmark reports the
// database against its CSV.

#include "journals/DatabaseJournalLookup.h"
#include "journals/JournalBuilder.h"
#include "journals/JournalMatching.h"
#include "journals/JournalNames.h"
#include "storage/FileSystem.h"

#include <benchmark/benchmark.h>

#include <unordered_map>

namespace {

const std::string kDatabase = CITAVOX_JOURNAL_DATABASE;
const std::string kList = std::string(CITAVOX_SOURCE_DIR) + "/data/journals/journals.csv";

struct Query {
    std::string name;
    cvx::JournalForm form;
};

// Every journal's full name, Medlar and Index Medicus name, asked for in another form, in an
// order that jumps across the file.
const std::vector<Query>& Queries() {
    static const std::vector<Query> queries = [] {
        std::string csv;
        (void)cvx::ReadWholeFile(cvx::FileSystem::Default(), kList, csv);
        std::vector<cvx::JournalDefinition> journals;
        (void)cvx::ReadJournalCsv(csv, journals);
        std::vector<Query> q;
        for (const cvx::JournalDefinition& j : journals) {
            q.push_back({j.texts[1], cvx::JournalForm::Medlar});
            if (!j.texts[2].empty()) {
                q.push_back({j.texts[2], cvx::JournalForm::IndexMedicus});
            }
            if (!j.texts[3].empty()) {
                q.push_back({j.texts[3], cvx::JournalForm::FullName});
            }
        }
        std::vector<Query> shuffled;
        constexpr std::size_t kStride = 7919; // a prime: visits every query once
        for (std::size_t i = 0, at = 0; i < q.size(); ++i, at = (at + kStride) % q.size()) {
            shuffled.push_back(q[at]);
        }
        return shuffled;
    }();
    return queries;
}

void BM_LookUpWarm(benchmark::State& state) {
    const std::vector<Query>& queries = Queries();
    cvx::JournalDatabase db;
    if (db.Open(kDatabase) != cvx::JournalError::None) {
        state.SkipWithError("the shipped database cannot be opened");
        return;
    }
    for (const Query& q : queries) {
        benchmark::DoNotOptimize(cvx::LookUpJournal(db, q.name, q.form));
    }
    std::size_t i = 0;
    std::size_t found = 0;
    for (auto _ : state) {
        const Query& q = queries[i++ % queries.size()];
        const cvx::JournalHit hit = cvx::LookUpJournal(db, q.name, q.form);
        found += hit.Matched() ? 1 : 0;
        benchmark::DoNotOptimize(hit);
    }
    state.SetItemsProcessed(state.iterations());
    state.counters["found"] =
        benchmark::Counter(static_cast<double>(found) / static_cast<double>(state.iterations()));
}
BENCHMARK(BM_LookUpWarm);

void BM_LookUpWarmThroughService(benchmark::State& state) {
    const std::vector<Query>& queries = Queries();
    const cvx::DatabaseJournalLookup journals(kDatabase);
    for (const Query& q : queries) {
        benchmark::DoNotOptimize(journals.LookUp(q.name, q.form));
    }
    std::size_t i = 0;
    for (auto _ : state) {
        const Query& q = queries[i++ % queries.size()];
        benchmark::DoNotOptimize(journals.LookUp(q.name, q.form));
    }
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_LookUpWarmThroughService);

void BM_LookUpCold(benchmark::State& state) {
    const std::vector<Query>& queries = Queries();
    std::size_t i = 0;
    for (auto _ : state) {
        const Query& q = queries[i++ % queries.size()];
        cvx::JournalDatabase db;
        (void)db.Open(kDatabase);
        benchmark::DoNotOptimize(cvx::LookUpJournal(db, q.name, q.form));
    }
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_LookUpCold);

void BM_PeerHashMapOfNormalisedNames(benchmark::State& state) {
    const std::vector<Query>& queries = Queries();
    std::unordered_map<std::string, std::size_t> map;
    for (std::size_t k = 0; k < queries.size(); ++k) {
        map.emplace(cvx::NormaliseJournalName(queries[k].name), k);
    }
    std::size_t i = 0;
    for (auto _ : state) {
        const Query& q = queries[i++ % queries.size()];
        benchmark::DoNotOptimize(map.find(cvx::NormaliseJournalName(q.name)));
    }
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_PeerHashMapOfNormalisedNames);

void BM_DatabaseSize(benchmark::State& state) {
    cvx::FileSystem& fs = cvx::FileSystem::Default();
    for (auto _ : state) {
        benchmark::DoNotOptimize(fs.Stat(kDatabase).size);
    }
    const double database = static_cast<double>(fs.Stat(kDatabase).size);
    const double csv = static_cast<double>(fs.Stat(kList).size);
    state.counters["database_bytes"] = database;
    state.counters["csv_bytes"] = csv;
    state.counters["database_per_csv"] = database / csv;
}
BENCHMARK(BM_DatabaseSize)->Iterations(1);

} // namespace

BENCHMARK_MAIN();
