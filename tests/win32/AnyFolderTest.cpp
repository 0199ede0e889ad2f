// The backup and the restore from a program folder of any name: one the ANSI
// code page cannot spell, and one longer than MAX_PATH.
#include <windows.h>

#include <gtest/gtest.h>

#include <filesystem>

#include "platform/WideText.h"
#include "platform/WindowsCalls.h"
#include "tuning/Backup.h"
#include "ui/MemoryRegistry.h"

namespace ferro {
namespace {

namespace fs = std::filesystem;

const ValuePath kTtl{RootKey::LocalMachine, "System\\CurrentControlSet\\Services\\VxD\\MSTCP", "DefaultTTL"};

TEST(AnyFolder, BackupAndRestoreWorkFromAProgramFolderOfAnyName)
{
    // The road of the NT family (Wine set to 98 would take the ANSI one, which
    // refuses such a name: AnsiRoadTest.cpp).
    win32::setWideRoadForTesting(true);
    const fs::path temp = fs::temp_directory_path() / fs::path(L"\u0422\u0435\u0441\u0442 \u30bd\u30d5\u30c8");
    const std::wstring longName(100, L'\u00dc');
    for (const fs::path& folder : {temp, temp / longName / longName / longName}) {
        const std::string programFolder = win32::utf8FromWide(folder.wstring());
        SCOPED_TRACE(programFolder.size());
        test::MemoryRegistry store;
        ASSERT_EQ(writeValue(store, kTtl, kRegSz, {'3', '2', 0}), kStatusOk);
        const BackupResult backup = writeBackup(store, programFolder);
        ASSERT_TRUE(backup.ok) << backup.failure;
        ASSERT_TRUE(BoostMark(programFolder).result().ok);
        ASSERT_EQ(writeValue(store, kTtl, kRegSz, {'6', '4', 0}), kStatusOk);

        const RestoreResult restored = restoreRegistry(store, programFolder);
        EXPECT_TRUE(restored.ok() && restored.usedBackup) << restored.error;
        ValueState now;
        ASSERT_EQ(readValue(store, kTtl, now), kStatusOk);
        EXPECT_EQ(now.data, (Bytes{'3', '2', 0}));
        EXPECT_NE(GetFileAttributesW(win32::widePath(backupRegPath(programFolder)).c_str()),
                  INVALID_FILE_ATTRIBUTES);
    }
    std::error_code ignored;
    fs::remove_all(L"\\\\?\\" + temp.wstring(), ignored);
    win32::setWideRoadForTesting(std::nullopt);
}

}  // namespace
}  // namespace ferro
