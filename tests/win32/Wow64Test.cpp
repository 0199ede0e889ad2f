// The 32-bit program on 64-bit Windows (WOW64) reads and writes the registry
// the 64-bit program does: HKLM\SOFTWARE, which WOW64 would redirect for it,
// through the 64-bit view (the About window's MSInfo path lives there).
#include <windows.h>

#include <gtest/gtest.h>

#include "registry/Advapi32Backend.h"

namespace ferro {
namespace {

bool runsUnderWow64()
{
    using IsWow64ProcessFn = BOOL(WINAPI*)(HANDLE, PBOOL);
    const auto isWow64Process = reinterpret_cast<IsWow64ProcessFn>(
        reinterpret_cast<void (*)()>(GetProcAddress(GetModuleHandleA("kernel32.dll"), "IsWow64Process")));
    BOOL wow64 = FALSE;
    return isWow64Process && isWow64Process(GetCurrentProcess(), &wow64) && wow64;
}

bool keyIsIn(REGSAM view, const char* path)
{
    HKEY key = nullptr;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, path, 0, KEY_READ | view, &key) != ERROR_SUCCESS)
        return false;
    RegCloseKey(key);
    return true;
}

TEST(Wow64, TheProgramWritesAndReadsTheNativeView)
{
    if (!runsUnderWow64())
        GTEST_SKIP() << "not a 32-bit program on 64-bit Windows";
    const char* const path = "SOFTWARE\\FerroWinder Tests\\Wow64";
    const ValuePath probe{RootKey::LocalMachine, path, "Probe"};
    Advapi32Backend registry;
    ASSERT_EQ(writeValue(registry, probe, kRegSz, {'6', '4', 0}), kStatusOk);
    EXPECT_TRUE(keyIsIn(KEY_WOW64_64KEY, path));
    EXPECT_FALSE(keyIsIn(KEY_WOW64_32KEY, path));
    ValueState read;
    EXPECT_EQ(readValue(registry, probe, read), kStatusOk);
    EXPECT_EQ(read.data, (Bytes{'6', '4', 0}));
    EXPECT_EQ(RegDeleteKeyExA(HKEY_LOCAL_MACHINE, path, KEY_WOW64_64KEY, 0), ERROR_SUCCESS);
    EXPECT_EQ(RegDeleteKeyExA(HKEY_LOCAL_MACHINE, "SOFTWARE\\FerroWinder Tests", KEY_WOW64_64KEY, 0),
              ERROR_SUCCESS);
}

}  // namespace
}  // namespace ferro
