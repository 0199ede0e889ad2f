// Folder and file names joined and split as the backup's folder needs them,
// and the folders above a backup made when missing.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "platform/Paths.h"
#include "registry/TestRegistry.h"
#include "tuning/Backup.h"

namespace ferro {
namespace {

namespace fs = std::filesystem;

TEST(Paths, JoinAndParentAsThisSystemSpellsThem)
{
    const struct {
        const char* folder;
        const char* name;
        const char* joined;
    } joins[] = {
        {"", "Backup", "Backup"},
#ifdef _WIN32
        {"C:\\Program Files\\FerroWinder", "Backup", "C:\\Program Files\\FerroWinder\\Backup"},
        {"C:\\", "Backup", "C:\\Backup"},
        {"C:/tools/", "Backup", "C:/tools/Backup"},
#else
        {"/home/a/.local/share/FerroWinder", "Backup", "/home/a/.local/share/FerroWinder/Backup"},
        {"/", "Backup", "/Backup"},
        {"data/", "Backup", "data/Backup"},
#endif
    };
    for (const auto& c : joins)
        EXPECT_EQ(joinPath(c.folder, c.name), c.joined) << c.folder;

    const struct {
        const char* path;
        const char* parent;
    } parents[] = {
        {"registry.db", ""},
#ifdef _WIN32
        {"C:\\Program Files\\FerroWinder\\ferrowinder.exe", "C:\\Program Files\\FerroWinder"},
        {"C:\\ferrowinder.exe", "C:\\"},
        {"C:/tools//ferrowinder.exe", "C:/tools"},
        {"\\\\server\\share\\tools\\ferrowinder.exe", "\\\\server\\share\\tools"},
        {"C:ferrowinder.exe", "C:"},
#else
        {"/home/a/.local/share/FerroWinder/registry.db", "/home/a/.local/share/FerroWinder"},
        {"/registry.db", "/"},
        {"data//registry.db", "data"},
        {"a\\b", ""},  // a backslash is part of a name here
#endif
    };
    for (const auto& c : parents)
        EXPECT_EQ(parentPath(c.path), c.parent) << c.path;
}

TEST(Paths, TheFoldersAboveTheBackupAreMadeUnlessAFileStandsInTheWay)
{
    test::TestRegistry reg;
    const std::string fresh = (fs::path(reg.folder()) / "new" / "deeper").string();
    const BackupResult backed = writeBackup(reg.backend(), fresh);
    ASSERT_TRUE(backed.ok) << backed.failure;
    EXPECT_TRUE(fs::is_regular_file(backupRegPath(fresh)));

    std::ofstream(fs::path(reg.folder()) / "file") << "x";
    const std::string blocked = (fs::path(reg.folder()) / "file" / "below").string();
    const BackupResult refused = writeBackup(reg.backend(), blocked);
    EXPECT_FALSE(refused.ok);
    EXPECT_NE(refused.failure.find("cannot create the folder " + blocked + ": "), std::string::npos)
        << refused.failure;
}

}  // namespace
}  // namespace ferro
