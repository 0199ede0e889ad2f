// What only the embedded store does: its file, its locks and its failures.
#ifndef _WIN32
#include <gtest/gtest.h>
#include <sqlite3.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "platform/DefaultRegistry.h"
#include "registry/SqliteStore.h"
#include "registry/TestRegistry.h"
#include "registry/modRegistry.h"
#include "wizard/RegistryMessages.h"

namespace ferro {
namespace {

namespace fs = std::filesystem;
using test::TestRegistry;

std::string fileBytes(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
}

void writeFile(const std::string& path, const std::string& bytes)
{
    std::ofstream(path, std::ios::binary | std::ios::trunc) << bytes;
}

// Opening must fail with a message naming the file, and leave it as it was.
void expectRefusedAndUntouched(const std::string& path)
{
    const std::string before = fileBytes(path);
    try {
        SqliteStore store(path);
        ADD_FAILURE() << "opened " << path;
    } catch (const StoreError& e) {
        EXPECT_NE(std::string(e.what()).find(path), std::string::npos) << e.what();
    }
    EXPECT_EQ(fileBytes(path), before);
}

// A store of ours with enough values to fill several pages.
std::string fullStore(const std::string& path)
{
    {
        SqliteStore store(path);
        KeyGuard key(store);
        store.createKey(RootKey::LocalMachine, "Software\\Many", key.handle);
        EXPECT_EQ(store.beginChanges(), kStatusOk);
        for (int i = 0; i < 400; ++i)
            store.setValue(key.handle, "Value" + std::to_string(i), kRegSz, Bytes(64, 'x'));
        EXPECT_EQ(store.commitChanges(), kStatusOk);
    }
    return fileBytes(path);
}

void sqlite(const std::string& path, const char* sql)
{
    sqlite3* db = nullptr;
    ASSERT_EQ(sqlite3_open(path.c_str(), &db), SQLITE_OK);
    EXPECT_EQ(sqlite3_exec(db, sql, nullptr, nullptr, nullptr), SQLITE_OK) << sqlite3_errmsg(db);
    sqlite3_close(db);
}

TEST(SqliteStore, ForeignAndDamagedFilesAreRefusedAndLeftUntouched)
{
    TestRegistry reg;
    const std::string dir = reg.folder();
    const std::string whole = fullStore(dir + "/whole.db");
    ASSERT_GT(whole.size(), 3 * 4096u);

    std::string overwritten = whole;  // pages 2 and 3: the keys table and its index
    for (std::size_t i = 4096; i < 3 * 4096; ++i)
        overwritten[i] = static_cast<char>(0xA5);
    const struct {
        const char* name;
        std::string bytes;
    } damaged[] = {
        {"text", "This is a shopping list, not a registry.\n"},
        {"cut1", whole.substr(0, 1)},
        {"cut30", whole.substr(0, 30)},
        {"cut50", whole.substr(0, 50)},
        {"cut60", whole.substr(0, 60)},
        {"cut90", whole.substr(0, 90)},
        {"cut1000", whole.substr(0, 1000)},
        {"cutPage", whole.substr(0, 4096)},
        {"cutHalf", whole.substr(0, whole.size() / 2)},
        {"overwritten", overwritten},
    };
    for (const auto& d : damaged) {
        SCOPED_TRACE(d.name);
        writeFile(dir + "/" + d.name + ".db", d.bytes);
        expectRefusedAndUntouched(dir + "/" + d.name + ".db");
    }

    // SQLite databases that are not stores: foreign; ours by id with foreign
    // tables; ours with a table missing; an empty database of a few bytes.
    const struct {
        const char* name;
        const char* sql;
    } foreign[] = {
        {"songs", "CREATE TABLE songs(title TEXT); INSERT INTO songs VALUES('x');"},
        {"ourId", "PRAGMA application_id = 1180127815; PRAGMA user_version = 1; CREATE TABLE songs(title TEXT);"},
        {"noVals", "PRAGMA application_id = 1180127815; PRAGMA user_version = 1;"
                   "CREATE TABLE keys(id INTEGER PRIMARY KEY, parent INTEGER NOT NULL,"
                   " name TEXT NOT NULL, fold TEXT NOT NULL, UNIQUE(parent, fold));"},
        {"vacuumed", "VACUUM;"},
    };
    for (const auto& f : foreign) {
        SCOPED_TRACE(f.name);
        sqlite(dir + "/" + f.name + ".db", f.sql);
        expectRefusedAndUntouched(dir + "/" + f.name + ".db");
    }
}

// Neither a folder, a device nor a FIFO is opened (a FIFO would block), and
// nothing is left beside them.
TEST(SqliteStore, NotARegularFileIsRefusedAtOnce)
{
    TestRegistry reg;
    const std::string fifo = reg.folder() + "/fifo";
    ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
    for (const std::string& path : {reg.folder(), fifo, std::string("/dev/null")}) {
        SCOPED_TRACE(path);
        const auto start = std::chrono::steady_clock::now();
        try {
            SqliteStore store(path);
            ADD_FAILURE() << "opened";
        } catch (const StoreError& e) {
            EXPECT_NE(std::string(e.what()).find(path), std::string::npos) << e.what();
        }
        EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(2));
        EXPECT_FALSE(fs::exists(path + "-journal"));
    }
}

TEST(SqliteStore, WritesGoThroughTheWriteAheadLogAlsoForAnOlderStore)
{
    TestRegistry reg;
    const std::string path = reg.folder() + "/old.db";
    fullStore(path);
    sqlite(path, "PRAGMA journal_mode=DELETE");  // as stores were kept before
    { SqliteStore store(path); }
    sqlite3* db = nullptr;
    ASSERT_EQ(sqlite3_open(path.c_str(), &db), SQLITE_OK);
    sqlite3_stmt* st = nullptr;
    ASSERT_EQ(sqlite3_prepare_v2(db, "PRAGMA journal_mode", -1, &st, nullptr), SQLITE_OK);
    ASSERT_EQ(sqlite3_step(st), SQLITE_ROW);
    EXPECT_STREQ(reinterpret_cast<const char*>(sqlite3_column_text(st, 0)), "wal");
    sqlite3_finalize(st);
    sqlite3_close(db);
}

TEST(SqliteStore, ReadOnlyRefusesEveryWriteWith5)
{
    TestRegistry reg;
    const std::string key = reg.key("Locked");
    {
        KeyGuard k(reg.backend());
        ASSERT_EQ(reg.backend().createKey(RootKey::LocalMachine, key, k.handle), kStatusOk);
        ASSERT_EQ(reg.backend().setValue(k.handle, "v", kRegSz, {'1', 0}), kStatusOk);
    }
    SqliteStore readOnly(reg.storePath(), SqliteStore::Mode::ReadOnly);
    KeyGuard k(readOnly);
    EXPECT_EQ(readOnly.createKey(RootKey::LocalMachine, key, k.handle), kStatusAccessDenied);
    EXPECT_EQ(readOnly.openKey(RootKey::LocalMachine, key, kKeyWriteAccess, k.handle), kStatusAccessDenied);
    ASSERT_EQ(readOnly.openKey(RootKey::LocalMachine, key, kKeyReadAccess, k.handle), kStatusOk);
    EXPECT_EQ(readOnly.setValue(k.handle, "v", kRegSz, {'2', 0}), kStatusAccessDenied);
    EXPECT_EQ(readOnly.deleteValue(k.handle, "v"), kStatusAccessDenied);
    std::uint32_t type = 0;
    Bytes data;
    EXPECT_EQ(readOnly.queryValue(k.handle, "v", type, data), kStatusOk);
    EXPECT_EQ(data, (Bytes{'1', 0}));

    // Through the registry layer the user sees both messages.
    std::vector<std::string> messages;
    const modRegistry::Registry layer{readOnly, [&](const Failure& f) { messages.push_back(registryFailureText(f)); }};
    modRegistry::CreateKey(layer, key, RootKey::LocalMachine);
    modRegistry::SetKeyValue(layer, RootKey::LocalMachine, key, "v", "3", kRegSz);
    EXPECT_EQ(messages, (std::vector<std::string>{"RegOpenKey error - 5", "SetValue error - 6"}));
}

TEST(SqliteStore, HandlesAndPathsThatAreNoGood)
{
    TestRegistry reg;
    RegistryBackend& store = reg.backend();
    std::uint32_t type = 0;
    Bytes data;
    EXPECT_EQ(store.setValue(0, "v", kRegSz, {0}), kStatusInvalidHandle);
    EXPECT_EQ(store.queryValue(12345, "v", type, data), kStatusInvalidHandle);
    KeyHandle h = 0;
    ASSERT_EQ(store.createKey(RootKey::CurrentUser, reg.key("K"), h), kStatusOk);
    store.closeKey(h);
    EXPECT_EQ(store.setValue(h, "v", kRegSz, {0}), kStatusInvalidHandle);  // closed
    store.closeKey(0);                                                     // harmless

    KeyHandle bad = 0;
    EXPECT_NE(store.createKey(RootKey::LocalMachine, "A\\\\B", bad), kStatusOk);
    EXPECT_NE(store.createKey(RootKey::LocalMachine, "\\A", bad), kStatusOk);
    EXPECT_EQ(bad, 0u);
    // The two roots are separate trees.
    EXPECT_EQ(store.openKey(RootKey::LocalMachine, reg.key("K"), kKeyReadAccess, bad), kStatusNotFound);
}

TEST(SqliteStore, ANewStoreGetsItsFolderAndTheDefaultPathFollowsXdg)
{
    TestRegistry reg;
    const std::string path = reg.folder() + "/new/deeper/registry.db";
    { SqliteStore store(path); }
    EXPECT_TRUE(fs::exists(path));
    { SqliteStore again(path); }  // and opens again as ours

    // An existing empty file (one made with touch) becomes a store too, and
    // keeps what is written to it.
    const std::string empty = reg.folder() + "/empty.db";
    writeFile(empty, "");
    {
        SqliteStore store(empty);
        ASSERT_EQ(writeValue(store, {RootKey::LocalMachine, "Software\\Kept", "v"}, kRegSz, {'1', 0}), kStatusOk);
    }
    SqliteStore reopened(empty, SqliteStore::Mode::ReadOnly);
    ValueState kept;
    EXPECT_EQ(readValue(reopened, {RootKey::LocalMachine, "Software\\Kept", "v"}, kept), kStatusOk);
    EXPECT_EQ(kept.data, (Bytes{'1', 0}));

    const char* old = std::getenv("XDG_DATA_HOME");
    const std::string saved = old ? old : "";
    setenv("XDG_DATA_HOME", "/srv/data", 1);
    EXPECT_EQ(defaultStorePath(), "/srv/data/FerroWinder/registry.db");
    unsetenv("XDG_DATA_HOME");
    EXPECT_NE(defaultStorePath().find("/.local/share/FerroWinder/registry.db"), std::string::npos);
    if (old)
        setenv("XDG_DATA_HOME", saved.c_str(), 1);
}

// Holds the store's write lock from another process for holdMs.
pid_t lockFromAnotherProcess(const std::string& path, int holdMs)
{
    int ready[2];
    EXPECT_EQ(pipe(ready), 0);
    const pid_t child = fork();
    if (child == 0) {
        sqlite3* db = nullptr;
        sqlite3_open(path.c_str(), &db);
        const int rc = sqlite3_exec(db, "BEGIN IMMEDIATE", nullptr, nullptr, nullptr);
        const char signal = rc == SQLITE_OK ? 'y' : 'n';
        (void)!write(ready[1], &signal, 1);
        usleep(static_cast<useconds_t>(holdMs) * 1000);
        sqlite3_exec(db, "COMMIT", nullptr, nullptr, nullptr);
        sqlite3_close(db);
        _exit(0);
    }
    char signal = 0;
    EXPECT_EQ(read(ready[0], &signal, 1), 1);
    EXPECT_EQ(signal, 'y');
    close(ready[0]);
    close(ready[1]);
    return child;
}

TEST(SqliteStore, AWriteWaitsForAnotherProcessAndGivesUpCleanly)
{
    TestRegistry reg;
    auto& store = static_cast<SqliteStore&>(reg.backend());
    KeyGuard key(store);
    ASSERT_EQ(store.createKey(RootKey::LocalMachine, reg.key("Shared"), key.handle), kStatusOk);

    // A short lock: the write waits and then goes through.
    pid_t holder = lockFromAnotherProcess(reg.storePath(), 300);
    const auto start = std::chrono::steady_clock::now();
    EXPECT_EQ(store.setValue(key.handle, "v", kRegSz, {'1', 0}), kStatusOk);
    EXPECT_GE(std::chrono::steady_clock::now() - start, std::chrono::milliseconds(200));
    waitpid(holder, nullptr, 0);

    // A lock held longer than the write will wait: busy, nothing changed.
    store.setBusyTimeout(100);
    holder = lockFromAnotherProcess(reg.storePath(), 1500);
    EXPECT_EQ(store.setValue(key.handle, "v", kRegSz, {'2', 0}), 170);
    waitpid(holder, nullptr, 0);
    std::uint32_t type = 0;
    Bytes data;
    EXPECT_EQ(store.queryValue(key.handle, "v", type, data), kStatusOk);
    EXPECT_EQ(data, (Bytes{'1', 0}));
}

// A change is kept whole or not at all, also by another process's eyes.
TEST(SqliteStore, ChangesAreKeptTogetherOrDiscarded)
{
    TestRegistry reg;
    auto& store = static_cast<SqliteStore&>(reg.backend());
    KeyGuard key(store);
    ASSERT_EQ(store.createKey(RootKey::LocalMachine, reg.key("Batch"), key.handle), kStatusOk);
    ASSERT_EQ(store.setValue(key.handle, "kept", kRegSz, {'0', 0}), kStatusOk);
    auto valuesSeenByAnother = [&] {
        SqliteStore other(reg.storePath(), SqliteStore::Mode::ReadOnly);
        std::vector<std::string> seen;
        for (const char* name : {"kept", "a", "b"}) {
            ValueState state;
            if (readValue(other, {RootKey::LocalMachine, reg.key("Batch"), name}, state) == kStatusOk)
                seen.push_back(name + std::string("=") + reinterpret_cast<const char*>(state.data.data()));
        }
        return seen;
    };

    ASSERT_EQ(store.beginChanges(), kStatusOk);
    EXPECT_EQ(store.setValue(key.handle, "a", kRegSz, {'1', 0}), kStatusOk);
    EXPECT_EQ(store.deleteValue(key.handle, "kept"), kStatusOk);
    EXPECT_EQ(valuesSeenByAnother(), (std::vector<std::string>{"kept=0"}));
    store.discardChanges();
    EXPECT_EQ(valuesSeenByAnother(), (std::vector<std::string>{"kept=0"}));

    ASSERT_EQ(store.beginChanges(), kStatusOk);
    EXPECT_EQ(store.setValue(key.handle, "a", kRegSz, {'1', 0}), kStatusOk);
    EXPECT_EQ(store.setValue(key.handle, "b", kRegSz, {'2', 0}), kStatusOk);
    EXPECT_EQ(store.commitChanges(), kStatusOk);
    EXPECT_EQ(valuesSeenByAnother(), (std::vector<std::string>{"kept=0", "a=1", "b=2"}));
}

TEST(SqliteStore, AStoreLockedLongerThanTheWaitIsReportedAsLocked)
{
    TestRegistry reg;
    const std::string path = reg.storePath();
    int ready[2];
    ASSERT_EQ(pipe(ready), 0);
    const pid_t child = fork();
    if (child == 0) {
        sqlite3* db = nullptr;
        sqlite3_open(path.c_str(), &db);
        const int rc = sqlite3_exec(db, "PRAGMA locking_mode=EXCLUSIVE; BEGIN EXCLUSIVE;", nullptr, nullptr, nullptr);
        const char signal = rc == SQLITE_OK ? 'y' : 'n';
        (void)!write(ready[1], &signal, 1);
        usleep(1500 * 1000);
        sqlite3_close(db);
        _exit(0);
    }
    char signal = 0;
    ASSERT_EQ(read(ready[0], &signal, 1), 1);
    ASSERT_EQ(signal, 'y');
    const std::string before = fileBytes(path);
    try {
        SqliteStore store(path, SqliteStore::Mode::ReadWrite, 100);
        ADD_FAILURE() << "opened a locked store";
    } catch (const StoreError& e) {
        EXPECT_NE(std::string(e.what()).find("locked by another program"), std::string::npos) << e.what();
        EXPECT_NE(std::string(e.what()).find(path), std::string::npos) << e.what();
    }
    waitpid(child, nullptr, 0);
    EXPECT_EQ(fileBytes(path), before);
}

}  // namespace
}  // namespace ferro
#endif
