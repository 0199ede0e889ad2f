// The store on a full disk and on a read-only file system, with no log or
// shared-memory file beside it (as every command leaves it): reads work, and
// writes fail saying why, once, with nothing lost.
#ifdef __linux__
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>

#include "cli/CliRun.h"
#include "registry/TestMount.h"
#include "registry/TestRegistry.h"

namespace ferro {
namespace {

using test::StringSink;
using test::StringSource;

namespace fs = std::filesystem;

using Result = test::CliResult;

TEST(UnwritableDisk, ReadsWorkAndWritesSayWhyOnceLosingNothing)
{
    const struct {
        const char* name;
        bool full;            // else read-only
        const char* backup;   // where and why apply's backup fails
        const char* store;    // why the store refuses a change
        const char* noBackup; // why apply --no-backup fails
    } cases[] = {
        {"a full disk", true, "/Backup/Backup.reg.partial: the disk is full", "the disk is full (112)",
         "the disk is full (112)"},
        {"a read-only file system", false, "/Backup/Backup.nbf: Read-only file system",
         "the file system is read-only (19)", "Backup.idle: Read-only file system"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        test::TestRegistry reg;
        const std::string disk = reg.folder() + "/disk";
        fs::create_directory(disk);
        std::string why;
        const auto mount = test::TestMount::tmpfs(disk, 512 * 1024, why);
        if (!mount)
            GTEST_SKIP() << why;
        const std::string store = disk + "/registry.db";
        const auto run = [&](const std::vector<std::string>& args) { return test::runTool(args, store); };
        // A boost, and a file to import. On the full disk the boost is undone,
        // so that the next backup takes Backup.reg anew.
        ASSERT_EQ(run({"apply", "--speed", "57"}).code, kExitOk);
        if (c.full) {
            ASSERT_EQ(run({"restore", "--yes"}).code, kExitOk);
        }
        std::ofstream(disk + "/other.reg") << "Windows Registry Editor Version 5.00\r\n\r\n"
                                              "[HKEY_CURRENT_USER\\Software\\Other]\r\n\"a\"=\"b\"\r\n";
        const std::string before = run({"show"}).out;
        // A reader leaves them behind; a writer removes them, as here.
        ASSERT_EQ(fs::file_size(store + "-wal"), 0u);
        fs::remove(store + "-wal");
        fs::remove(store + "-shm");
        if (c.full) {
            test::fillDisk(disk, "1");
        } else {
            ASSERT_TRUE(mount->makeReadOnly(why)) << why;
        }

        for (const std::vector<std::string>& read :
             {std::vector<std::string>{"show"}, {"check", "--speed", "57"}, {"plan", "--speed", "57"}}) {
            const Result r = run(read);  // check may find the plan or not
            EXPECT_TRUE(r.code != kExitUsage && r.err.empty() && !r.out.empty()) << read[0] << ": " << r.err;
        }
        EXPECT_EQ(run({"show"}).out, before);

        const Result applied = run({"apply", "--speed", "1000"});
        EXPECT_EQ(applied.code, kExitFailed);
        EXPECT_NE(applied.err.find(disk + c.backup), std::string::npos) << applied.err;
        EXPECT_FALSE(fs::exists(disk + "/Backup/Backup.reg.partial"));
        if (c.full) {
            // A boost to undo again, for the restore below.
            ASSERT_TRUE(fs::remove(disk + "/Backup/Backup.idle"));
            test::fillDisk(disk, "2");
        }
        for (const std::vector<std::string>& write : {std::vector<std::string>{"import", disk + "/other.reg"},
                                                      {"restore", "--yes"},
                                                      {"apply", "--speed", "1000", "--no-backup"}}) {
            const Result r = run(write);
            EXPECT_EQ(r.code, kExitFailed) << write[0];
            const std::string said = write.size() == 4 ? c.noBackup : c.store;
            EXPECT_EQ(test::occurrences(r.err, said), 1u) << write[0] << ": " << r.err;
        }
        EXPECT_EQ(run({"show"}).out, before);
    }
}

// A read leaves the store's log and shared-memory files behind; with them
// the store opens on a read-only file system as a read-only file would. Every
// write command says why: the file system is read-only, never "access denied".
TEST(UnwritableDisk, AReadOnlyFileSystemIsNamedByEveryWritingCommand)
{
    test::TestRegistry reg;
    const std::string disk = reg.folder() + "/disk";
    fs::create_directory(disk);
    const std::string store = disk + "/registry.db";
    const auto run = [&](const std::vector<std::string>& args) { return test::runTool(args, store); };
    ASSERT_EQ(run({"apply", "--speed", "57"}).code, kExitOk);
    std::ofstream(disk + "/other.reg") << "Windows Registry Editor Version 5.00\r\n\r\n"
                                          "[HKEY_CURRENT_USER\\Software\\Other]\r\n\"a\"=\"b\"\r\n";
    ASSERT_EQ(run({"show"}).code, kExitOk);
    ASSERT_TRUE(fs::exists(store + "-shm")) << "the case is a store with its shared-memory file";
    std::string why;
    const auto mount = test::TestMount::readOnlyBind(disk, why);
    if (!mount)
        GTEST_SKIP() << why;

    for (const std::vector<std::string>& write : {std::vector<std::string>{"import", disk + "/other.reg"},
                                                  {"restore", "--yes"},
                                                  {"apply", "--speed", "1000", "--no-backup"}}) {
        const Result r = run(write);
        EXPECT_EQ(r.code, kExitFailed) << write[0];
        std::string said = r.err;
        std::transform(said.begin(), said.end(), said.begin(), [](unsigned char c) { return std::tolower(c); });
        EXPECT_NE(said.find("read-only"), std::string::npos) << write[0] << ": " << r.err;
        EXPECT_EQ(said.find("access denied"), std::string::npos) << write[0] << ": " << r.err;
        EXPECT_EQ(r.err.find('\r'), std::string::npos) << write[0];
        for (std::size_t line = 0; line < r.err.size(); line = r.err.find('\n', line) + 1)
            EXPECT_EQ(r.err.compare(line, 17, "ferrowinder-cli: "), 0) << write[0] << ": " << r.err.substr(line);
    }
}

}  // namespace
}  // namespace ferro
#endif
