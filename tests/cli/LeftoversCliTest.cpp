// `ferrowinder-cli leftovers` on the store: the report's exit codes and
// formats, --fix and --undo, a tampered backup, a full disk, and the change
// log (`ferrowinder-cli log`) of every command that changes values.
#ifndef _WIN32
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "cli/CliRun.h"
#include "registry/TestMount.h"
#include "registry/TestRegistry.h"
#include "tuning/ChangeLog.h"
#include "tuning/LeftoverRows.h"

namespace ferro {
namespace {

namespace fs = std::filesystem;

using test::kMultimedia;
using test::kTcpip;

std::size_t lines(const std::string& text)
{
    return static_cast<std::size_t>(std::count(text.begin(), text.end(), '\n'));
}

class LeftoversCliTest : public ::testing::Test {
protected:
    test::CliResult run(std::vector<std::string> args) { return test::runTool(std::move(args), reg.storePath()); }
    void plant(const std::string& key, const std::string& name, std::uint32_t type, const Bytes& data)
    {
        ASSERT_EQ(writeValue(reg.backend(), {RootKey::LocalMachine, key, name}, type, data), kStatusOk);
    }
    std::string rows() { return test::leftoverRowsState(reg.backend()); }
    std::string backupFile() { return reg.folder() + "/Backup/Leftovers.reg"; }

