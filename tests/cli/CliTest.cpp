// ferrowinder-cli as a user calls it, against a store of its own.
#ifndef _WIN32
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <utility>

#include "cli/Commands.h"
#include "registry/TestRegistry.h"

namespace ferro {
namespace {

struct Result {
    int code;
    std::string out;
    std::string err;
};

class CliTest : public ::testing::Test {
protected:
    Result run(std::vector<std::string> args, const std::string& input = "", bool interactive = false)
    {
        args.push_back("--registry");
        args.push_back(reg.storePath());
        StringSource in(input);
        StringSink out, err;
        const int code = runCli(args, {in, out, err, interactive});
        return {code, out.str(), err.str()};
    }

    std::string file(const std::string& name, const std::string& content = {})
    {
        const std::string path = reg.folder() + "/" + name;
        if (!content.empty())
            std::ofstream(path, std::ios::binary) << content;
        return path;
    }

    test::TestRegistry reg;
};

std::vector<std::string> lines(const std::string& text)
{
    std::vector<std::string> out;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);)
        out.push_back(line);
    return out;
}

TEST_F(CliTest, PlanTsvListsTheNineteenSteps)
{
    const Result dialUp = run({"plan", "--speed", "56", "--format", "tsv"});
    ASSERT_EQ(dialUp.code, kExitOk);
    const std::vector<std::string> rows = lines(dialUp.out);
    ASSERT_EQ(rows.size(), 1u + 19u);
    EXPECT_EQ(rows[0], "step\troot\tkey\tvalue\ttype\tdata\tread_by\texpected_type\teffect_windows_10_11\t"
                       "confidence\tsources");
    auto startsWith = [](const std::string& s, const std::string& start) { return s.rfind(start, 0) == 0; };
    EXPECT_TRUE(startsWith(rows[1], "1\tHKEY_LOCAL_MACHINE\tSystem\\CurrentControlSet\\Services\\VxD\\MSTCP\t"
                                    "DefaultRcvWindow\tREG_SZ\t16616\t")) << rows[1];
    EXPECT_TRUE(startsWith(rows[10], "10\tHKEY_CURRENT_USER\tSoftware\\Microsoft\\Windows\\CurrentVersion\\"
                                     "Internet Settings\tMaxConnectionsPerServer\tREG_SZ\tdword:00000010\t"));
    EXPECT_NE(rows[19].find("\tMTU\tREG_DWORD\t-\t"), std::string::npos) << rows[19];
    EXPECT_NE(lines(run({"plan", "--speed=57", "--format=tsv"}).out)[19].find("\tMTU\tREG_DWORD\t1500\t"),
              std::string::npos);
    EXPECT_NE(lines(run({"plan", "--speed", "4294967295", "--format", "tsv"}).out)[1].find(
                  "\tDefaultRcvWindow\tREG_SZ\t-\t"),
              std::string::npos);
}

TEST_F(CliTest, BadUsageIsExit2WithAClearMessage)
{
    for (const char* speed : {"", "-1", "+5", " 5", "5.0", "4294967296", "99999999999", "fast"}) {
        const Result r = run({"apply", "--speed", speed});
        EXPECT_EQ(r.code, kExitUsage) << speed;
        EXPECT_NE(r.err.find("--speed takes a whole number"), std::string::npos) << r.err;
    }
    EXPECT_EQ(run({"apply"}).code, kExitUsage);
    EXPECT_EQ(run({"plan", "--speed"}).code, kExitUsage);
    EXPECT_EQ(run({"show", "--speed", "5"}).code, kExitUsage);
    EXPECT_EQ(run({"boost"}).code, kExitUsage);
    EXPECT_EQ(run({"import"}).code, kExitUsage);
    EXPECT_EQ(run({"import", file("missing.reg")}).code, kExitUsage);
    EXPECT_EQ(run({"check"}).code, kExitUsage);
    EXPECT_EQ(run({"check", "--speed", "57", "--format", "tsv"}).code, kExitUsage);
    EXPECT_EQ(run({"plan", "--speed", "57", "--format", "xml"}).code, kExitUsage);
    for (const char* command : {"plan", "apply", "check", "show", "export", "import", "restore"}) {
        const Result help = run({command, "--help"});
        EXPECT_EQ(help.code, kExitOk) << command;
        EXPECT_NE(help.out.find(std::string("Usage: ferrowinder-cli ") + command), std::string::npos);
    }
}

