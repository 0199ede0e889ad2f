// The road of Windows 95, 98 and Me, taken where the wide one works too: the
// ANSI calls in the system's code page, no Global\ mutex, no MoveFileEx. Wine
// set to 98 still has working wide calls, so the road is forced here.
#include <windows.h>

#include <gtest/gtest.h>

#include <filesystem>

#include "platform/Paths.h"
#include "platform/WideText.h"
#include "platform/WindowsCalls.h"
#include "win32/BackupRoundTrip.h"

namespace ferro {
namespace {

namespace fs = std::filesystem;

// Takes the ANSI road for one test.
class AnsiRoad : public ::testing::Test {
protected:
    void SetUp() override
    {
        win32::setWideRoadForTesting(false);
        std::error_code ignored;
        fs::remove_all(folder_, ignored);
        fs::create_directories(folder_);
    }
    void TearDown() override
    {
        win32::setWideRoadForTesting(std::nullopt);
        std::error_code ignored;
        fs::remove_all(folder_, ignored);
    }
    std::string folder(const std::wstring& name = L"") const
    {
        return win32::utf8FromWide((name.empty() ? folder_ : folder_ / name).wstring());
    }

private:
    fs::path folder_ = fs::temp_directory_path() / "FerroWinder ANSI road";
};

TEST_F(AnsiRoad, BackupAndRestoreWork)
{
    EXPECT_FALSE(win32::wideRoad());
    test::MemoryRegistry store;
    const std::string programFolder = folder(L"Program");
    test::expectBackupAndRestoreWork(store, programFolder);

    // A second backup after the restore replaces Backup.reg (no MoveFileEx
    // here) and leaves no partial file behind.
    ASSERT_EQ(writeValue(store, test::kTtl, kRegSz, {'4', '8', 0}), kStatusOk);
    ASSERT_TRUE(writeBackup(store, programFolder).ok);
    std::FILE* file = openFile(backupRegPath(programFolder), "rb");
    ASSERT_TRUE(file);
    std::string text(4096, '\0');
    text.resize(std::fread(text.data(), 1, text.size(), file));
    std::fclose(file);
    EXPECT_NE(text.find("\"DefaultTTL\"=\"48\""), std::string::npos) << text;
    EXPECT_FALSE(fs::exists(fs::path(win32::wideFromUtf8(backupRegPath(programFolder) + ".partial"))));
}

TEST_F(AnsiRoad, AFolderNameTheCodePageCannotHoldIsRefusedWithItsReason)
{
    // Cyrillic and Japanese: no single ANSI code page holds both.
    const std::string programFolder = folder(L"\u0422\u0435\u0441\u0442 \u30bd\u30d5\u30c8");
    fs::create_directories(fs::path(win32::wideFromUtf8(programFolder)));
    test::MemoryRegistry store;
    ASSERT_EQ(writeValue(store, test::kTtl, kRegSz, {'3', '2', 0}), kStatusOk);

    const BackupResult backup = writeBackup(store, programFolder);
    EXPECT_FALSE(backup.ok);
    EXPECT_NE(backup.failure.find("code page (" + std::to_string(GetACP()) + ") cannot hold"), std::string::npos)
        << backup.failure;
    const RestoreResult restored = restoreRegistry(store, programFolder);
    EXPECT_NE(restored.error.find("cannot hold"), std::string::npos) << restored.error;
    // Nothing was made under another name: the folder holds only that one.
    std::size_t entries = 0;
    for (const auto& entry : fs::recursive_directory_iterator(fs::path(win32::wideFromUtf8(folder())))) {
        ++entries;
        EXPECT_EQ(entry.path().filename().wstring().find(L'?'), std::wstring::npos);
    }
    EXPECT_EQ(entries, 1u);
}

TEST_F(AnsiRoad, NamesConvertOnlyWhenTheyComeBackUnchanged)
{
    std::string ansi;
    EXPECT_TRUE(win32::ansiName("C:\\Program Files\\FerroWinder", ansi));
    EXPECT_EQ(ansi, "C:\\Program Files\\FerroWinder");
    for (const char* name : {"C:\\\xd0\xa2\xd0\xb5\xd1\x81\xd1\x82 \xe3\x82\xbd", "C:\\????\\Backup"}) {
        SetLastError(0);
        EXPECT_FALSE(win32::ansiName(name, ansi)) << name;
        EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_NO_UNICODE_TRANSLATION)) << name;
    }
}

TEST_F(AnsiRoad, FilesAreMadeReadReplacedAndDeleted)
{
    const std::string from = joinPath(folder(), "new.txt"), to = joinPath(folder(), "old.txt");
    for (const auto& [path, text] : {std::pair{from, "new"}, std::pair{to, "old"}}) {
        std::FILE* file = openFile(path, "wb");
        ASSERT_TRUE(file) << path;
        std::fputs(text, file);
        std::fclose(file);
    }
    ASSERT_TRUE(win32::replaceFile(from, to));
    EXPECT_EQ(win32::fileAttributes(from), INVALID_FILE_ATTRIBUTES);
    std::FILE* file = openFile(to, "rb");
    ASSERT_TRUE(file);
    char text[8] = {};
    EXPECT_EQ(std::fread(text, 1, sizeof text, file), 3u);
    std::fclose(file);
    EXPECT_STREQ(text, "new");
    EXPECT_TRUE(win32::deleteFile(to));
    EXPECT_FALSE(win32::deleteFile(to));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_FILE_NOT_FOUND));
}

TEST_F(AnsiRoad, TheProgramFileAndErrorsAreToldInTheCodePage)
{
    const std::string program = win32::programFile();
    win32::setWideRoadForTesting(true);
    EXPECT_EQ(program, win32::programFile());  // an ASCII path: both roads agree
    win32::setWideRoadForTesting(false);
    // Windows' own words through FormatMessageA, not the bare number.
    const std::string notFound = win32::errorText(ERROR_FILE_NOT_FOUND);
    EXPECT_NE(notFound.find(" (2)"), std::string::npos) << notFound;
    EXPECT_EQ(notFound.find("error (2)"), std::string::npos) << notFound;
    EXPECT_NE(win32::errorText(ERROR_NO_UNICODE_TRANSLATION).find("code page"), std::string::npos);
}

}  // namespace
}  // namespace ferro
