// The backup's files as each system's own calls write and read them (natively,
// and under Wine through the Windows ones). Nothing here writes a plan value,
// so it may run against the real registry.
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <optional>
#include <sstream>
#include <thread>

#include "registry/TestRegistry.h"
#include "tuning/Backup.h"
#include "tuning/TuningPlan.h"

namespace ferro {
namespace {

namespace fs = std::filesystem;

std::string slurp(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

TEST(BackupFiles, TakenKeptAndRefusedAsTheBoostAndTheRestoreRequire)
{
    test::TestRegistry reg;
    const std::string& folder = reg.folder();

    BackupResult backed = writeBackup(reg.backend(), folder);
    ASSERT_TRUE(backed.ok) << backed.failure;
    EXPECT_FALSE(backed.keptEarlier);
    EXPECT_EQ(slurp((std::filesystem::path(backupFolder(folder)) / kMarkerFileName).string()),
              "Backup File 1.0. Backup feature structure put in for later purpose.\r\n");
    const std::string taken = slurp(backupRegPath(folder));
    EXPECT_EQ(readRegFile(taken).size(), planValues().size());

    // No boost since: nothing to undo, and the next YES takes it anew.
    RestoreResult restored = restoreRegistry(reg.backend(), folder);
    EXPECT_TRUE(restored.ok()) << restored.error;
    EXPECT_TRUE(restored.nothingToUndo);
    EXPECT_FALSE(writeBackup(reg.backend(), folder).keptEarlier);

    // After a boost's first write the backup is the one to keep.
    ASSERT_TRUE(BoostMark(folder).result().ok);
    backed = writeBackup(reg.backend(), folder);
    EXPECT_TRUE(backed.ok) << backed.failure;
    EXPECT_TRUE(backed.keptEarlier);

    const struct {
        const char* name;
        std::string text;
        std::uintmax_t size;  // 0: as written
        const char* said;
    } refused[] = {
        {"a Run key",
         "Windows Registry Editor Version 5.00\r\n\r\n"
         "[HKEY_LOCAL_MACHINE\\Software\\Microsoft\\Windows\\CurrentVersion\\Run]\r\n\"x\"=\"evil.exe\"\r\n",
         0, "line 3: [HKEY_LOCAL_MACHINE\\Software\\Microsoft\\Windows\\CurrentVersion\\Run]"},
        {"too large", taken, kMaxBackupBytes + 1, "is larger than a backup can be"},
    };
    for (const auto& c : refused) {
        SCOPED_TRACE(c.name);
        { std::ofstream(backupRegPath(folder), std::ios::binary | std::ios::trunc) << c.text; }
        if (c.size)
            fs::resize_file(backupRegPath(folder), c.size);
        restored = restoreRegistry(reg.backend(), folder);
        EXPECT_FALSE(restored.ok());
        EXPECT_TRUE(restored.failures.empty()) << "nothing was written";
        EXPECT_NE(restored.error.find(c.said), std::string::npos) << restored.error;
    }
}

// A restore from elsewhere (here another thread, which takes the folder as
// another process would) waits while a boost holds its mark, so that it can
// never land between the mark and the boost's writes.
TEST(BackupFiles, ARestoreWaitsForTheBoostHoldingTheMark)
{
    test::TestRegistry reg;
    const std::string& folder = reg.folder();
    ASSERT_TRUE(writeBackup(reg.backend(), folder).ok);
    std::optional<BoostMark> mark(std::in_place, folder);
    ASSERT_TRUE(mark->result().ok) << mark->result().failure;

    std::atomic<bool> restored{false};
    std::thread restore([&] {
        restoreRegistry(reg.backend(), folder);
        restored = true;
    });
    std::this_thread::sleep_for(std::chrono::milliseconds(300));
    const bool restoredDuringBoost = restored;
    mark.reset();
    restore.join();
    EXPECT_FALSE(restoredDuringBoost);
    EXPECT_TRUE(restored);
}

}  // namespace
}  // namespace ferro
