#include "registry/SqliteStore.h"

#include <sqlite3.h>

#include <fcntl.h>
#include <sys/stat.h>
#include <sys/statvfs.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <unistd.h>

namespace ferro {
namespace {

constexpr int kApplicationId = 0x46575247;  // "FWRG": marks our own store files
constexpr int kSchemaVersion = 1;
constexpr int kRetryMs = 10;
constexpr long long kCurrentUserId = 1;
constexpr long long kLocalMachineId = 2;


// The tables as created; an existing store must have them exactly so.
constexpr const char* kKeysTable =
    "CREATE TABLE keys(id INTEGER PRIMARY KEY, parent INTEGER NOT NULL,"
    " name TEXT NOT NULL, fold TEXT NOT NULL, UNIQUE(parent, fold))";
constexpr const char* kValsTable =
    "CREATE TABLE vals(key INTEGER NOT NULL, fold TEXT NOT NULL, name TEXT NOT NULL,"
    " type INTEGER NOT NULL, data BLOB NOT NULL, PRIMARY KEY(key, fold)) WITHOUT ROWID";

// What an SQLite result means for the store's file, in words.
std::string storeProblem(int rc)
{
    switch (rc & 0xFF) {
    case SQLITE_NOTADB: return "is not a FerroWinder registry store (it is not an SQLite database)";
    case SQLITE_CORRUPT: return "is damaged";
    case SQLITE_BUSY:
    case SQLITE_LOCKED: return "is locked by another program; try again when that program is done";
    case SQLITE_FULL: return "cannot be written: the disk is full";
    case SQLITE_PERM:
    case SQLITE_READONLY:
    case SQLITE_AUTH: return "cannot be used: access is denied";
    case SQLITE_CANTOPEN: return "cannot be opened (check the path and the folder's permissions)";
    case SQLITE_IOERR: return "cannot be read or written (input/output error)";
    default: return std::string("is unreadable (") + sqlite3_errstr(rc) + ")";
    }
}

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
        if (!stmt_)
            return;  // preparing it failed
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

SqliteStore::SqliteStore(const std::string& path, Mode mode, int busyTimeoutMs)
    : path_(path), mode_(mode)
{
    try {
        openOrCreate(busyTimeoutMs);
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

[[noreturn]] void SqliteStore::refuse(const std::string& why) const
{
    throw StoreError("The registry store " + path_ + " " + why + ". It was left untouched.");
}

// One value of a pragma or query that yields one row.
int SqliteStore::readOne(const char* sql, long long& out)
{
    Statement st(*this, sql);
    const int rc = st.step();
    if (rc == SQLITE_ROW)
        out = st.integer(0);
    return rc == SQLITE_ROW || rc == SQLITE_DONE ? SQLITE_OK : rc;
}

int SqliteStore::readOne(const char* sql, std::string& out)
{
    Statement st(*this, sql);
    const int rc = st.step();
    if (rc == SQLITE_ROW)
        out = st.text(0);
    return rc == SQLITE_ROW || rc == SQLITE_DONE ? SQLITE_OK : rc;
}

void SqliteStore::openOrCreate(int busyTimeoutMs)
{
    const Existing existing = lookBeforeOpening();
    const bool exists = existing != Existing::Missing;
    const bool isNew = existing != Existing::HasData;

    int flags = mode_ == Mode::ReadOnly ? SQLITE_OPEN_READONLY : SQLITE_OPEN_READWRITE;
    if (!exists)
        flags |= SQLITE_OPEN_CREATE;
    int rc = sqlite3_open_v2(path_.c_str(), &db_, flags, nullptr);
    if (rc != SQLITE_OK)
        refuse(storeProblem(rc));
    sqlite3_busy_timeout(db_, busyTimeoutMs);
    if (sqlite3_db_readonly(db_, "main") == 1) {
        // A file without write permission, or one on a read-only file system
        // (whose shared-memory file a reader left behind): said as what it is.
        mode_ = Mode::ReadOnly;
        if (onReadOnlyFileSystem(0))
            writeRefusal_ = kStatusWriteProtected;
    }

    // Set up a new store inside the write lock, so that of two processes
    // creating it at once one makes it and the other waits and finds it made.
    if (isNew && mode_ == Mode::ReadWrite)
        createIfEmpty();

    rc = readCheckIsOurs();
    if (rc != SQLITE_OK && !isNew)
        rc = openAsItStandsWhenNoRoom(rc);
    if (rc != SQLITE_OK)
        refuse(storeProblem(rc));

    if (mode_ == Mode::ReadWrite)
        switchToWal(busyTimeoutMs);
    setCacheAndDurability();
}

// Looks before SQLite opens anything: it would create a missing file, and
// leave a -journal file beside a device. Makes the folder of a missing store.
SqliteStore::Existing SqliteStore::lookBeforeOpening()
{
    namespace fs = std::filesystem;
    if (path_.empty())
        throw StoreError("No file was named for the registry store.");
    struct stat info {};
    const bool exists = ::stat(path_.c_str(), &info) == 0;
    if (!exists && errno != ENOENT)
        throw StoreError("The registry store " + path_ + " cannot be reached: " + std::strerror(errno) + ".");
    if (exists && !S_ISREG(info.st_mode))
        refuse(S_ISDIR(info.st_mode) ? "is a folder, not a file" : "is not a regular file");
    // Only a missing or empty file may become a new store: anything else
    // might hold somebody's data.
    const bool isNew = !exists || info.st_size == 0;
    if (!exists && mode_ == Mode::ReadOnly)
        throw StoreError("The registry store " + path_ + " does not exist.");
    if (isNew && mode_ == Mode::ReadOnly)
        throw StoreError("The registry store " + path_ + " is empty and cannot be set up read-only.");
    if (!exists) {
        std::error_code ec;
        const fs::path parent = fs::path(path_).parent_path();
        if (!parent.empty())
            fs::create_directories(parent, ec);
        if (ec)
            throw StoreError("Cannot create the folder of the registry store " + path_ + ": " + ec.message() + ".");
    }
    return !exists ? Existing::Missing : isNew ? Existing::Empty : Existing::HasData;
}

void SqliteStore::switchToWal(int busyTimeoutMs)
{
    // WAL lets the windows and the command-line tool work at once and
    // costs one flush per write; the mode stays in the file. The switch
    // rewrites only the file's first page, whose header fits in one
    // sector, so it needs no journal on disk (three flushes less). It
    // also needs the file to itself once, and SQLite gives up at once
    // rather than wait while another process reads it (as while it sets
    // the store up): try again within the busy timeout.
    std::string journal;
    int rc = readOne("PRAGMA journal_mode", journal);
    if (rc == SQLITE_OK && journal != "wal")
        rc = readOne("PRAGMA journal_mode=MEMORY", journal);
    if (rc == SQLITE_OK) {
        for (int waited = 0;; waited += kRetryMs) {
            rc = readOne("PRAGMA journal_mode=WAL", journal);
            if ((rc & 0xFF) != SQLITE_BUSY || waited >= busyTimeoutMs)
                break;
            sqlite3_sleep(kRetryMs);
        }
    }
    if (rc != SQLITE_OK || journal != "wal")
        throw StoreError("The registry store " + path_ + " could not be switched to write-ahead logging: it " +
                         (rc != SQLITE_OK ? storeProblem(rc) : "stays in mode \"" + journal + "\"") + ".");
}

void SqliteStore::setCacheAndDurability()
{
    // A small page cache: the store is read a few values at a time, and a
    // large import writes its pages in order.
    long long cache = 0;
    if (readOne("PRAGMA cache_size=-512", cache) != SQLITE_OK || readOne("PRAGMA cache_size", cache) != SQLITE_OK ||
        cache != -512)
        throw StoreError("The registry store " + path_ + " could not be given its page cache.");
    // FULL: every committed write is on disk before the call returns.
    long long synchronous = 0;
    int rc = readOne("PRAGMA synchronous=FULL", synchronous);
    if (rc == SQLITE_OK)
        rc = readOne("PRAGMA synchronous", synchronous);
    if (rc != SQLITE_OK || synchronous != 2)
        throw StoreError("Cannot make the writes to the registry store " + path_ + " durable" +
                         (rc != SQLITE_OK ? ": " + storeProblem(rc) : std::string()) + ".");
}

// Only read until the file is known to be ours, so a foreign or damaged
// file is left exactly as it was; one read transaction sees one state.
int SqliteStore::readCheckIsOurs()
{
    int rc = sqlite3_exec(db_, "BEGIN", nullptr, nullptr, nullptr);
    if (rc == SQLITE_OK)
        rc = checkIsOurs();
    // The cause, before COMMIT can replace it.
    systemError_ = sqlite3_system_errno(db_);
    sqlite3_exec(db_, "COMMIT", nullptr, nullptr, nullptr);
    return rc;
}

// Reading the store in write-ahead logging needs its shared-memory file,
// which cannot be made on a full disk or a read-only file system. With no
// log holding pages the file alone is the whole store: it is then read as it
// stands, without that file and without locks, and every write is refused
// for that reason. No other process can write it meanwhile either: it would
// need that same file (on a full disk, until room is made).
int SqliteStore::openAsItStandsWhenNoRoom(int rc)
{
    const int error = systemError_;
    const bool readOnlyFs = onReadOnlyFileSystem(error);
    if ((error != ENOSPC && !readOnlyFs) || logHoldsPages())
        return rc;
    closeDatabase();
    // As a URI, whose query part starts at '?' and which escapes '%' and '#'.
    std::string uri = "file:";
    for (const char c : path_) {
        static const char hex[] = "0123456789ABCDEF";
        if (c == '?' || c == '#' || c == '%')
            uri += std::string("%") + hex[(c >> 4) & 0xF] + hex[c & 0xF];
        else
            uri += c;
    }
    uri += "?immutable=1";
    rc = sqlite3_open_v2(uri.c_str(), &db_, SQLITE_OPEN_READONLY | SQLITE_OPEN_URI, nullptr);
    if (rc != SQLITE_OK)
        return rc;
    mode_ = Mode::ReadOnly;
    writeRefusal_ = readOnlyFs ? kStatusWriteProtected : kStatusDiskFull;
    return readCheckIsOurs();
}

bool SqliteStore::onReadOnlyFileSystem(int error) const
{
    struct statvfs fs {};
    return error == EROFS || (::statvfs(path_.c_str(), &fs) == 0 && (fs.f_flag & ST_RDONLY));
}

bool SqliteStore::logHoldsPages() const
{
    struct stat wal {};
    return ::stat((path_ + "-wal").c_str(), &wal) == 0 && wal.st_size > 0;
}

void SqliteStore::createIfEmpty()
{
    int rc = sqlite3_exec(db_, "BEGIN IMMEDIATE", nullptr, nullptr, nullptr);
    long long appId = 0, tables = 0;
    if (rc == SQLITE_OK)
        rc = readOne("PRAGMA application_id", appId);
    if (rc == SQLITE_OK)
        rc = readOne("SELECT count(*) FROM sqlite_master", tables);
    if (rc == SQLITE_OK && appId == 0 && tables == 0) {
        const std::string schema = std::string(kKeysTable) + ";" + kValsTable + ";" +
            "INSERT INTO keys(id, parent, name, fold) VALUES"
            " (1, 0, 'HKEY_CURRENT_USER', 'hkey_current_user'),"
            " (2, 0, 'HKEY_LOCAL_MACHINE', 'hkey_local_machine');"
            "PRAGMA application_id = " + std::to_string(kApplicationId) +
            "; PRAGMA user_version = " + std::to_string(kSchemaVersion) + ";";
        rc = sqlite3_exec(db_, schema.c_str(), nullptr, nullptr, nullptr);
    }
    // Anything else is left for checkIsOurs() to judge.
    if (rc == SQLITE_OK)
        rc = sqlite3_exec(db_, "COMMIT", nullptr, nullptr, nullptr);
    if (rc != SQLITE_OK) {
        sqlite3_exec(db_, "ROLLBACK", nullptr, nullptr, nullptr);
        throw StoreError("The registry store " + path_ + " could not be set up: it " + storeProblem(rc) + ".");
    }
}

// SQLITE_OK when the file is a store of ours in one piece, as far as can be
// seen without reading all of it: SQLite finds damage elsewhere as it reads.
int SqliteStore::checkIsOurs()
{
    long long appId = 0, version = 0;
    int rc = readOne("PRAGMA application_id", appId);
    if (rc != SQLITE_OK)
        return rc;
    if (appId != kApplicationId)
        refuse("is not a FerroWinder registry store (it is not marked as one)");
    rc = readOne("PRAGMA user_version", version);
    if (rc != SQLITE_OK)
        return rc;
    if (version != kSchemaVersion)
        refuse("has version " + std::to_string(version) + ", which this program does not know");

    // Our two tables exactly as we made them, and nothing else.
    long long tables = 0, ours = 0, roots = 0;
    if ((rc = readOne("SELECT count(*) FROM sqlite_master", tables)) != SQLITE_OK)
        return rc;
    {
        Statement st(*this, "SELECT count(*) FROM sqlite_master WHERE type = 'table' AND"
                            " ((name = 'keys' AND sql = ?1) OR (name = 'vals' AND sql = ?2))");
        rc = st.bind(1, std::string(kKeysTable)).bind(2, std::string(kValsTable)).step();
        if (rc != SQLITE_ROW)
            return rc;
        ours = st.integer(0);
    }
    if (tables != 3 || ours != 2)
        refuse("is marked as a FerroWinder registry store but its tables are not a store's");
    if ((rc = readOne("SELECT count(*) FROM keys WHERE id IN (1, 2) AND parent = 0", roots)) != SQLITE_OK)
        return rc;
    if (roots != 2)
        refuse("is damaged (its two root keys are missing)");

    // Reach the last page of each table and index: a few pages, whatever
    // the store's size.
    long long last = 0;
    for (const char* probe : {"SELECT max(id) FROM keys",
                              "SELECT parent FROM keys ORDER BY parent DESC, fold DESC LIMIT 1",
                              "SELECT key FROM vals ORDER BY key DESC, fold DESC LIMIT 1"})
        if ((rc = readOne(probe, last)) != SQLITE_OK)
            return rc;

    // A file cut short: the header knows how many pages it had. While the
    // write-ahead log holds pages the file may rightly be shorter.
    long long pages = 0, pageSize = 0;
    if ((rc = readOne("PRAGMA page_count", pages)) != SQLITE_OK ||
        (rc = readOne("PRAGMA page_size", pageSize)) != SQLITE_OK)
        return rc;
    struct stat file {};
    if (!logHoldsPages() && ::stat(path_.c_str(), &file) == 0 && file.st_size < pages * pageSize)
        refuse("is damaged (the file was cut short)");
    return SQLITE_OK;
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
        return writeRefusal_;
    long long keyId = 0;
    Status status = findKey(root, path, keyId);
    if (status == kStatusOk) {
        out = addHandle(keyId, true);
        return kStatusOk;
    }
    if (status != kStatusNotFound)
        return status;

    // Some level is missing: create them all in one transaction.
    status = beginWrite();
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
        if (rc != SQLITE_ROW)
            return endWrite(statusOf(rc));
        keyId = find.integer(0);
    }
    status = endWrite(kStatusOk);
    if (status != kStatusOk)
        return status;
    out = addHandle(keyId, true);
    return kStatusOk;
}

// Outside a change each write is a transaction of its own; inside one it
// joins it.
Status SqliteStore::beginWrite()
{
    if (inChanges_)
        return changeLost() ? kStatusIoFailed : kStatusOk;
    return exec("BEGIN IMMEDIATE");
}

Status SqliteStore::endWrite(Status status)
{
    if (inChanges_)
        return status;  // a failure discards the whole change
    if (status == kStatusOk)
        status = exec("COMMIT");
    if (status != kStatusOk)
        exec("ROLLBACK");
    return status;
}

// SQLite ends a transaction by itself on some failures (a full disk, say):
// the writes after it would each be kept alone, so they are refused.
bool SqliteStore::changeLost() const
{
    return inChanges_ && sqlite3_get_autocommit(db_) != 0;
}

Status SqliteStore::beginChanges()
{
    // Refused for want of room or a writable file system, the change is
    // refused as a whole, once; refused by permissions, every write is
    // refused on its own and names its value.
    if (mode_ == Mode::ReadOnly && writeRefusal_ != kStatusAccessDenied)
        return writeRefusal_;
    if (mode_ == Mode::ReadOnly || inChanges_)
        return kStatusOk;
    // The change is made durable by the checkpoint after its commit (which
    // flushes the log and then the file), so the commit itself need not flush
    // the log: one flush less. The level cannot change inside a transaction.
    Status status = exec("PRAGMA synchronous=NORMAL");
    if (status == kStatusOk)
        status = exec("BEGIN IMMEDIATE");
    inChanges_ = status == kStatusOk;
    if (!inChanges_)
        exec("PRAGMA synchronous=FULL");
    return status;
}

Status SqliteStore::commitChanges()
{
    if (!inChanges_)
        return kStatusOk;
    Status status = changeLost() ? kStatusIoFailed : exec("COMMIT");
    inChanges_ = false;
    if (status != kStatusOk) {
        exec("ROLLBACK");
        exec("PRAGMA synchronous=FULL");
        return status;
    }
    bool copied = false;
    {
        Statement checkpoint(*this, "PRAGMA wal_checkpoint(PASSIVE)");
        copied = checkpoint.step() == SQLITE_ROW && checkpoint.integer(0) == 0 &&
                 checkpoint.integer(1) == checkpoint.integer(2);
    }
    // A reader kept the checkpoint from copying it all: flush the log itself.
    const Status flushed = copied ? kStatusOk : flushLog();
    status = exec("PRAGMA synchronous=FULL");
    return flushed != kStatusOk ? flushed : status;
}

Status SqliteStore::beginReading()
{
    // Inside a change the reads already see one state.
    if (inChanges_ || reading_)
        return kStatusOk;
    // Deferred: the snapshot is taken at the first read and kept to COMMIT.
    const Status status = exec("BEGIN");
    reading_ = status == kStatusOk;
    return status;
}

void SqliteStore::endReading()
{
    if (reading_)
        exec("COMMIT");
    reading_ = false;
}

void SqliteStore::discardChanges()
{
    if (inChanges_) {
        exec("ROLLBACK");
        exec("PRAGMA synchronous=FULL");
    }
    inChanges_ = false;
}

// Flushes the write-ahead log to disk (a flush reaches the file, whichever
// descriptor asks for it).
Status SqliteStore::flushLog() const
{
    const int fd = ::open((path_ + "-wal").c_str(), O_RDONLY | O_CLOEXEC);
    const bool ok = fd >= 0 && ::fdatasync(fd) == 0;
    if (fd >= 0)
        ::close(fd);
    return ok ? kStatusOk : kStatusIoFailed;
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
        return writeRefusal_;
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
        return mode_ == Mode::ReadOnly ? writeRefusal_ : kStatusAccessDenied;
    if (changeLost())
        return kStatusIoFailed;
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
        return mode_ == Mode::ReadOnly ? writeRefusal_ : kStatusAccessDenied;
    if (changeLost())
        return kStatusIoFailed;
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

}  // namespace ferro
