// The backup and the restore from a program folder of any name: one the ANSI
// code page cannot spell, and one longer than MAX_PATH.
#include <windows.h>

#include <gtest/gtest.h>

#include <filesystem>

#include "platform/WideText.h"
#include "platform/WindowsCalls.h"
#include "win32/BackupRoundTrip.h"

namespace ferro {
namespace {

namespace fs = std::filesystem;

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
        test::expectBackupAndRestoreWork(store, programFolder);
        EXPECT_NE(GetFileAttributesW(win32::widePath(backupRegPath(programFolder)).c_str()),
                  INVALID_FILE_ATTRIBUTES);
    }
    std::error_code ignored;
    fs::remove_all(L"\\\\?\\" + temp.wstring(), ignored);
    win32::setWideRoadForTesting(std::nullopt);
}

}  // namespace
}  // namespace ferro
