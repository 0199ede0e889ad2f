// The backup page: Backup.nbf and Backup.reg on disk, and what the page says.
#include <filesystem>
#include <fstream>
#include <iterator>

#ifndef _WIN32
#include <unistd.h>
#endif

#include "registry/RegFile.h"
#include "registry/TestMount.h"
#include "tuning/Backup.h"
#include "tuning/TuningPlan.h"
#include "wizard/WizardTesting.h"

namespace ferro::test {
namespace {

namespace fs = std::filesystem;

const std::string kMarker = "Backup File 1.0. Backup feature structure put in for later purpose.\r\n";
const char* const kMstcp = "System\\CurrentControlSet\\Services\\VxD\\MSTCP";

std::string contents(const fs::path& path)
{
    std::ifstream file(path, std::ios::binary);
    return file ? std::string(std::istreambuf_iterator<char>(file), {}) : "<missing>";
}

void put(const fs::path& path, const std::string& bytes)
{
    std::ofstream file(path, std::ios::binary | std::ios::trunc);
    ASSERT_TRUE(file << bytes);
}

bool startsWith(const std::string& text, const std::string& start)
{
    return text.compare(0, start.size(), start) == 0;
}

class BackupPageTest : public WizardTest {
protected:
    // As the program spells them.
    fs::path marker() const { return fs::path(backupFolder(folder())) / kMarkerFileName; }
    fs::path regBackup() const { return backupRegPath(folder()); }
    void showBackupPage()
    {
        open();
        click("cmdNext_0");
    }
};

TEST_F(BackupPageTest, CreatesTheFolderAndRecordsTheValuesAsTheyStandBeforeTheBoost)
{
    ASSERT_EQ(writeValue(store, {RootKey::LocalMachine, kMstcp, "DefaultTTL"}, kRegSz, sz("128")), 0);
    showBackupPage();
    EXPECT_EQ(text("lblSetting_0"), "Complete");
    EXPECT_EQ(contents(marker()), kMarker);
    EXPECT_EQ(kMarker.size(), 69u);

    const std::string reg = contents(regBackup());
    EXPECT_TRUE(startsWith(reg, "Windows Registry Editor Version 5.00\r\n"));
    EXPECT_NE(reg.find("\r\n\"DefaultTTL\"=\"128\"\r\n"), std::string::npos);
    EXPECT_NE(reg.find("\r\n\"DefaultRcvWindow\"=-\r\n"), std::string::npos);
    const std::vector<RegEntry> entries = readRegFile(reg);
    ASSERT_EQ(entries.size(), planValues().size());
    for (std::size_t i = 0; i < entries.size(); ++i) {
        EXPECT_TRUE(samePlace(entries[i].path, planValues()[i]));
        const bool present = entries[i].state && entries[i].state->present;
        EXPECT_EQ(present, entries[i].path.valueName == "DefaultTTL");
    }
}

TEST_F(BackupPageTest, RewritesTheMarkerButKeepsARegBackupFromBeforeABoostNotYetUndone)
{
    ASSERT_TRUE(fs::create_directory(path("Backup")));
    put(marker(), "something older and longer than the marker line, to be replaced entirely\r\n");
    const std::string earlier = "Windows Registry Editor Version 5.00\r\n\r\n[HKEY_LOCAL_MACHINE\\" +
                                std::string(kMstcp) + "]\r\n\"DefaultTTL\"=\"128\"\r\n";
    put(regBackup(), earlier);
    showBackupPage();
    EXPECT_EQ(contents(marker()), kMarker);
    EXPECT_EQ(contents(regBackup()), earlier);
    EXPECT_EQ(text("lblSetting_0"), "Complete");

    // One the restore would refuse is no good backup, and is not replaced either.
    put(regBackup(), "settings from before the first boost");
    click("cmdBack_0");
    click("cmdNext_0");
    EXPECT_TRUE(startsWith(text("lblSetting_0"), "Failed: the backup " + regBackup().string() + " is damaged"))
        << text("lblSetting_0");
    EXPECT_EQ(contents(regBackup()), "settings from before the first boost");
}

TEST_F(BackupPageTest, AFailedBackupSaysWhyAndStillLetsTheUserGoOn)
{
    // Something in the way of the folder fails for every user, root included.
    put(path("Backup"), "not a folder");
    showBackupPage();
    EXPECT_TRUE(startsWith(text("lblSetting_0"), "Failed: ")) << text("lblSetting_0");
    EXPECT_NE(text("lblSetting_0").find(path("Backup").string()), std::string::npos) << text("lblSetting_0");
    EXPECT_EQ(state(*wizard, "lblSetting_0").toolTip, text("lblSetting_0")) << "the whole reason";
    EXPECT_TRUE(usable("cmdNext_0"));
    click("cmdNext_0");
    EXPECT_TRUE(seen("lblInformation_2"));
}

TEST_F(BackupPageTest, AFolderWithoutWriteAccessIsReportedAsFailed)
{
#ifdef _WIN32
    GTEST_SKIP() << "folder permissions are not POSIX modes here";
#else
    ASSERT_TRUE(fs::create_directory(path("Backup")));
    const bool root = geteuid() == 0;
#ifdef __linux__
    // Permissions do not bind root (as in CI): a read-only mount refuses it too.
    std::string why = "permissions do not bind root";
    const auto readOnly = root ? TestMount::readOnlyBind(path("Backup").string(), why) : nullptr;
    if (root && !readOnly)
        GTEST_SKIP() << why;
#else
    if (root)
        GTEST_SKIP() << "permissions do not bind root, and no read-only mount can be made here";
#endif
    if (!root)
        fs::permissions(path("Backup"), fs::perms::owner_read | fs::perms::owner_exec);
    showBackupPage();
    if (!root)
        fs::permissions(path("Backup"), fs::perms::owner_all);
    EXPECT_TRUE(startsWith(text("lblSetting_0"), "Failed: "));
    EXPECT_NE(text("lblSetting_0").find(marker().string()), std::string::npos);
    EXPECT_TRUE(usable("cmdNext_0"));
    EXPECT_FALSE(fs::exists(marker()));
#endif
}

}  // namespace
}  // namespace ferro::test
