// What every registry backend promises its callers, checked against the one
// this system uses: the embedded store natively, advapi32 on Windows and
// under Wine.
#include <gtest/gtest.h>

#include <filesystem>
#include <memory>
#include <set>

#include "registry/TestRegistry.h"
#include "registry/modRegistry.h"
#include "wizard/RegistryMessages.h"

#ifdef _WIN32
#include <windows.h>

#include "registry/Advapi32Backend.h"
#else
#include <sqlite3.h>

#include "registry/SqliteStore.h"
#endif

namespace ferro {
namespace {

using test::TestRegistry;

constexpr RootKey kRoots[] = {RootKey::CurrentUser, RootKey::LocalMachine};

class BackendContract : public ::testing::Test {
protected:
    TestRegistry reg;
    RegistryBackend& backend = reg.backend();

    // Opens an existing key (for reading unless told otherwise).
    Status open(RootKey root, const std::string& path, KeyGuard& key,
                std::uint32_t access = kKeyReadAccess)
    {
        return backend.openKey(root, path, access, key.handle);
    }

    // Creates the key and stores one value through a handle of its own.
    void put(RootKey root, const std::string& path, const std::string& name, std::uint32_t type,
             const Bytes& data)
    {
        KeyGuard key(backend);
        ASSERT_EQ(backend.createKey(root, path, key.handle), kStatusOk) << path;
        ASSERT_EQ(backend.setValue(key.handle, name, type, data), kStatusOk) << name;
    }