// The exit codes are a promise to scripts, so the numbers themselves are
// pinned: 0 success; 1 a write failed, or check found the registry differs;
// 2 bad usage or unreadable input. The calls run in order on one store whose
// backup cannot be written (Backup.reg is a folder).
TEST_F(CliTest, EachCommandExitsWithTheDocumentedNumber)
{
    std::filesystem::create_directories(reg.folder() + "/Backup/Backup.reg");
    const std::string good = file("good.reg", run({"export", "--speed", "57"}).out);
    const std::string bad = file("bad.reg", "Windows Registry Editor Version 5.00\r\n\r\n"
                                            "[HKEY_LOCAL_MACHINE\\Software]\r\n\"v\"=dword:nope\r\n");
    const struct {
        std::vector<std::string> args;
        int code;
    } calls[] = {
        {{"--help"}, 0},
        {{"boost"}, 2},
        {{"plan", "--speed", "57"}, 0},
        {{"plan", "--speed", "fast"}, 2},
        {{"check", "--speed", "57"}, 1},
        {{"check"}, 2},
        {{"apply", "--speed", "57"}, 1},  // the backup could not be taken
        {{"apply", "--speed", "57", "--no-backup"}, 0},
        {{"apply", "--speed", "57", "--yes"}, 2},
        {{"check", "--speed", "57"}, 0},
        {{"show"}, 0},
        {{"show", "extra"}, 2},
        {{"export", "--speed", "57", "-o", reg.folder()}, 1},  // a folder cannot be written as a file
        {{"export", "--speed", "57"}, 0},
        {{"import", good}, 0},
        {{"import", bad}, 2},
        {{"import", reg.folder() + "/missing.reg"}, 2},
        {{"restore"}, 2},  // no terminal to ask on
        {{"restore", "--yes"}, 1},  // the backup cannot be read
    };
    for (const auto& call : calls) {
        const Result r = run(call.args);
        std::string words;
        for (const std::string& w : call.args)
            words += w + " ";
        EXPECT_EQ(r.code, call.code) << words << "\n" << r.err;
    }
}

TEST_F(CliTest, ExportGivesWhatApplyWrites)
{
    const Result exported = run({"export", "--speed", "57"});
    ASSERT_EQ(exported.code, kExitOk);
    const std::string& text = exported.out;
    EXPECT_NE(text.find("\"DefaultRcvWindow\"=\"17520\"\r\n"), std::string::npos);
    EXPECT_NE(text.find("\"internetMTU\"=\"1500\"\r\n"), std::string::npos);
    EXPECT_NE(text.find("\"MTU\"=dword:000005dc\r\n"), std::string::npos);
    EXPECT_NE(text.find("[HKEY_CURRENT_USER\\Software\\Microsoft\\Windows\\CurrentVersion\\Internet Settings]\r\n"
                        "\"MaxConnectionsPer1_0Server\"=\"dword:00000010\"\r\n"
                        "\"MaxConnectionsPerServer\"=\"dword:00000010\"\r\n"),
              std::string::npos);
    EXPECT_EQ(text.find("MaxConnectionsPer1_0Server"), text.rfind("MaxConnectionsPer1_0Server"));

    ASSERT_EQ(run({"apply", "--speed", "57"}).code, kExitOk);
    EXPECT_EQ(run({"show"}).out, text);  // every value the plan touches, as written

    const std::string path = file("boost.reg");
    ASSERT_EQ(run({"export", "--speed", "57", "-o", path}).code, kExitOk);
    std::ifstream in(path, std::ios::binary);
    std::stringstream saved;
    saved << in.rdbuf();
    EXPECT_EQ(saved.str(), text);
}

TEST_F(CliTest, DryRunAndShowOnAnEmptyRegistry)
{
    const Result dry = run({"apply", "--speed", "56", "--dry-run"});
    EXPECT_EQ(dry.code, kExitOk);
    EXPECT_NE(dry.out.find("step 19: nothing to write at this speed"), std::string::npos);
    const Result shown = run({"show"});
    EXPECT_EQ(shown.code, kExitOk);
    EXPECT_EQ(lines(shown.out).size(), 1u + 8u * 2u + 18u);  // header, 8 keys with a blank line each, 18 absent values
    EXPECT_NE(shown.out.find("\"DefaultRcvWindow\"=-\r\n"), std::string::npos);
}

