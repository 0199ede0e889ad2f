#include "registry/SqliteStore.h"

#include <sqlite3.h>

#include <cstdlib>
#include <filesystem>
#include <pwd.h>
#include <unistd.h>

namespace ferro {
namespace {

constexpr int kApplicationId = 0x46575247;  // "FWRG": marks our own store files
constexpr int kSchemaVersion = 1;
constexpr int kBusyTimeoutMs = 10000;
constexpr long long kCurrentUserId = 1;
constexpr long long kLocalMachineId = 2;

constexpr Status kStatusBadPath = 161;        // ERROR_BAD_PATHNAME
constexpr Status kStatusBusy = 170;           // ERROR_BUSY
constexpr Status kStatusDiskFull = 112;       // ERROR_DISK_FULL
constexpr Status kStatusIoFailed = 1016;      // ERROR_REGISTRY_IO_FAILED


bool splitPath(const std::string& path, std::vector<std::string>& levels)
{
    levels.clear();
    if (path.empty())
        return true;  // the root itself
    std::size_t start = 0;
    while (true) {
        const std::size_t end = path.find('\\', start);
        std::string level = path.substr(start, end == std::string::npos ? std::string::npos : end - start);
        if (level.empty())
            return false;
        levels.push_back(std::move(level));
        if (end == std::string::npos)
            return true;
        start = end + 1;
    }
}

}  // namespace

// A prepared statement taken from the store's cache (a key path of eight
// levels costs eight look-ups, so preparing each time would dominate), reset
// for the next use when it goes out of scope.
class SqliteStore::Statement {
public:
    Statement(SqliteStore& store, const char* sql)
    {
        sqlite3_stmt*& cached = store.statements_[sql];
        rc_ = cached ? SQLITE_OK
                     : sqlite3_prepare_v3(store.db_, sql, -1, SQLITE_PREPARE_PERSISTENT, &cached, nullptr);
        stmt_ = cached;
    }
    ~Statement()
    {
        sqlite3_reset(stmt_);
        sqlite3_clear_bindings(stmt_);
    }
    Statement(const Statement&) = delete;
    Statement& operator=(const Statement&) = delete;