    // The status of reading one value, with its type and bytes.
    Status get(RootKey root, const std::string& path, const std::string& name, std::uint32_t& type,
               Bytes& data)
    {
        KeyGuard key(backend);
        const Status status = open(root, path, key);
        if (status != kStatusOk)
            return status;
        return backend.queryValue(key.handle, name, type, data);
    }
};

TEST_F(BackendContract, CreateKeyMakesEveryMissingLevelUnderItsOwnRootOnly)
{
    for (RootKey root : kRoots) {
        const RootKey other = root == RootKey::CurrentUser ? RootKey::LocalMachine : RootKey::CurrentUser;
        const std::string leaf = reg.key(std::string(rootName(root)) + "\\One\\Two\\Three");
        {
            KeyGuard created(backend);
            ASSERT_EQ(backend.createKey(root, leaf, created.handle), kStatusOk);
            EXPECT_NE(created.handle, 0u);
        }
        for (const std::string& level : {reg.key(rootName(root)), reg.key(std::string(rootName(root)) + "\\One"),
                                         reg.key(std::string(rootName(root)) + "\\One\\Two"), leaf}) {
            KeyGuard here(backend);
            EXPECT_EQ(open(root, level, here), kStatusOk) << rootName(root) << "\\" << level;
            KeyGuard there(backend);
            EXPECT_EQ(open(other, level, there), kStatusNotFound) << rootName(other) << "\\" << level;
            EXPECT_EQ(there.handle, 0u);
        }
    }
}

TEST_F(BackendContract, CreatingAnExistingKeyKeepsItsValues)
{
    const std::string path = reg.key("Existing");
    put(RootKey::LocalMachine, path, "Kept", kRegSz, {'x', 0});
    KeyGuard again(backend);
    ASSERT_EQ(backend.createKey(RootKey::LocalMachine, path, again.handle), kStatusOk);
    std::uint32_t type = 0;
    Bytes data;
    ASSERT_EQ(backend.queryValue(again.handle, "Kept", type, data), kStatusOk);
    EXPECT_EQ(data, (Bytes{'x', 0}));
}

#ifdef _WIN32
void collectSpellings(HKEY key, std::set<std::string>& names)
{
    char name[256];
    for (DWORD i = 0;; ++i) {
        DWORD length = sizeof name;
        if (RegEnumValueA(key, i, name, &length, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS)
            break;
        names.insert(std::string(name, length));
    }
    for (DWORD i = 0;; ++i) {
        DWORD length = sizeof name;
        if (RegEnumKeyExA(key, i, name, &length, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS)
            break;
        names.insert(std::string(name, length));
        HKEY sub = nullptr;
        if (RegOpenKeyExA(key, name, 0, KEY_READ, &sub) == ERROR_SUCCESS) {
            collectSpellings(sub, names);
            RegCloseKey(sub);
        }
    }
}
#endif

// Every key and value name below the test's machine key, as the backend
// keeps it: the interface cannot tell, so each backend is asked its own way.
std::set<std::string> storedSpellings(TestRegistry& reg)
{
    std::set<std::string> names;
#ifdef _WIN32
    HKEY top = nullptr;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, reg.key("").c_str(), 0, KEY_READ, &top) == ERROR_SUCCESS) {
        collectSpellings(top, names);
        RegCloseKey(top);
    }
#else
    sqlite3* db = nullptr;
    if (sqlite3_open_v2(reg.storePath().c_str(), &db, SQLITE_OPEN_READONLY, nullptr) == SQLITE_OK) {
        sqlite3_stmt* st = nullptr;
        sqlite3_prepare_v2(db, "SELECT name FROM keys UNION ALL SELECT name FROM vals", -1, &st, nullptr);
        while (st && sqlite3_step(st) == SQLITE_ROW)
            names.insert(reinterpret_cast<const char*>(sqlite3_column_text(st, 0)));
        sqlite3_finalize(st);
    }
    sqlite3_close(db);
#endif
    return names;
}

TEST_F(BackendContract, NamesCompareWithoutRegardToCase)
{
    put(RootKey::LocalMachine, reg.key("MixedCase\\Inner"), "ValueName", kRegSz, {'a', 0});

    // The same key and value under other spellings.
    KeyGuard key(backend);
    ASSERT_EQ(open(RootKey::LocalMachine, reg.key("mixedcase\\INNER"), key, kKeyWriteAccess), kStatusOk);
    std::uint32_t type = 0;
    Bytes data;
    ASSERT_EQ(backend.queryValue(key.handle, "VALUENAME", type, data), kStatusOk);
    EXPECT_EQ(data, (Bytes{'a', 0}));

    // Writing another spelling replaces the value rather than adding a second
    // one: after one deletion nothing is left.
    ASSERT_EQ(backend.setValue(key.handle, "valuename", kRegSz, {'b', 0}), kStatusOk);
    ASSERT_EQ(backend.queryValue(key.handle, "ValueName", type, data), kStatusOk);
    EXPECT_EQ(data, (Bytes{'b', 0}));

    // Creating a key under another spelling opens the one that exists.
    KeyGuard recreated(backend);
    ASSERT_EQ(backend.createKey(RootKey::LocalMachine, reg.key("MIXEDCASE\\inner"), recreated.handle), kStatusOk);
    ASSERT_EQ(backend.setValue(recreated.handle, "Through", kRegSz, {'c', 0}), kStatusOk);
    EXPECT_EQ(get(RootKey::LocalMachine, reg.key("MixedCase\\Inner"), "through", type, data), kStatusOk);

    // Every name keeps the spelling it was created with.
    const std::set<std::string> spellings = storedSpellings(reg);
    for (const char* kept : {"MixedCase", "Inner", "ValueName", "Through"})
        EXPECT_EQ(spellings.count(kept), 1u) << kept;
    for (const char* other : {"MIXEDCASE", "mixedcase", "inner", "INNER", "valuename", "VALUENAME"})
        EXPECT_EQ(spellings.count(other), 0u) << other;

    EXPECT_EQ(backend.deleteValue(key.handle, "VaLuEnAmE"), kStatusOk);
    EXPECT_EQ(backend.queryValue(key.handle, "ValueName", type, data), kStatusNotFound);
}

TEST_F(BackendContract, SetReplaceQueryAndDelete)
{
    const std::string path = reg.key("Values");
    KeyGuard key(backend);
    ASSERT_EQ(backend.createKey(RootKey::LocalMachine, path, key.handle), kStatusOk);

    std::uint32_t type = 0;
    Bytes data;
    EXPECT_EQ(backend.queryValue(key.handle, "Value", type, data), kStatusNotFound);

    ASSERT_EQ(backend.setValue(key.handle, "Value", kRegSz, {'6', '4', 0}), kStatusOk);
    ASSERT_EQ(backend.queryValue(key.handle, "Value", type, data), kStatusOk);
    EXPECT_EQ(type, kRegSz);
    EXPECT_EQ(data, (Bytes{'6', '4', 0}));

    // A replacement takes both the new type and the new bytes.
    ASSERT_EQ(backend.setValue(key.handle, "Value", kRegDword, {0xDC, 0x05, 0, 0}), kStatusOk);
    ASSERT_EQ(backend.queryValue(key.handle, "Value", type, data), kStatusOk);
    EXPECT_EQ(type, kRegDword);
    EXPECT_EQ(data, (Bytes{0xDC, 0x05, 0, 0}));

    // Deleting one value leaves its neighbour and its key.
    ASSERT_EQ(backend.setValue(key.handle, "Neighbour", kRegSz, {'n', 0}), kStatusOk);
    EXPECT_EQ(backend.deleteValue(key.handle, "Value"), kStatusOk);
    EXPECT_EQ(backend.queryValue(key.handle, "Value", type, data), kStatusNotFound);
    EXPECT_EQ(backend.deleteValue(key.handle, "Value"), kStatusNotFound);
    EXPECT_EQ(get(RootKey::LocalMachine, path, "Neighbour", type, data), kStatusOk);
    EXPECT_EQ(data, (Bytes{'n', 0}));
}

TEST_F(BackendContract, BytesComeBackExactlyAsWritten)
{
    const std::string path = reg.key("Bytes");
    struct Case {
        const char* name;
        std::uint32_t type;
        Bytes data;
    };
    const Case cases[] = {
        {"WindowSize", kRegSz, {'1', '6', '6', '1', '6', 0}},
        {"Empty", kRegSz, {0}},
        {"NotANumber", kRegSz, {'d', 'w', 'o', 'r', 'd', ':', '0', '0', '0', '0', '0', '0', '1', '0', 0}},
        {"NoNul", kRegSz, {'a', 'b', 'c'}},  // read back without a NUL added
        {"MTU", kRegDword, {0xDC, 0x05, 0x00, 0x00}},
        {"Negative", kRegDword, {0xFE, 0xFF, 0xFF, 0xFF}},
        {"", kRegSz, {'d', 'e', 'f', 0}},  // the key's unnamed value
    };
    for (const Case& c : cases)
        put(RootKey::CurrentUser, path, c.name, c.type, c.data);
    for (const Case& c : cases) {
        std::uint32_t type = 0;
        Bytes data;
        ASSERT_EQ(get(RootKey::CurrentUser, path, c.name, type, data), kStatusOk) << c.name;
        EXPECT_EQ(type, c.type) << c.name;
        EXPECT_EQ(data, c.data) << c.name;
    }
}

TEST_F(BackendContract, LargeValuesAreReadWhole)
{
    // Larger than any first guess a backend might make for the buffer.
    Bytes big(70000, 'x');
    big.back() = 0;
    put(RootKey::CurrentUser, reg.key("Large"), "Big", kRegSz, big);
    std::uint32_t type = 0;
    Bytes data;
    ASSERT_EQ(get(RootKey::CurrentUser, reg.key("Large"), "Big", type, data), kStatusOk);
    EXPECT_EQ(data.size(), big.size());
    EXPECT_EQ(data, big);
}

TEST_F(BackendContract, MissingKeyIsNotFoundAndLeavesTheHandleNull)
{
    put(RootKey::LocalMachine, reg.key("Parent"), "x", kRegSz, {0});
    for (const std::string& path : {reg.key("Parent\\Missing"), reg.key("Missing\\Deeper")}) {
        for (std::uint32_t access : {kKeyWriteAccess, kKeyReadControlAccess, kKeyReadAccess}) {
            KeyHandle handle = 0;
            EXPECT_EQ(backend.openKey(RootKey::LocalMachine, path, access, handle), kStatusNotFound) << path;
            EXPECT_EQ(handle, 0u) << path;
        }
    }
}

TEST_F(BackendContract, NullHandleIsRefusedAsInvalid)
{
    std::uint32_t type = 0;
    Bytes data;
    EXPECT_EQ(backend.setValue(0, "Value", kRegSz, {'1', 0}), kStatusInvalidHandle);
    EXPECT_NE(backend.queryValue(0, "Value", type, data), kStatusOk);
    EXPECT_NE(backend.deleteValue(0, "Value"), kStatusOk);
    backend.closeKey(0);  // harmless

    // The refused write went nowhere: a real key opened afterwards is empty.
    KeyGuard key(backend);
    ASSERT_EQ(backend.createKey(RootKey::LocalMachine, reg.key("AfterNull"), key.handle), kStatusOk);
    EXPECT_EQ(backend.queryValue(key.handle, "Value", type, data), kStatusNotFound);
}

TEST_F(BackendContract, ReadingOpensWithReadControlAndQueries)
{
    // The About window's read: open with 0x2003F, query, close.
    put(RootKey::LocalMachine, reg.key("Shared Tools\\MSINFO"), "PATH", kRegSz,
        {'C', ':', '\\', 'm', 's', 'i', 'n', 'f', 'o', '3', '2', '.', 'e', 'x', 'e', 0});
    KeyGuard key(backend);
    ASSERT_EQ(open(RootKey::LocalMachine, reg.key("Shared Tools\\MSINFO"), key, kKeyReadControlAccess), kStatusOk);
    std::uint32_t type = 0;
    Bytes data;
    ASSERT_EQ(backend.queryValue(key.handle, "PATH", type, data), kStatusOk);
    EXPECT_EQ(type, kRegSz);
    EXPECT_EQ(std::string(data.begin(), data.end()), std::string("C:\\msinfo32.exe") + '\0');
    EXPECT_EQ(backend.queryValue(key.handle, "MSINFO", type, data), kStatusNotFound);
}

TEST_F(BackendContract, KeyOpenedForReadingRefusesChanges)
{
    put(RootKey::LocalMachine, reg.key("ReadOnlyHandle"), "Value", kRegSz, {'1', 0});
    KeyGuard key(backend);
    ASSERT_EQ(open(RootKey::LocalMachine, reg.key("ReadOnlyHandle"), key, kKeyReadAccess), kStatusOk);
    EXPECT_EQ(backend.setValue(key.handle, "Value", kRegSz, {'2', 0}), kStatusAccessDenied);
    EXPECT_EQ(backend.deleteValue(key.handle, "Value"), kStatusAccessDenied);
    std::uint32_t type = 0;
    Bytes data;
    ASSERT_EQ(backend.queryValue(key.handle, "Value", type, data), kStatusOk);
    EXPECT_EQ(data, (Bytes{'1', 0}));
}

TEST_F(BackendContract, HandlesToTheSameKeyAreIndependent)
{
    const std::string path = reg.key("Shared");
    KeyGuard first(backend);
    KeyGuard second(backend);
    ASSERT_EQ(backend.createKey(RootKey::CurrentUser, path, first.handle), kStatusOk);
    ASSERT_EQ(open(RootKey::CurrentUser, path, second, kKeyWriteAccess), kStatusOk);
    EXPECT_NE(first.handle, second.handle);

    ASSERT_EQ(backend.setValue(first.handle, "Written", kRegSz, {'1', 0}), kStatusOk);
    backend.closeKey(first.handle);
    first.handle = 0;
    // What went through the closed handle stays, and the other handle still works.
    std::uint32_t type = 0;
    Bytes data;
    ASSERT_EQ(backend.queryValue(second.handle, "Written", type, data), kStatusOk);
    EXPECT_EQ(data, (Bytes{'1', 0}));
    EXPECT_EQ(backend.setValue(second.handle, "Also", kRegSz, {'2', 0}), kStatusOk);
}

// Where a user may not change the machine's keys, every write of the layer
// shows the refused open and the refused write through the null handle.
// Natively a read-only store stands for that user; on Windows an unelevated
// process is one, meeting a key that exists on every Windows machine.
TEST_F(BackendContract, WithoutTheRightToChangeTheMachineBothMessagesShow)
{
    const std::string path = "System\\CurrentControlSet\\Services\\Tcpip\\Parameters";
#ifdef _WIN32
    if (test::runningUnderWine())
        GTEST_SKIP() << "Wine grants every write to HKEY_LOCAL_MACHINE, so access denied (5) cannot be provoked";
    Advapi32Backend refusing;
    {
        KeyGuard probe(refusing);
        if (refusing.openKey(RootKey::LocalMachine, path, kKeyWriteAccess, probe.handle) == kStatusOk)
            GTEST_SKIP() << "this process runs elevated, so Windows grants the write";
    }
    const std::string valueName = "FerroWinderTestNeverWritten";
#else
    put(RootKey::LocalMachine, path, "Existing", kRegSz, {'1', 0});
    SqliteStore refusing(reg.storePath(), SqliteStore::Mode::ReadOnly);
    const std::string valueName = "Refused";
#endif
    std::vector<std::string> messages;
    const modRegistry::Registry layer{refusing, [&](const Failure& f) { messages.push_back(registryFailureText(f)); }};
    modRegistry::CreateKey(layer, path, RootKey::LocalMachine);
    modRegistry::SetKeyValue(layer, RootKey::LocalMachine, path, valueName, "1", kRegSz);
    EXPECT_EQ(messages, (std::vector<std::string>{"RegOpenKey error - 5", "SetValue error - 6"}));

    ValueState state;
    EXPECT_EQ(readValue(refusing, {RootKey::LocalMachine, path, valueName}, state), kStatusNotFound);
}

TEST(TestRegistryFixture, LeavesNothingBehind)
{
    std::string folder;
    [[maybe_unused]] std::string prefix;
    {
        TestRegistry reg;
        folder = reg.folder();
        prefix = reg.key("");
        for (RootKey root : kRoots)
            ASSERT_EQ(writeValue(reg.backend(), {root, reg.key("Deep\\Er"), "Value"}, kRegSz, {'1', 0}),
                      kStatusOk);
        ASSERT_TRUE(std::filesystem::is_directory(folder));
    }
    EXPECT_FALSE(std::filesystem::exists(folder)) << folder;
#ifdef _WIN32
    // The keys went with it, under both roots.
    Advapi32Backend registry;
    for (RootKey root : kRoots) {
        KeyHandle handle = 0;
        EXPECT_EQ(registry.openKey(root, prefix, kKeyReadAccess, handle), kStatusNotFound)
            << rootName(root) << "\\" << prefix;
        registry.closeKey(handle);
    }
#endif
}

}  // namespace
}  // namespace ferro
