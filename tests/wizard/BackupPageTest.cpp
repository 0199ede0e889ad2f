// The backup page: Backup.nbf and Backup.reg on disk, and what the page says.
#include "wizard/WizardTesting.h"

#include <QDir>
#include <QFile>

#include <unistd.h>

#include "registry/RegFile.h"
#include "tuning/TuningPlan.h"

namespace ferro::test {
namespace {

const QByteArray kMarker =
    "Backup File 1.0. Backup feature structure put in for later purpose.\r\n";
const char* const kMstcp = "System\\CurrentControlSet\\Services\\VxD\\MSTCP";

QByteArray contents(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
}

void put(const QString& path, const QByteArray& bytes)
{
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    file.write(bytes);
}

class BackupPageTest : public WizardTest {
protected:
    QString marker() const { return dir.filePath("Backup/Backup.nbf"); }
    QString regBackup() const { return dir.filePath("Backup/Backup.reg"); }
    void showBackupPage()
    {
        open();
        click("cmdNext_0");
    }
};

TEST_F(BackupPageTest, CreatesTheFolderAndRecordsTheValuesAsTheyStandBeforeTheBoost)
{
    ASSERT_EQ(writeValue(*store, {RootKey::LocalMachine, kMstcp, "DefaultTTL"}, kRegSz, sz("128")), 0);
    showBackupPage();
    EXPECT_EQ(text("lblSetting_0"), "Complete");
    EXPECT_EQ(contents(marker()), kMarker);
    EXPECT_EQ(kMarker.size(), 69);

    const QByteArray reg = contents(regBackup());
    EXPECT_TRUE(reg.startsWith("Windows Registry Editor Version 5.00\r\n"));
    EXPECT_TRUE(reg.contains("\r\n\"DefaultTTL\"=\"128\"\r\n"));
    EXPECT_TRUE(reg.contains("\r\n\"DefaultRcvWindow\"=-\r\n"));
    const std::vector<RegEntry> entries = readRegFile(reg.toStdString());
    ASSERT_EQ(entries.size(), planValues().size());
    for (std::size_t i = 0; i < entries.size(); ++i) {
        EXPECT_TRUE(samePlace(entries[i].path, planValues()[i]));
        const bool present = entries[i].state && entries[i].state->present;
        EXPECT_EQ(present, entries[i].path.valueName == "DefaultTTL");
    }
}

TEST_F(BackupPageTest, RewritesTheMarkerButKeepsARegBackupFromBeforeABoostNotYetUndone)
{
    ASSERT_TRUE(QDir(dir.path()).mkdir("Backup"));
    put(marker(), "something older and longer than the marker line, to be replaced entirely\r\n");
    const QByteArray earlier = "Windows Registry Editor Version 5.00\r\n\r\n[HKEY_LOCAL_MACHINE\\" +
                               QByteArray(kMstcp) + "]\r\n\"DefaultTTL\"=\"128\"\r\n";
    put(regBackup(), earlier);
    showBackupPage();
    EXPECT_EQ(contents(marker()), kMarker);
    EXPECT_EQ(contents(regBackup()), earlier);
    EXPECT_EQ(text("lblSetting_0"), "Complete");

    // One the restore would refuse is no good backup, and is not replaced either.
    put(regBackup(), "settings from before the first boost");
    click("cmdBack_0");
    click("cmdNext_0");
    EXPECT_TRUE(text("lblSetting_0").startsWith("Failed: the backup " + regBackup() + " is damaged"))
        << text("lblSetting_0").toStdString();
    EXPECT_EQ(contents(regBackup()), "settings from before the first boost");
}

TEST_F(BackupPageTest, AFailedBackupSaysWhyAndStillLetsTheUserGoOn)
{
    // Something in the way of the folder fails for every user, root included.
    put(dir.filePath("Backup"), "not a folder");
    showBackupPage();
    EXPECT_TRUE(text("lblSetting_0").startsWith("Failed: ")) << text("lblSetting_0").toStdString();
    EXPECT_TRUE(text("lblSetting_0").contains(dir.filePath("Backup")));
    EXPECT_TRUE(button("cmdNext_0")->isEnabled());
    click("cmdNext_0");
    EXPECT_TRUE(control("lblInformation_2")->isVisible());
}

TEST_F(BackupPageTest, AFolderWithoutWriteAccessIsReportedAsFailed)
{
    if (geteuid() == 0)
        GTEST_SKIP() << "permissions do not bind root";
    ASSERT_TRUE(QDir(dir.path()).mkdir("Backup"));
    ASSERT_TRUE(QFile::setPermissions(dir.filePath("Backup"), QFile::ReadOwner | QFile::ExeOwner));
    showBackupPage();
    QFile::setPermissions(dir.filePath("Backup"), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    EXPECT_TRUE(text("lblSetting_0").startsWith("Failed: "));
    EXPECT_TRUE(text("lblSetting_0").contains(marker()));
    EXPECT_TRUE(button("cmdNext_0")->isEnabled());
    EXPECT_FALSE(QFile::exists(marker()));
}

}  // namespace
}  // namespace ferro::test