    Statement& bind(int index, long long v)
    {
        if (rc_ == SQLITE_OK)
            rc_ = sqlite3_bind_int64(stmt_, index, v);
        return *this;
    }
    Statement& bind(int index, const std::string& v)
    {
        if (rc_ == SQLITE_OK)
            rc_ = sqlite3_bind_text(stmt_, index, v.data(), static_cast<int>(v.size()), SQLITE_TRANSIENT);
        return *this;
    }
    Statement& bind(int index, const Bytes& v)
    {
        // An empty blob must still be a blob, not NULL.
        static const std::uint8_t none = 0;
        if (rc_ == SQLITE_OK)
            rc_ = sqlite3_bind_blob(stmt_, index, v.empty() ? &none : v.data(),
                                    static_cast<int>(v.size()), SQLITE_TRANSIENT);
        return *this;
    }
    // SQLITE_ROW, SQLITE_DONE or an error code.
    int step()
    {
        if (rc_ != SQLITE_OK && rc_ != SQLITE_ROW && rc_ != SQLITE_DONE)
            return rc_;
        rc_ = sqlite3_step(stmt_);
        return rc_;
    }
    long long integer(int column) const { return sqlite3_column_int64(stmt_, column); }
    std::string text(int column) const
    {
        const auto* chars = reinterpret_cast<const char*>(sqlite3_column_text(stmt_, column));
        return chars ? std::string(chars, static_cast<std::size_t>(sqlite3_column_bytes(stmt_, column))) : std::string();
    }
    Bytes blob(int column) const
    {
        const auto* data = static_cast<const std::uint8_t*>(sqlite3_column_blob(stmt_, column));
        return Bytes(data, data + sqlite3_column_bytes(stmt_, column));
    }

private:
    sqlite3_stmt* stmt_ = nullptr;
    int rc_;
};

SqliteStore::SqliteStore(const std::string& path, Mode mode) : path_(path), mode_(mode)
{
    try {
        openOrCreate();
    } catch (...) {
        closeDatabase();  // no destructor runs for a constructor that throws
        throw;
    }
}

SqliteStore::~SqliteStore()
{
    closeDatabase();
}

void SqliteStore::closeDatabase()
{
    for (auto& [sql, statement] : statements_)
        sqlite3_finalize(statement);
    statements_.clear();
    sqlite3_close_v2(db_);
    db_ = nullptr;
}

void SqliteStore::openOrCreate()
{
    namespace fs = std::filesystem;
    const bool exists = fs::exists(path_);
    if (!exists && mode_ == Mode::ReadOnly)
        throw StoreError("The registry store " + path_ + " does not exist.");
    if (!exists) {
        std::error_code ec;
        const fs::path parent = fs::path(path_).parent_path();
        if (!parent.empty())
            fs::create_directories(parent, ec);
        if (ec)
            throw StoreError("Cannot create the folder of the registry store " + path_ + ": " + ec.message());
    }

    const int flags = mode_ == Mode::ReadOnly ? SQLITE_OPEN_READONLY
                                              : SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE;
    if (sqlite3_open_v2(path_.c_str(), &db_, flags, nullptr) != SQLITE_OK)
        throw StoreError("Cannot open the registry store " + path_ + ": " + sqlite3_errmsg(db_));
    sqlite3_busy_timeout(db_, kBusyTimeoutMs);
    if (sqlite3_db_readonly(db_, "main") == 1)
        mode_ = Mode::ReadOnly;  // e.g. a file without write permission

    // Only read until the file is known to be ours, so a foreign or damaged
    // file is left exactly as it was.
    auto readInt = [this](const char* sql, long long& out) {
        Statement st(*this, sql);
        const int rc = st.step();
        if (rc == SQLITE_ROW)
            out = st.integer(0);
        return rc == SQLITE_ROW || rc == SQLITE_DONE ? SQLITE_OK : rc;
    };
    long long appId = 0, tables = 0, version = 0;
    int rc = readInt("PRAGMA application_id", appId);
    if (rc == SQLITE_OK)
        rc = readInt("SELECT count(*) FROM sqlite_master", tables);
    if (rc == SQLITE_NOTADB)
        throw StoreError("The file " + path_ + " is not a FerroWinder registry store (it is not an SQLite database). It was left untouched.");
    if (rc != SQLITE_OK)
        throw StoreError("The registry store " + path_ + " is damaged or unreadable (" + sqlite3_errstr(rc) + "). It was left untouched.");

    if (appId == 0 && tables == 0) {
        if (mode_ == Mode::ReadOnly)
            throw StoreError("The registry store " + path_ + " is empty and cannot be set up read-only.");
        // Set up a new store; another process may do the same at once, so
        // decide again inside the write lock.
        rc = sqlite3_exec(db_, "BEGIN IMMEDIATE", nullptr, nullptr, nullptr);
        if (rc == SQLITE_OK)
            rc = readInt("PRAGMA application_id", appId);
        if (rc == SQLITE_OK && appId == 0) {
            const std::string schema =
                "CREATE TABLE keys(id INTEGER PRIMARY KEY, parent INTEGER NOT NULL,"
                " name TEXT NOT NULL, fold TEXT NOT NULL, UNIQUE(parent, fold));"
                "CREATE TABLE vals(key INTEGER NOT NULL, fold TEXT NOT NULL, name TEXT NOT NULL,"
                " type INTEGER NOT NULL, data BLOB NOT NULL, PRIMARY KEY(key, fold)) WITHOUT ROWID;"
                "INSERT INTO keys(id, parent, name, fold) VALUES"
                " (1, 0, 'HKEY_CURRENT_USER', 'hkey_current_user'),"
                " (2, 0, 'HKEY_LOCAL_MACHINE', 'hkey_local_machine');"
                "PRAGMA application_id = " + std::to_string(kApplicationId) +
                "; PRAGMA user_version = " + std::to_string(kSchemaVersion) + ";";
            rc = sqlite3_exec(db_, schema.c_str(), nullptr, nullptr, nullptr);
        }
        if (rc == SQLITE_OK)
            rc = sqlite3_exec(db_, "COMMIT", nullptr, nullptr, nullptr);
        if (rc != SQLITE_OK) {
            const std::string why = sqlite3_errmsg(db_);
            sqlite3_exec(db_, "ROLLBACK", nullptr, nullptr, nullptr);
            throw StoreError("Cannot set up the registry store " + path_ + ": " + why);
        }
        appId = kApplicationId;
    } else if (appId != kApplicationId) {
        throw StoreError("The file " + path_ + " is an SQLite database but not a FerroWinder registry store. It was left untouched.");
    }

    readInt("PRAGMA user_version", version);
    if (version != kSchemaVersion)
        throw StoreError("The registry store " + path_ + " has version " + std::to_string(version) +
                         ", which this program does not know. It was left untouched.");
    Statement check(*this, "PRAGMA quick_check(1)");
    if (check.step() != SQLITE_ROW || check.text(0) != "ok")
        throw StoreError("The registry store " + path_ + " is damaged (its integrity check failed). It was left untouched.");
    if (mode_ == Mode::ReadWrite) {
        // WAL lets the windows and the command-line tool work at once; FULL
        // makes every committed write durable.
        sqlite3_exec(db_, "PRAGMA journal_mode=WAL", nullptr, nullptr, nullptr);
    }
    sqlite3_exec(db_, "PRAGMA synchronous=FULL", nullptr, nullptr, nullptr);
}

void SqliteStore::setBusyTimeout(int milliseconds)
{
    sqlite3_busy_timeout(db_, milliseconds);
}

Status SqliteStore::statusOf(int rc) const
{
    switch (rc & 0xFF) {
    case SQLITE_OK:
    case SQLITE_ROW:
    case SQLITE_DONE: return kStatusOk;
    case SQLITE_READONLY:
    case SQLITE_PERM:
    case SQLITE_AUTH: return kStatusAccessDenied;
    case SQLITE_CORRUPT:
    case SQLITE_NOTADB: return kStatusRegistryCorrupt;
    case SQLITE_BUSY:
    case SQLITE_LOCKED: return kStatusBusy;
    case SQLITE_FULL: return kStatusDiskFull;
    default: return kStatusIoFailed;
    }
}

Status SqliteStore::exec(const char* sql)
{
    return statusOf(sqlite3_exec(db_, sql, nullptr, nullptr, nullptr));
}

KeyHandle SqliteStore::addHandle(long long keyId, bool writable)
{
    const KeyHandle handle = nextHandle_++;
    handles_[handle] = OpenKey{keyId, writable};
    return handle;
}

const SqliteStore::OpenKey* SqliteStore::lookup(KeyHandle key) const
{
    const auto it = handles_.find(key);
    return it == handles_.end() ? nullptr : &it->second;
}

// Walks the path level by level; kStatusNotFound at the first missing level.
Status SqliteStore::findKey(RootKey root, const std::string& path, long long& keyId)
{
    std::vector<std::string> levels;
    if (!splitPath(path, levels))
        return kStatusBadPath;
    keyId = root == RootKey::CurrentUser ? kCurrentUserId : kLocalMachineId;
    for (const std::string& level : levels) {
        Statement st(*this, "SELECT id FROM keys WHERE parent = ?1 AND fold = ?2");
        st.bind(1, keyId).bind(2, foldName(level));
        const int rc = st.step();
        if (rc == SQLITE_DONE)
            return kStatusNotFound;
        if (rc != SQLITE_ROW)
            return statusOf(rc);
        keyId = st.integer(0);
    }
    return kStatusOk;
}

Status SqliteStore::createKey(RootKey root, const std::string& path, KeyHandle& out)
{
    out = 0;
    if (mode_ == Mode::ReadOnly)
        return kStatusAccessDenied;
    long long keyId = 0;
    Status status = findKey(root, path, keyId);
    if (status == kStatusOk) {
        out = addHandle(keyId, true);
        return kStatusOk;
    }
    if (status != kStatusNotFound)
        return status;

    // Some level is missing: create them all in one transaction.
    status = exec("BEGIN IMMEDIATE");
    if (status != kStatusOk)
        return status;
    std::vector<std::string> levels;
    splitPath(path, levels);
    keyId = root == RootKey::CurrentUser ? kCurrentUserId : kLocalMachineId;
    for (const std::string& level : levels) {
        Statement insert(*this, "INSERT INTO keys(parent, name, fold) VALUES(?1, ?2, ?3)"
                              " ON CONFLICT(parent, fold) DO NOTHING");
        int rc = insert.bind(1, keyId).bind(2, level).bind(3, foldName(level)).step();
        Statement find(*this, "SELECT id FROM keys WHERE parent = ?1 AND fold = ?2");
        if (rc == SQLITE_DONE)
            rc = find.bind(1, keyId).bind(2, foldName(level)).step();
        if (rc != SQLITE_ROW) {
            exec("ROLLBACK");
            return statusOf(rc);
        }
        keyId = find.integer(0);
    }
    status = exec("COMMIT");
    if (status != kStatusOk) {
        exec("ROLLBACK");
        return status;
    }
    out = addHandle(keyId, true);
    return kStatusOk;
}

Status SqliteStore::openKey(RootKey root, const std::string& path, std::uint32_t access,
                            KeyHandle& out)
{
    out = 0;
    long long keyId = 0;
    const Status status = findKey(root, path, keyId);
    if (status != kStatusOk)
        return status;
    const bool wantsWrite = (access & kKeyModifyingRights) != 0;
    if (wantsWrite && mode_ == Mode::ReadOnly)
        return kStatusAccessDenied;
    out = addHandle(keyId, wantsWrite);
    return kStatusOk;
}

Status SqliteStore::setValue(KeyHandle key, const std::string& name, std::uint32_t type,
                             const Bytes& data)
{
    const OpenKey* open = lookup(key);
    if (!open)
        return kStatusInvalidHandle;
    if (!open->writable || mode_ == Mode::ReadOnly)
        return kStatusAccessDenied;
    // One statement, so one transaction; a replaced value keeps the spelling
    // of its name.
    Statement st(*this, "INSERT INTO vals(key, fold, name, type, data) VALUES(?1, ?2, ?3, ?4, ?5)"
                      " ON CONFLICT(key, fold) DO UPDATE SET type = excluded.type, data = excluded.data");
    return statusOf(st.bind(1, open->keyId).bind(2, foldName(name)).bind(3, name)
                        .bind(4, static_cast<long long>(type)).bind(5, data).step());
}

Status SqliteStore::queryValue(KeyHandle key, const std::string& name, std::uint32_t& type,
                               Bytes& data)
{
    const OpenKey* open = lookup(key);
    if (!open)
        return kStatusInvalidHandle;
    Statement st(*this, "SELECT type, data FROM vals WHERE key = ?1 AND fold = ?2");
    const int rc = st.bind(1, open->keyId).bind(2, foldName(name)).step();
    if (rc == SQLITE_DONE)
        return kStatusNotFound;
    if (rc != SQLITE_ROW)
        return statusOf(rc);
    type = static_cast<std::uint32_t>(st.integer(0));
    data = st.blob(1);
    return kStatusOk;
}

Status SqliteStore::deleteValue(KeyHandle key, const std::string& name)
{
    const OpenKey* open = lookup(key);
    if (!open)
        return kStatusInvalidHandle;
    if (!open->writable || mode_ == Mode::ReadOnly)
        return kStatusAccessDenied;
    Statement st(*this, "DELETE FROM vals WHERE key = ?1 AND fold = ?2");
    const int rc = st.bind(1, open->keyId).bind(2, foldName(name)).step();
    if (rc != SQLITE_DONE)
        return statusOf(rc);
    return sqlite3_changes(db_) == 0 ? kStatusNotFound : kStatusOk;
}

void SqliteStore::closeKey(KeyHandle key)
{
    handles_.erase(key);
}

std::string defaultStorePath()
{
    std::string base;
    if (const char* xdg = std::getenv("XDG_DATA_HOME"); xdg && *xdg) {
        base = xdg;
    } else {
        const char* home = std::getenv("HOME");
        if (!home || !*home) {
            const passwd* pw = getpwuid(getuid());
            home = pw ? pw->pw_dir : "/tmp";
        }
        base = std::string(home) + "/.local/share";
    }
    return base + "/FerroWinder/registry.db";
}

}  // namespace ferro
