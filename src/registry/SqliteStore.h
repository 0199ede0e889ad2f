#pragma once
// The embedded registry for systems without one: a tree of keys with typed
// values in one SQLite file. Names compare without regard to ASCII case and
// keep the spelling they were created with.
#include <map>
#include <memory>
#include <stdexcept>
#include <string>

#include "registry/RegistryBackend.h"

struct sqlite3;
struct sqlite3_stmt;

namespace ferro {

// A store file that cannot be used; the message names the file.
class StoreError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

class SqliteStore final : public RegistryBackend {
public:
    enum class Mode { ReadWrite, ReadOnly };

    static constexpr int kDefaultBusyTimeoutMs = 10000;

    // Opens the store at path; read-write, a missing or empty file becomes a
    // new store. Throws StoreError, naming the file, for anything else that is
    // not a store of ours in one piece; such a file is left exactly as it was.
    // On a full disk or a read-only file system, where SQLite cannot set up
    // its shared-memory file, a store with nothing in its log is opened
    // read-only as it stands, and writes are refused with kStatusDiskFull or
    // kStatusWriteProtected. busyTimeoutMs: how long to wait for another
    // process's write.
    explicit SqliteStore(const std::string& path, Mode mode = Mode::ReadWrite,
                         int busyTimeoutMs = kDefaultBusyTimeoutMs);
    ~SqliteStore() override;
    SqliteStore(const SqliteStore&) = delete;
    SqliteStore& operator=(const SqliteStore&) = delete;

    Status createKey(RootKey root, const std::string& path, KeyHandle& out) override;
    Status openKey(RootKey root, const std::string& path, std::uint32_t access,
                   KeyHandle& out) override;
    Status setValue(KeyHandle key, const std::string& name, std::uint32_t type,
                    const Bytes& data) override;
    Status queryValue(KeyHandle key, const std::string& name, std::uint32_t& type,
                      Bytes& data) override;
    Status deleteValue(KeyHandle key, const std::string& name) override;
    void closeKey(KeyHandle key) override;

    // One transaction: the writes in between are kept all together or not at all.
    Status beginChanges() override;
    Status commitChanges() override;
    void discardChanges() override;
    bool changesAreAllOrNothing() const override { return true; }
    // One read transaction: the reads in between see one state of the file.
    Status beginReading() override;
    void endReading() override;

    const std::string& path() const { return path_; }
    // How long a write waits for another process's write to finish. The
    // programs keep the one they opened with; a test shortens it to see a
    // write give up on a store another process holds.
    void setBusyTimeout(int milliseconds);

private:
    struct OpenKey {
        long long keyId;
        bool writable;
    };
    class Statement;

    enum class Existing { Missing, Empty, HasData };
    void openOrCreate(int busyTimeoutMs);
    Existing lookBeforeOpening();
    void switchToWal(int busyTimeoutMs);
    void setCacheAndDurability();
    void createIfEmpty();
    int readCheckIsOurs();
    int checkIsOurs();
    int openAsItStandsWhenNoRoom(int rc);
    bool logHoldsPages() const;
    // `error` (an errno) says so, or the file system the store is on is mounted read-only.
    bool onReadOnlyFileSystem(int error) const;
    [[noreturn]] void refuse(const std::string& why) const;
    int readOne(const char* sql, long long& out);
    int readOne(const char* sql, std::string& out);
    void closeDatabase();
    Status beginWrite();
    Status endWrite(Status status);
    bool changeLost() const;
    Status flushLog() const;
    Status findKey(RootKey root, const std::string& path, long long& keyId);
    Status exec(const char* sql);
    Status statusOf(int sqliteResult) const;
    KeyHandle addHandle(long long keyId, bool writable);
    const OpenKey* lookup(KeyHandle key) const;

    std::string path_;
    Mode mode_;
    sqlite3* db_ = nullptr;
    std::map<KeyHandle, OpenKey> handles_;
    std::map<const char*, sqlite3_stmt*> statements_;
    KeyHandle nextHandle_ = 1;
    bool inChanges_ = false;
    bool reading_ = false;
    int systemError_ = 0;  // errno of the last failing call while checking the file
    // What a write is refused with on a read-only store.
    Status writeRefusal_ = kStatusAccessDenied;
};

}  // namespace ferro
