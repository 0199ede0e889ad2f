#pragma once
// The narrow interface every registry access goes through: the real Windows
// registry on Windows, the embedded SQLite store everywhere else.
#include <cstdint>
#include <string>
#include <vector>

namespace ferro {

// Predefined roots, numbered as Windows numbers them.
enum class RootKey : std::uint32_t {
    CurrentUser = 0x80000001u,
    LocalMachine = 0x80000002u,
};

// Status codes are Windows' own numbers; nothing is invented where Windows has one.
using Status = long;
constexpr Status kStatusOk = 0;
constexpr Status kStatusNotFound = 2;
constexpr Status kStatusAccessDenied = 5;
constexpr Status kStatusInvalidHandle = 6;
constexpr Status kStatusInvalidData = 13;        // ERROR_INVALID_DATA: a datum that is not of its type
constexpr Status kStatusWriteProtected = 19;     // ERROR_WRITE_PROTECT: a read-only file system
constexpr Status kStatusDiskFull = 112;          // ERROR_DISK_FULL
constexpr Status kStatusBadPath = 161;           // ERROR_BAD_PATHNAME
constexpr Status kStatusBusy = 170;              // ERROR_BUSY
constexpr Status kStatusRegistryCorrupt = 1015;
constexpr Status kStatusOutOfRange = 534;        // ERROR_ARITHMETIC_OVERFLOW: a number too large for its type
constexpr Status kStatusIoFailed = 1016;         // ERROR_REGISTRY_IO_FAILED

// Value types, as Windows numbers them.
constexpr std::uint32_t kRegSz = 1;
constexpr std::uint32_t kRegDword = 4;

// Access masks used by the callers.
constexpr std::uint32_t kKeyWriteAccess = 0x3F;     // query, set, create subkey, enumerate, notify, link
constexpr std::uint32_t kKeyReadControlAccess = 0x2003F;
constexpr std::uint32_t kKeyReadAccess = 0x20019;    // KEY_READ
// The rights that change a key; refused on a read-only store.
constexpr std::uint32_t kKeyModifyingRights = 0x2 | 0x4 | 0x20;

using KeyHandle = std::uintptr_t;  // 0 is the null handle
using Bytes = std::vector<std::uint8_t>;

class RegistryBackend {
public:
    virtual ~RegistryBackend() = default;

    // Creates every missing level of path below root (or opens the key) for
    // writing; on failure `out` stays 0.
    virtual Status createKey(RootKey root, const std::string& path, KeyHandle& out) = 0;
    // Opens an existing key; on failure `out` stays 0.
    virtual Status openKey(RootKey root, const std::string& path, std::uint32_t access,
                           KeyHandle& out) = 0;
    // Creates or replaces the named value with exactly this type and these bytes.
    virtual Status setValue(KeyHandle key, const std::string& name, std::uint32_t type,
                            const Bytes& data) = 0;
    virtual Status queryValue(KeyHandle key, const std::string& name, std::uint32_t& type,
                              Bytes& data) = 0;
    virtual Status deleteValue(KeyHandle key, const std::string& name) = 0;
    // A null or unknown handle is harmless.
    virtual void closeKey(KeyHandle key) = 0;

    // Groups the writes that follow into one change. Where the backend has
    // transactions (the store) they take effect together at commitChanges()
    // or not at all; elsewhere (the Windows registry) each write takes effect
    // as it is made, in order, and these do nothing.
    virtual Status beginChanges() { return kStatusOk; }
    virtual Status commitChanges() { return kStatusOk; }
    virtual void discardChanges() {}
    virtual bool changesAreAllOrNothing() const { return false; }

    // The reads between these see one state of the values, whatever other
    // processes write meanwhile (the store reads one snapshot). The Windows
    // registry has no snapshot, and these do nothing: each value is read
    // whole as it stands when read, so several values read while another
    // program writes them may mix its states.
    virtual Status beginReading() { return kStatusOk; }
    virtual void endReading() {}
};

// Reads one state of the backend for as long as it lives.
class ReadSnapshot {
public:
    explicit ReadSnapshot(RegistryBackend& backend) : backend_(backend), begun_(backend.beginReading()) {}
    ~ReadSnapshot()
    {
        if (begun_ == kStatusOk)
            backend_.endReading();
    }
    ReadSnapshot(const ReadSnapshot&) = delete;
    ReadSnapshot& operator=(const ReadSnapshot&) = delete;

private:
    RegistryBackend& backend_;
    const Status begun_;
};

// Closes a key handle when it goes out of scope.
class KeyGuard {
public:
    explicit KeyGuard(RegistryBackend& backend) : backend_(backend) {}
    KeyGuard(const KeyGuard&) = delete;
    KeyGuard& operator=(const KeyGuard&) = delete;
    ~KeyGuard() { backend_.closeKey(handle); }
    KeyHandle handle = 0;

private:
    RegistryBackend& backend_;
};

// "HKEY_LOCAL_MACHINE" / "HKEY_CURRENT_USER".
const char* rootName(RootKey root);
// Accepts the full names and the usual abbreviations HKLM / HKCU; false otherwise.
bool parseRootName(const std::string& text, RootKey& out);

// One value of the registry as its callers name it.
struct ValuePath {
    RootKey root;
    std::string keyPath;
    std::string valueName;
};

// Names compare without regard to ASCII case: the folded form to compare.
std::string foldName(const std::string& name);
bool samePlace(const ValuePath& a, const ValuePath& b);

// The current state of one value: absent, or its type and bytes.
struct ValueState {
    bool present = false;
    std::uint32_t type = 0;
    Bytes data;
};

// Reads one value (read access only). Status of the open or the query; a
// missing key or value gives kStatusNotFound.
Status readValue(RegistryBackend& backend, const ValuePath& path, ValueState& out);
// Writes one value exactly (creating the key); the status of the first failing call.
Status writeValue(RegistryBackend& backend, const ValuePath& path, std::uint32_t type,
                  const Bytes& data);
// Deletes one value; an absent value or key counts as deleted (returns 0).
Status deleteValue(RegistryBackend& backend, const ValuePath& path);

// A full disk or a read-only file system: every write is refused alike, so
// it is said once, not once per value.
inline bool refusesEveryWrite(Status status)
{
    return status == kStatusDiskFull || status == kStatusWriteProtected;
}

// The plain words for a status code, for messages that tell the user why.
std::string statusText(Status status);

}  // namespace ferro