TEST_F(CliTest, ImportPutsBackAnEarlierStateAndRefusesBadFiles)
{
    const std::string empty = run({"show"}).out;
    const std::string before = file("before.reg", empty);
    ASSERT_EQ(run({"apply", "--speed", "20000"}).code, kExitOk);  // REG_SZ values and the REG_DWORD MTU
    const std::string boosted = run({"show"}).out;

    const std::string bad = file("bad.reg", "Windows Registry Editor Version 5.00\r\n\r\n"
                                            "[HKEY_LOCAL_MACHINE\\System\\CurrentControlSet\\Services\\VxD\\MSTCP]\r\n"
                                            "\"DefaultRcvWindow\"=-\r\n"
                                            "\"DefaultTTL\"=dword:nope\r\n");
    const Result refused = run({"import", bad});
    EXPECT_EQ(refused.code, kExitUsage);
    EXPECT_NE(refused.err.find("line 5"), std::string::npos) << refused.err;
    EXPECT_EQ(run({"show"}).out, boosted);  // nothing applied, not even line 4

    const Result restored = run({"import", before});
    EXPECT_EQ(restored.code, kExitOk) << restored.err;
    EXPECT_EQ(run({"show"}).out, empty);  // every value absent again, of either type
    EXPECT_EQ(run({"show"}).out.find("=\""), std::string::npos);

    // And back, with each kind of data a .reg file holds: the store then says
    // what the file says.
    std::string typed = boosted;
    const std::pair<std::string, std::string> retyped[] = {
        {"\"DefaultTTL\"=\"64\"", "\"DefaultTTL\"=hex:40,00"},     // REG_BINARY
        {"\"SackOpts\"=\"1\"", "\"SackOpts\"=hex(2):31,00"},        // REG_EXPAND_SZ
    };
    for (const auto& [was, now] : retyped) {
        ASSERT_NE(typed.find(was), std::string::npos) << was;
        typed.replace(typed.find(was), was.size(), now);
    }
    const Result imported = run({"import", file("typed.reg", typed)});
    EXPECT_EQ(imported.code, kExitOk) << imported.err;
    EXPECT_EQ(run({"show"}).out, typed);
}

TEST_F(CliTest, AStoreThatIsNotOursIsExit2AndNamed)
{
    const std::string path = file("notes.db", "not a registry");
    StringSource in;
    StringSink out, err;
    EXPECT_EQ(runCli({"show", "--registry", path}, {in, out, err, false}), kExitUsage);
    EXPECT_NE(err.str().find(path), std::string::npos);
}

// An unset variable in a script must not reach the user's own store, and a
// command that only reads creates nothing.
TEST_F(CliTest, AnEmptyStorePathIsRefusedAndShowCreatesNothing)
{
    const std::string home = reg.folder() + "/home";
    const char* old = std::getenv("XDG_DATA_HOME");
    const std::string saved = old ? old : "";
    setenv("XDG_DATA_HOME", home.c_str(), 1);
    StringSource in;
    StringSink out, err;
    EXPECT_EQ(runCli({"apply", "--speed", "57", "--registry", ""}, {in, out, err, false}), kExitUsage);
    EXPECT_EQ(runCli({"show", "--registry="}, {in, out, err, false}), kExitUsage);
    EXPECT_FALSE(std::filesystem::exists(home));

    const std::string typo = reg.folder() + "/typo/registry.db";
    StringSink shown, said;
    EXPECT_EQ(runCli({"show", "--registry", typo}, {in, shown, said, false}), kExitOk);
    EXPECT_EQ(runCli({"show"}, {in, out, err, false}), kExitOk);
    EXPECT_NE(said.str().find(typo + " does not exist"), std::string::npos) << said.str();
    EXPECT_NE(shown.str().find("\"DefaultRcvWindow\"=-\r\n"), std::string::npos);
    EXPECT_FALSE(std::filesystem::exists(reg.folder() + "/typo"));
    EXPECT_FALSE(std::filesystem::exists(home));
    if (old)
        setenv("XDG_DATA_HOME", saved.c_str(), 1);
    else
        unsetenv("XDG_DATA_HOME");
}

}  // namespace
}  // namespace ferro
#endif