    test::TestRegistry reg;
};

TEST_F(LeftoversCliTest, TheReportExitsOneOnlyWhenSomethingHarmfulIsSet)
{
    const struct {
        const char* name;
        std::string key;
        const char* value;
        std::uint32_t type;
        Bytes data;
        int code;
    } cases[] = {
        {"nothing set", kTcpip, "Tcp1323Opts", 0, {}, kExitOk},
        {"window scaling off", kTcpip, "Tcp1323Opts", kRegDword, {0, 0, 0, 0}, kExitNotAsPlanned},
        {"throttling off altogether", kMultimedia, "NetworkThrottlingIndex", kRegDword, {0xff, 0xff, 0xff, 0xff}, kExitOk},
        {"throttling to 4 packets", kMultimedia, "NetworkThrottlingIndex", kRegDword, {4, 0, 0, 0}, kExitNotAsPlanned},
        {"the boost's text type", kTcpip, "Tcp1323Opts", kRegSz, {'0', 0}, kExitOk},
        {"an ignored window size", kTcpip, "TcpWindowSize", kRegDword, {0, 0, 1, 0}, kExitOk},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const ValuePath path{RootKey::LocalMachine, c.key, c.value};
        if (!c.data.empty()) {
            ASSERT_EQ(writeValue(reg.backend(), path, c.type, c.data), kStatusOk);
        }
        const test::CliResult text = run({"leftovers"});
        EXPECT_EQ(text.code, c.code) << text.out << text.err;
        EXPECT_EQ(text.err, "");
        EXPECT_NE(text.out.find(std::string(c.value) + ": " + (c.code ? "harmful\n" : "")), std::string::npos);
        EXPECT_NE(text.out.find(c.code ? "1 harmful setting found." : "Nothing harmful was found."), std::string::npos);
        const test::CliResult json = run({"leftovers", "--format", "json"});
        EXPECT_EQ(json.code, c.code);
        EXPECT_EQ(json.out.rfind(std::string("{\"format\":2,\"harmful\":") + (c.code ? "1" : "0") + ",\"unreadable\":0,", 0), 0u)
            << json.out;
        EXPECT_NE(json.out.find("\"name\":\"Receive-window autotuning level\",\"verdict\":\"not on this system\""),
                  std::string::npos);
        const test::CliResult tsv = run({"leftovers", "--format", "tsv"});
        EXPECT_EQ(tsv.code, c.code);
        EXPECT_EQ(lines(tsv.out), leftoverRows().size() + 1);
        ASSERT_EQ(deleteValue(reg.backend(), path), kStatusOk);
    }
}

TEST_F(LeftoversCliTest, FixThenUndoGivesThePlantedValuesBackAndBothAreLogged)
{
    plant(kTcpip, "DisableTaskOffload", kRegDword, {1, 0, 0, 0});
    plant(kMultimedia, "NetworkThrottlingIndex", kRegDword, {3, 0, 0, 0});
    plant(kTcpip, "DefaultTTL", kRegDword, {64, 0, 0, 0});
    const std::string planted = rows();

    const test::CliResult dry = run({"leftovers", "--fix", "--dry-run"});
    EXPECT_EQ(dry.code, kExitOk);
    EXPECT_NE(dry.out.find("--fix would put back 2 values"), std::string::npos) << dry.out;
    EXPECT_EQ(rows(), planted);
    EXPECT_FALSE(fs::exists(backupFile()));

    const test::CliResult fixed = run({"leftovers", "--fix"});
    EXPECT_EQ(fixed.code, kExitOk) << fixed.err;
    EXPECT_NE(fixed.out.find("NetworkThrottlingIndex: was dword:00000003, now dword:0000000a"), std::string::npos)
        << fixed.out;
    EXPECT_TRUE(fs::exists(backupFile()));
    EXPECT_EQ(run({"leftovers"}).code, kExitOk);

    const test::CliResult undone = run({"leftovers", "--undo"});
    EXPECT_EQ(undone.code, kExitOk) << undone.err;
    EXPECT_EQ(rows(), planted);
    EXPECT_FALSE(fs::exists(backupFile()));
    EXPECT_NE(run({"leftovers", "--undo"}).out.find("Nothing to undo"), std::string::npos);

    const test::CliResult log = run({"log"});
    EXPECT_EQ(log.code, kExitOk);
    EXPECT_EQ(lines(log.out), 5u) << log.out;  // the header, two values fixed, two undone
    EXPECT_NE(log.out.find("\tleftovers --undo\tHKEY_LOCAL_MACHINE\\" + kTcpip + "\\DisableTaskOffload\tabsent\tdword:00000001\n"),
              std::string::npos)
        << log.out;
}

TEST_F(LeftoversCliTest, ApplyAndRestoreAreLoggedAndALogThatCannotBeWrittenStopsNothing)
{
    EXPECT_NE(run({"log"}).out.find("Nothing has been logged yet"), std::string::npos);
    ASSERT_EQ(run({"apply", "--speed", "57"}).code, kExitOk);
    ASSERT_EQ(run({"restore", "--yes"}).code, kExitOk);
    const std::string log = run({"log"}).out;
    EXPECT_EQ(lines(log), 1u + 2u * planValues().size()) << log;
    EXPECT_NE(log.find("\tapply --speed 57\t"), std::string::npos);
    EXPECT_NE(log.find("\trestore\t"), std::string::npos);

    // The log is a link now: the fix is made all the same, and says so.
    std::ofstream(reg.folder() + "/victim") << "kept";
    fs::remove(changeLogPath(reg.folder()));
    fs::create_symlink(reg.folder() + "/victim", changeLogPath(reg.folder()));
    plant(kTcpip, "EnablePMTUDiscovery", kRegDword, {0, 0, 0, 0});
    const test::CliResult fixed = run({"leftovers", "--fix"});
    EXPECT_EQ(fixed.code, kExitOk);
    EXPECT_NE(fixed.err.find("the change log could not be written"), std::string::npos) << fixed.err;
    EXPECT_NE(fixed.err.find("the 1 change was made all the same"), std::string::npos) << fixed.err;
    EXPECT_EQ(run({"leftovers"}).code, kExitOk);
    EXPECT_EQ(std::ifstream(reg.folder() + "/victim").rdbuf()->sgetc(), 'k');
}

TEST_F(LeftoversCliTest, ATamperedBackupIsRefusedAndNothingIsWritten)
{
    plant(kTcpip, "Tcp1323Opts", kRegDword, {2, 0, 0, 0});
    ASSERT_EQ(run({"leftovers", "--fix"}).code, kExitOk);
    std::ofstream(backupFile(), std::ios::app) << "\r\n[HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Run]"
                                                 "\r\n\"Tcp1323Opts\"=dword:00000002\r\n";
    const std::string before = rows();
    const test::CliResult undone = run({"leftovers", "--undo"});
    EXPECT_EQ(undone.code, kExitFailed);
    EXPECT_NE(undone.err.find("sets something the fix never changes"), std::string::npos) << undone.err;
    EXPECT_EQ(rows(), before);
    ValueState run;
    EXPECT_EQ(readValue(reg.backend(), {RootKey::LocalMachine, "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Run", "Tcp1323Opts"}, run),
              kStatusNotFound);
}

TEST_F(LeftoversCliTest, OptionsThatDoNotGoTogetherAreRefused)
{
    for (const std::vector<std::string>& words :
         {std::vector<std::string>{"leftovers", "--dry-run"}, {"leftovers", "--fix", "--undo"},
          {"leftovers", "--fix", "--format", "json"}, {"leftovers", "--format", "xml"}, {"log", "--fix"}}) {
        const test::CliResult r = run(words);
        EXPECT_EQ(r.code, kExitUsage) << words[1];
        EXPECT_NE(r.err.find("Usage: ferrowinder-cli "), std::string::npos) << r.err;
    }
}

#ifdef __linux__
// The Backup folder on a full disk of its own, the store on another that
// could take the writes: the fix must not make them.
TEST_F(LeftoversCliTest, AFullDiskStopsTheFixBeforeAnyWrite)
{
    const std::string disk = reg.folder() + "/Backup";
    fs::create_directory(disk);
    std::string why;
    const auto mount = test::TestMount::tmpfs(disk, 64 * 1024, why);
    if (!mount)
        GTEST_SKIP() << why;
    plant(kTcpip, "Tcp1323Opts", kRegDword, {0, 0, 0, 0});
    const std::string before = rows();
    test::fillDisk(disk, "");

    const test::CliResult fixed = run({"leftovers", "--fix"});
    EXPECT_EQ(fixed.code, kExitFailed);
    EXPECT_NE(fixed.err.find("Leftovers.reg.partial: the disk is full; nothing was changed"), std::string::npos)
        << fixed.err;
    EXPECT_FALSE(fs::exists(disk + "/Leftovers.reg"));
    EXPECT_FALSE(fs::exists(disk + "/Leftovers.reg.partial"));
    EXPECT_EQ(rows(), before);
    EXPECT_EQ(run({"leftovers"}).code, kExitNotAsPlanned);
}
#endif

}  // namespace
}  // namespace ferro
#endif
