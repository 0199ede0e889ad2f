// Targets on a 2-core machine: the whole plan in at most 20 ms with every
// write durable; a write at 100,000 keys at most 1.5 times as slow as at 100.
#include <benchmark/benchmark.h>
#include <sqlite3.h>

#include <filesystem>
#include <memory>
#include <string>

#include "registry/SqliteStore.h"
#include "registry/modRegistry.h"
#include "tuning/TuningPlan.h"

namespace {

namespace fs = std::filesystem;

std::string freshStorePath(const std::string& name)
{
    const fs::path dir = fs::temp_directory_path() / ("ferro-bench-" + std::to_string(::getpid()));
    fs::create_directories(dir);
    const fs::path path = dir / name;
    for (const char* suffix : {"", "-wal", "-shm"})
        fs::remove(path.string() + suffix);
    return path.string();
}

// Fills the store with `count` keys in one bulk transaction (creating them one
// durable transaction at a time would take minutes and measure nothing new).
void addKeys(const std::string& path, int count)
{
    sqlite3* db = nullptr;
    sqlite3_open(path.c_str(), &db);
    sqlite3_exec(db, "BEGIN", nullptr, nullptr, nullptr);
    sqlite3_stmt* insert = nullptr;
    sqlite3_prepare_v2(db, "INSERT INTO keys(parent, name, fold) VALUES(2, ?1, lower(?1))", -1, &insert, nullptr);
    for (int i = 0; i < count; ++i) {
        const std::string name = "BenchKey" + std::to_string(i);
        sqlite3_bind_text(insert, 1, name.c_str(), -1, SQLITE_TRANSIENT);
        sqlite3_step(insert);
        sqlite3_reset(insert);
    }
    sqlite3_finalize(insert);
    sqlite3_exec(db, "COMMIT", nullptr, nullptr, nullptr);
    sqlite3_close(db);
}

// Every write of the plan is a real change here: a new store each time, so
// every key is created and every value is new (SQLite skips rewriting bytes
// that are already there, which would flatter a repeated run).
void BM_ApplyWholePlanToNewStore(benchmark::State& state)
{
    int messages = 0;
    int round = 0;
    for (auto _ : state) {
        state.PauseTiming();
        auto store = std::make_unique<ferro::SqliteStore>(freshStorePath("plan" + std::to_string(round++ % 2) + ".db"));
        const modRegistry::Registry reg{*store, [&](const ferro::Failure&) { ++messages; }};
        state.ResumeTiming();
        for (const ferro::PlanEntry& entry : ferro::tuningPlan())
            ferro::applyPlanEntry(reg, entry, 57);
    }
    if (messages != 0)
        state.SkipWithError("the plan reported write errors");
}
BENCHMARK(BM_ApplyWholePlanToNewStore)->Unit(benchmark::kMillisecond)->UseRealTime()
    ->Repetitions(7)->ReportAggregatesOnly(true);

// The plan run again with another speed: the keys exist, the speed-dependent
// values change.
void BM_ApplyWholePlanAgain(benchmark::State& state)
{
    ferro::SqliteStore store(freshStorePath("again.db"));
    int messages = 0;
    const modRegistry::Registry reg{store, [&](const ferro::Failure&) { ++messages; }};
    std::uint32_t speed = 57;
    for (auto _ : state) {
        speed = speed == 57 ? 20000 : 57;
        for (const ferro::PlanEntry& entry : ferro::tuningPlan())
            ferro::applyPlanEntry(reg, entry, speed);
    }
    if (messages != 0)
        state.SkipWithError("the plan reported write errors");
}
BENCHMARK(BM_ApplyWholePlanAgain)->Unit(benchmark::kMillisecond)->UseRealTime()
    ->Repetitions(7)->ReportAggregatesOnly(true);

void BM_WriteAtKeyCount(benchmark::State& state)
{
    const int keys = static_cast<int>(state.range(0));
    const std::string path = freshStorePath("keys" + std::to_string(keys) + ".db");
    { ferro::SqliteStore create(path); }
    addKeys(path, keys);
    ferro::SqliteStore store(path);
    int messages = 0;
    const modRegistry::Registry reg{store, [&](const ferro::Failure&) { ++messages; }};
    const std::string key = "BenchKey" + std::to_string(keys / 2);
    long long n = 0;
    for (auto _ : state) {
        modRegistry::CreateKey(reg, key, ferro::RootKey::LocalMachine);
        modRegistry::SetKeyValue(reg, ferro::RootKey::LocalMachine, key, "Value", std::to_string(n++),
                                 ferro::kRegSz);
    }
    if (messages != 0)
        state.SkipWithError("the write reported errors");
}
BENCHMARK(BM_WriteAtKeyCount)->Arg(100)->Arg(100000)->Unit(benchmark::kMicrosecond)->UseRealTime()
    ->Repetitions(7)->ReportAggregatesOnly(true);

}  // namespace
