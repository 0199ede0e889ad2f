// ferrowinder-cli as a user calls it, against a store of its own.
#ifndef _WIN32
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <utility>

#include "cli/CliRun.h"
#include "cli/JsonText.h"
#include "registry/TestRegistry.h"

namespace ferro {
namespace {

using test::StringSink;
using test::StringSource;

using Result = test::CliResult;

class CliTest : public ::testing::Test {
protected:
    Result run(std::vector<std::string> args, const std::string& input = "", bool interactive = false)
    {
        return test::runTool(std::move(args), reg.storePath(), input, interactive);
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
    EXPECT_EQ(run({"show", "--format", "tsv"}).code, kExitUsage);
    EXPECT_EQ(run({"plan", "--speed", "57", "--format", "xml"}).code, kExitUsage);
    for (const char* command : {"plan", "apply", "check", "show", "export", "import", "restore"}) {
        const Result help = run({command, "--help"});
        EXPECT_EQ(help.code, kExitOk) << command;
        EXPECT_NE(help.out.find(std::string("Usage: ferrowinder-cli ") + command), std::string::npos);
    }
}

// The exit codes are a promise to scripts, so the numbers themselves are
// pinned: 0 done (check: holds); 1 check found the registry differs; 2 bad
// usage or unreadable input; 3 the registry, the store or a file could not be
// read or written. With them the option forms of both conventions (GNU's
// --version, --part=machine, --; Windows' /?). The calls run in order, most
// on one store whose backup cannot be written (Backup.reg is a folder), the
// parts on a second store of their own. Each also names a text it prints.
TEST_F(CliTest, EachCommandExitsWithTheDocumentedNumber)
{
    std::filesystem::create_directories(reg.folder() + "/Backup/Backup.reg");
    const std::string good = file("good.reg", run({"export", "--speed", "57"}).out);
    const std::string bad = file("bad.reg", "Windows Registry Editor Version 5.00\r\n\r\n"
                                            "[HKEY_LOCAL_MACHINE\\Software]\r\n\"v\"=dword:nope\r\n");
    test::TestRegistry parts;  // a store with a backup folder that works
    // A store whose folder would have to be made inside a file.
    const std::string uncreatable = file("notes.db", "not a registry") + "/registry.db";
    enum Store { None, Own, Parts, Uncreatable };
    const std::string stores[] = {"", reg.storePath(), parts.storePath(), uncreatable};
    const std::string speed = "1024";
    const struct {
        std::vector<std::string> args;
        Store store;
        int code;
        std::string text;  // found in what it printed (standard output and error)
    } calls[] = {
        {{"--help"}, None, 0, "  3  the registry, the store or a file could not be read or written\n"},
        {{"/?"}, None, 0, "  1  check: the registry does not hold the plan;\n     leftovers: a setting that limits networking is set\n"},
        {{"-?"}, None, 0, "Usage: ferrowinder-cli COMMAND"},
        {{"--version"}, None, 0, "ferrowinder-cli 1."},
        {{"-V"}, None, 0, "ferrowinder-cli 1."},
        {{"help", "check"}, None, 0, "Usage: ferrowinder-cli check --speed KBPS"},
        {{"check", "/?"}, None, 0, "  --part machine|user|both\n"},
        {{"help", "boost"}, None, 2, "help takes one command name, not 'boost'"},
        {{}, None, 2, "Usage: ferrowinder-cli COMMAND"},
        {{"boost"}, Own, 2, "unknown command 'boost'"},
        {{"plan", "--speed", "57"}, Own, 0, ""},
        {{"plan", "--speed", "fast"}, Own, 2, "--speed takes a whole number"},
        {{"check", "--speed", "57"}, Own, 1, ": 18 of 18 values differ.\n"},
        {{"check"}, Own, 2, "needs --speed KBPS"},
        {{"apply", "--speed", "57"}, Own, 3, "the backup could not be taken"},
        {{"apply", "--speed", "57", "--no-backup"}, Own, 0, "18 values changed.\n"},
        {{"apply", "--speed", "57", "--yes"}, Own, 2, "does not take --yes"},
        {{"check", "--speed", "57"}, Own, 0, "holds the plan for 57 Kbps"},
        {{"show"}, Own, 0, ""},
        {{"show", "extra"}, Own, 2, "unexpected word 'extra'"},
        {{"export", "--speed", "57", "-o", reg.folder()}, Own, 3, "cannot write " + reg.folder() + ": Is a directory\n"},
        {{"export", "--speed", "57"}, Own, 0, ""},
        {{"import", good}, Own, 0, "Imported"},
        {{"import", bad}, Own, 2, "nothing was changed"},
        {{"import", reg.folder() + "/missing.reg"}, Own, 2, "missing.reg: No such file or directory\n"},
        {{"import", "--", "--help"}, Own, 2, "cannot read --help"},  // -- ends the options
        {{"restore"}, Own, 2, "there is no terminal"},
        {{"restore", "--yes"}, Own, 3, "could not"},  // the backup cannot be read
        {{"apply", "--speed", "57", "--no-backup"}, Uncreatable, 3, "registry.db"},

        {{"check", "--speed", speed, "--part", "disk"}, Parts, 2, "--part takes machine, user or both"},
        {{"apply", "--speed", speed, "--part", "machine", "--dry-run"}, Parts, 0,
         "would change 16 of 16 values. Nothing was written"},
        {{"apply", "--speed", speed, "--part=machine"}, Parts, 0, "16 of 16 steps wrote a value, 16 values changed.\n"},
        {{"check", "--speed", speed, "--part", "machine"}, Parts, 0, "holds the machine part of the plan"},
        {{"check", "--speed", speed, "--part", "user", "--format", "tsv"}, Parts, 1,
         "root\tkey\tvalue\tnow_type\tnow\twanted_type\twanted\nHKEY_CURRENT_USER\tSoftware\\Microsoft\\Windows\\"
         "CurrentVersion\\Internet Settings\tMaxConnectionsPer1_0Server\t-\t-\tREG_SZ\tdword:00000010\n"},
        {{"apply", "--speed", speed}, Parts, 0, "19 of 19 steps wrote a value, 2 values changed.\n"},
        {{"apply", "--speed", speed}, Parts, 0, "19 of 19 steps wrote a value, 0 values changed.\n"},
        {{"check", "--speed", speed, "--format", "json"}, Parts, 0,
         "{\"format\":2,\"speed\":1024,\"part\":\"both\",\"holds\":true,\"planned\":18,\"differing\":0,"},
        {{"restore", "--part", "user", "--yes"}, Parts, 0, "restored"},
        {{"check", "--speed", speed, "--format=json"}, Parts, 1,
         "\"differing\":2,\"summary\":\"The registry does not hold the plan for 1024 Kbps: 2 of 18 values differ.\","
         "\"differences\":[{\"path\":\"HKEY_CURRENT_USER\\\\Software\\\\Microsoft\\\\Windows\\\\CurrentVersion\\\\"
         "Internet Settings\\\\MaxConnectionsPer1_0Server\",\"root\":\"HKEY_CURRENT_USER\""},
        // Restoring one part leaves the whole to be restored.
        {{"restore", "--yes"}, Parts, 0, "The values were put back from the backup"},
        {{"check", "--speed", speed}, Parts, 1, ": 18 of 18 values differ.\n"},
        {{"apply", "--speed", speed, "--no-backup"}, Parts, 0, "18 values changed.\n"},
        {{"show", "--format", "json"}, Parts, 0,
         "\"value\":\"MTU\",\"now\":{\"type\":\"REG_DWORD\",\"data\":1500}}]}\n"},
    };
    for (const auto& call : calls) {
        std::vector<std::string> args = call.args;
        if (call.store != None)  // before any --
            args.insert(args.begin() + 1, {"--registry", stores[call.store]});
        StringSource in;
        StringSink out, err;
        const int code = runCli(args, {in, out, err, false});
        std::string words;
        for (const std::string& w : args)
            words += w + " ";
        EXPECT_EQ(code, call.code) << words << "\n" << out.str() << err.str();
        EXPECT_NE((out.str() + err.str()).find(call.text), std::string::npos)
            << words << "\nwanted: " << call.text << "\ngot:\n" << out.str() << err.str();
    }
}

TEST(JsonText, AsciiWithTheRegistrysCodePageEscaped)
{
    EXPECT_EQ(jsonString("a\x80\"\\\t\xe9\x81"), "\"a\\u20ac\\\"\\\\\\u0009\\u00e9\\u0081\"");
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
    // Quoted as check quotes them; at dial-up speed step 19 writes nothing.
    EXPECT_NE(dry.out.find("would change HKEY_LOCAL_MACHINE\\System\\CurrentControlSet\\Services\\VxD\\MSTCP\\"
                           "DefaultRcvWindow: now absent, wanted \"16616\"\n"),
              std::string::npos) << dry.out;
    EXPECT_NE(dry.out.find("would change 17 of 17 values. Nothing was written"), std::string::npos) << dry.out;
    EXPECT_EQ(dry.out.find("MTU: now"), dry.out.find("internetMTU: now") + 8);
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

TEST_F(CliTest, AStoreThatIsNotOursIsExit3AndNamed)
{
    const std::string path = file("notes.db", "not a registry");
    StringSource in;
    StringSink out, err;
    EXPECT_EQ(runCli({"show", "--registry", path}, {in, out, err, false}), kExitFailed);
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
