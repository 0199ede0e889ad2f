// ferrowinder-cli as a user runs it, one process per call, against the
// sqlite3 shell making the same commits. Targets (medians, 2-core machine):
// - apply to a new store: at most 1.2 times the shell's time for the same
//   commits (bench/cli_figures.sh counts the flushes: at most 40);
// - import of 100,000 values: at most 2 s (and at most 4 flushes);
// - show and apply on a store of 100,000 values: at most 1.2 times the time
//   on a store of 20 values;
// - reading a .reg file: linear in its size (a 200 KB binary value, 640 KB of
//   continued lines, as fast per byte as a 20 KB one).
// `ferro_bench --same-commits-sql` prints the shell's script.
#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <spawn.h>
#include <sqlite3.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <map>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "registry/RegFile.h"
#include "registry/SqliteStore.h"
#include "registry/modRegistry.h"
#include "tuning/TuningPlan.h"

extern char** environ;

namespace {

namespace fs = std::filesystem;

fs::path benchFolder()
{
    const fs::path dir = fs::temp_directory_path() / ("ferro-cli-bench-" + std::to_string(::getpid()));
    fs::create_directories(dir);
    return dir;
}

void removeStore(const fs::path& path)
{
    for (const char* suffix : {"", "-wal", "-shm", "-journal"})
        fs::remove(path.string() + suffix);
}

// Runs a program to its end, stdin from `input` (or nothing), output dropped.
int run(const std::vector<std::string>& args, const std::string& input = "/dev/null")
{
    std::vector<char*> argv;
    for (const std::string& a : args)
        argv.push_back(const_cast<char*>(a.c_str()));
    argv.push_back(nullptr);
    posix_spawn_file_actions_t io;
    posix_spawn_file_actions_init(&io);
    posix_spawn_file_actions_addopen(&io, 0, input.c_str(), O_RDONLY, 0);
    posix_spawn_file_actions_addopen(&io, 1, "/dev/null", O_WRONLY, 0);
    posix_spawn_file_actions_addopen(&io, 2, "/dev/null", O_WRONLY, 0);
    pid_t pid = 0;
    const int spawned = posix_spawnp(&pid, argv[0], &io, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&io);
    if (spawned != 0)
        return -1;
    int status = 0;
    waitpid(pid, &status, 0);
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

std::string blobLiteral(const ferro::Bytes& bytes)
{
    std::string out = "X'";
    char hex[3];
    for (std::uint8_t b : bytes) {
        std::snprintf(hex, sizeof hex, "%02X", b);
        out += hex;
    }
    return out + "'";
}

std::string quotedSql(const std::string& text)
{
    std::string out = "'";
    for (char c : text)
        out += c == '\'' ? std::string("''") : std::string(1, c);
    return out + "'";
}

// The commits `apply --speed 57` makes on a new store, as SQL: the store set
// up in one transaction, then write-ahead logging, then per step one
// transaction for the missing key levels and one for the value.
std::string sameCommitsSql()
{
    std::string sql =
        "BEGIN IMMEDIATE;\n"
        "CREATE TABLE keys(id INTEGER PRIMARY KEY, parent INTEGER NOT NULL, name TEXT NOT NULL,"
        " fold TEXT NOT NULL, UNIQUE(parent, fold));\n"
        "CREATE TABLE vals(key INTEGER NOT NULL, fold TEXT NOT NULL, name TEXT NOT NULL,"
        " type INTEGER NOT NULL, data BLOB NOT NULL, PRIMARY KEY(key, fold)) WITHOUT ROWID;\n"
        "INSERT INTO keys VALUES (1, 0, 'HKEY_CURRENT_USER', 'hkey_current_user'),"
        " (2, 0, 'HKEY_LOCAL_MACHINE', 'hkey_local_machine');\n"
        "PRAGMA application_id = 1180127815; PRAGMA user_version = 1;\nCOMMIT;\n"
        "PRAGMA journal_mode=WAL;\nPRAGMA synchronous=FULL;\n";
    std::map<std::string, long long> ids;  // folded root\\path -> id
    long long nextId = 3;
    for (const ferro::PlanEntry& e : ferro::tuningPlan()) {
        const std::optional<std::string> data = ferro::planData(e, 57);
        if (!data)
            continue;
        long long parent = e.root == ferro::RootKey::CurrentUser ? 1 : 2;
        std::string path = std::to_string(parent);
        std::string inserts;
        const std::string keyPath = e.keyPath;
        for (std::size_t start = 0; start <= keyPath.size();) {
            std::size_t end = keyPath.find('\\', start);
            if (end == std::string::npos)
                end = keyPath.size();
            const std::string level = keyPath.substr(start, end - start);
            path += "\\" + ferro::foldName(level);
            auto [it, added] = ids.try_emplace(path, nextId);
            if (added) {
                inserts += "INSERT INTO keys VALUES (" + std::to_string(nextId++) + ", " + std::to_string(parent) +
                           ", " + quotedSql(level) + ", " + quotedSql(ferro::foldName(level)) + ");\n";
            }
            parent = it->second;
            start = end + 1;
        }
        if (!inserts.empty())
            sql += "BEGIN IMMEDIATE;\n" + inserts + "COMMIT;\n";
        ferro::Bytes bytes;
        (void)modRegistry::encodeData(e.type, *data, bytes);
        sql += "INSERT INTO vals VALUES (" + std::to_string(parent) + ", " + quotedSql(ferro::foldName(e.valueName)) +
               ", " + quotedSql(e.valueName) + ", " + std::to_string(e.type) + ", " + blobLiteral(bytes) +
               ") ON CONFLICT(key, fold) DO UPDATE SET type = excluded.type, data = excluded.data;\n";
    }
    return sql;
}

// The disk's flush time swings widely on a shared machine, so the two sides of
// each comparison run in turns within one benchmark, and the ratio of their
// totals is reported (counters in ms; "ratio" is first / second).
template <class First, class Second>
void inTurns(benchmark::State& state, const char* firstName, First first, const char* secondName,
             Second second)
{
    using Clock = std::chrono::steady_clock;
    double firstMs = 0, secondMs = 0;
    int failures = 0;
    for (auto _ : state) {
        const auto t0 = Clock::now();
        failures += first() != 0;
        const auto t1 = Clock::now();
        failures += second() != 0;
        const auto t2 = Clock::now();
        firstMs += std::chrono::duration<double, std::milli>(t1 - t0).count();
        secondMs += std::chrono::duration<double, std::milli>(t2 - t1).count();
        state.SetIterationTime(std::chrono::duration<double>(t2 - t0).count());
    }
    const double n = static_cast<double>(state.iterations());
    state.counters[firstName] = firstMs / n;
    state.counters[secondName] = secondMs / n;
    state.counters["ratio"] = firstMs / secondMs;
    if (failures)
        state.SkipWithError("a run failed");
}

void BM_ApplyToNewStoreCliVsShell(benchmark::State& state)
{
    const fs::path store = benchFolder() / "apply-new.db";
    const fs::path shellStore = benchFolder() / "shell-new.db";
    const fs::path script = benchFolder() / "same-commits.sql";
    std::ofstream(script) << sameCommitsSql();
    inTurns(
        state, "cli_ms",
        [&] {
            removeStore(store);
            return run({FERRO_CLI_PATH, "apply", "--speed", "57", "--registry", store.string()});
        },
        "shell_ms",
        [&] {
            removeStore(shellStore);
            return run({"sqlite3", "-bail", shellStore.string()}, script.string());
        });
}
BENCHMARK(BM_ApplyToNewStoreCliVsShell)->UseManualTime()->Unit(benchmark::kMillisecond)->Repetitions(9)
    ->ReportAggregatesOnly(true);

// A .reg file of `count` small values, 100 to a key.
std::string regFileOf(int count)
{
    std::string text = "Windows Registry Editor Version 5.00\r\n";
    for (int i = 0; i < count; ++i) {
        if (i % 100 == 0)
            text += "\r\n[HKEY_LOCAL_MACHINE\\Software\\FerroBench\\Key" + std::to_string(i / 100) + "]\r\n";
        text += "\"Value" + std::to_string(i % 100) + "\"=\"data " + std::to_string(i) + "\"\r\n";
    }
    return text;
}

// A store of ours holding `count` values besides the plan's, filled in one
// transaction.
void makeStoreWithValues(const fs::path& path, int count)
{
    removeStore(path);
    { ferro::SqliteStore create(path.string()); }
    sqlite3* db = nullptr;
    sqlite3_open(path.string().c_str(), &db);
    sqlite3_exec(db, "BEGIN; INSERT INTO keys(id, parent, name, fold) VALUES (1000000, 2, 'Bulk', 'bulk');",
                 nullptr, nullptr, nullptr);
    sqlite3_stmt* insert = nullptr;
    sqlite3_prepare_v2(db, "INSERT INTO vals VALUES (1000000, lower(?1), ?1, 1, ?2)", -1, &insert, nullptr);
    for (int i = 0; i < count; ++i) {
        const std::string name = "Value" + std::to_string(i);
        const std::string data = "some data of a value " + std::to_string(i);
        sqlite3_bind_text(insert, 1, name.c_str(), -1, SQLITE_TRANSIENT);
        sqlite3_bind_blob(insert, 2, data.c_str(), static_cast<int>(data.size() + 1), SQLITE_TRANSIENT);
        sqlite3_step(insert);
        sqlite3_reset(insert);
    }
    sqlite3_finalize(insert);
    sqlite3_exec(db, "COMMIT", nullptr, nullptr, nullptr);
    sqlite3_close(db);
}

void BM_CliImport(benchmark::State& state)
{
    const int count = static_cast<int>(state.range(0));
    const fs::path file = benchFolder() / ("import" + std::to_string(count) + ".reg");
    std::ofstream(file, std::ios::binary) << regFileOf(count);
    const fs::path store = benchFolder() / "import.db";
    int failures = 0;
    for (auto _ : state) {
        state.PauseTiming();
        removeStore(store);
        { ferro::SqliteStore create(store.string()); }
        state.ResumeTiming();
        failures += run({FERRO_CLI_PATH, "import", file.string(), "--registry", store.string()}) != 0;
    }
    if (failures)
        state.SkipWithError("import failed");
}
BENCHMARK(BM_CliImport)->Arg(2000)->Arg(100000)->Unit(benchmark::kMillisecond)->UseRealTime()
    ->Repetitions(5)->ReportAggregatesOnly(true);

void BM_ShowLargeVsSmallStore(benchmark::State& state)
{
    const fs::path large = benchFolder() / "show-large.db";
    const fs::path small = benchFolder() / "show-small.db";
    makeStoreWithValues(large, 100000);
    makeStoreWithValues(small, 20);
    for (const fs::path& store : {large, small})
        run({FERRO_CLI_PATH, "apply", "--speed", "57", "--registry", store.string()});
    inTurns(
        state, "large_ms", [&] { return run({FERRO_CLI_PATH, "show", "--registry", large.string()}); },
        "small_ms", [&] { return run({FERRO_CLI_PATH, "show", "--registry", small.string()}); });
}
BENCHMARK(BM_ShowLargeVsSmallStore)->UseManualTime()->Unit(benchmark::kMillisecond)->Repetitions(9)
    ->ReportAggregatesOnly(true);

// Each run changes the speed-dependent values, so every run really writes.
void BM_ApplyLargeVsSmallStore(benchmark::State& state)
{
    const fs::path large = benchFolder() / "apply-large.db";
    const fs::path small = benchFolder() / "apply-small.db";
    makeStoreWithValues(large, 100000);
    makeStoreWithValues(small, 20);
    bool fast = false;
    auto apply = [&](const fs::path& store) {
        return run({FERRO_CLI_PATH, "apply", "--speed", fast ? "20000" : "57", "--registry", store.string()});
    };
    inTurns(
        state, "large_ms", [&] { fast = !fast; return apply(large); }, "small_ms", [&] { return apply(small); });
}
BENCHMARK(BM_ApplyLargeVsSmallStore)->UseManualTime()->Unit(benchmark::kMillisecond)->Repetitions(9)
    ->ReportAggregatesOnly(true);

// One binary value of `range` bytes as the registry editor writes it: 25
// bytes to a continued line.
void BM_ReadLongHexValue(benchmark::State& state)
{
    const std::size_t bytes = static_cast<std::size_t>(state.range(0));
    std::string text = "Windows Registry Editor Version 5.00\r\n\r\n[HKEY_LOCAL_MACHINE\\Software\\Big]\r\n\"Blob\"=hex:";
    for (std::size_t i = 0; i < bytes; ++i)
        text += i + 1 == bytes ? "5a" : (i % 25 == 24 ? "5a,\\\r\n  " : "5a,");
    for (auto _ : state)
        benchmark::DoNotOptimize(ferro::readRegFile(text));
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * text.size()));
}
BENCHMARK(BM_ReadLongHexValue)->Arg(20 << 10)->Arg(40 << 10)->Arg(200 << 10)->Unit(benchmark::kMillisecond)
    ->Repetitions(5)->ReportAggregatesOnly(true);

}  // namespace

int main(int argc, char** argv)
{
    if (argc == 2 && std::strcmp(argv[1], "--same-commits-sql") == 0) {
        std::cout << sameCommitsSql();
        return 0;
    }
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    std::error_code ec;
    fs::remove_all(benchFolder(), ec);  // stores of 100,000 values are not left behind
    return 0;
}
