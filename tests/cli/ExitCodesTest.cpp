// ferrowinder-cli's exit codes and option forms, as a script sees them: one
// row per call, run in order against one store.
#ifndef _WIN32
#include <gtest/gtest.h>

#include <fstream>

#include "cli/Commands.h"
#include "cli/JsonText.h"
#include "registry/TestRegistry.h"

namespace ferro {
namespace {

enum class Store { None, Own, Foreign, Uncreatable };

struct Row {
    std::vector<std::string> args;
    Store store;
    int code;
    std::string text;  // found in what it printed (standard output and error)
};

TEST(ExitCodes, OneMeaningEachAndTheOptionFormsOfBothConventions)
{
    test::TestRegistry reg;
    const std::string foreign = reg.folder() + "/notes.db";
    std::ofstream(foreign) << "not a registry";
    const std::map<Store, std::string> stores{
        {Store::Own, reg.storePath()}, {Store::Foreign, foreign}, {Store::Uncreatable, foreign + "/registry.db"}};
    const std::string speed = "1024";
    const Row rows[] = {
        {{"--version"}, Store::None, kExitOk, "ferrowinder-cli 1."},
        {{"-V"}, Store::None, kExitOk, "ferrowinder-cli 1."},
        {{"/?"}, Store::None, kExitOk, "  3  the registry, the store or a file could not be read or written\n"},
        {{"-?"}, Store::None, kExitOk, "  1  check: the registry does not hold the plan\n"},
        {{"help", "check"}, Store::None, kExitOk, "Usage: ferrowinder-cli check --speed KBPS"},
        {{"check", "/?"}, Store::None, kExitOk, "--part machine or --part user"},
        {{"help", "boost"}, Store::None, kExitUsage, "help takes one command name, not 'boost'"},
        {{}, Store::None, kExitUsage, "Usage: ferrowinder-cli COMMAND"},
        {{"check", "--speed", speed, "--part", "disk"}, Store::Own, kExitUsage, "--part takes machine, user or both"},
        {{"show", "--format", "tsv"}, Store::Own, kExitUsage, "--format takes text json, not \"tsv\""},
        {{"import", "--", "--help"}, Store::Own, kExitUsage, "cannot read --help"},
        {{"check", "--speed", speed}, Store::Own, kExitNotAsPlanned, ": 18 of 18 values differ.\n"},
        {{"apply", "--speed", speed, "--part", "machine", "--dry-run"}, Store::Own, kExitOk,
         "would change 16 of 16 values. Nothing was written"},
        {{"apply", "--speed", speed, "--part=machine"}, Store::Own, kExitOk, "16 of 16 steps wrote a value, 16 values changed.\n"},
        {{"check", "--speed", speed, "--part", "machine"}, Store::Own, kExitOk, "holds the machine part of the plan"},
        {{"check", "--speed", speed, "--part", "user", "--format", "tsv"}, Store::Own, kExitNotAsPlanned,
         "root\tkey\tvalue\tnow\twanted\nHKEY_CURRENT_USER\tSoftware\\Microsoft\\Windows\\CurrentVersion\\Internet "
         "Settings\tMaxConnectionsPer1_0Server\tabsent\t\"dword:00000010\"\n"},
        {{"apply", "--speed", speed}, Store::Own, kExitOk, "19 of 19 steps wrote a value, 2 values changed.\n"},
        {{"apply", "--speed", speed}, Store::Own, kExitOk, "19 of 19 steps wrote a value, 0 values changed.\n"},
        {{"check", "--speed", speed, "--format", "json"}, Store::Own, kExitOk,
         "{\"speed\":1024,\"part\":\"both\",\"holds\":true,\"values\":18,\"differing\":0,"},
        {{"restore", "--part", "user", "--yes"}, Store::Own, kExitOk, "restored"},
        {{"check", "--speed", speed, "--format=json"}, Store::Own, kExitNotAsPlanned,
         "\"differing\":2,\"summary\":\"The registry does not hold the plan for 1024 Kbps: 2 of 18 values differ.\","
         "\"differences\":[{\"path\":\"HKEY_CURRENT_USER\\\\Software\\\\Microsoft\\\\Windows\\\\CurrentVersion\\\\"
         "Internet Settings\\\\MaxConnectionsPer1_0Server\",\"root\":\"HKEY_CURRENT_USER\""},
        // Restoring one part leaves the whole to be restored.
        {{"restore", "--yes"}, Store::Own, kExitOk, "The values were put back from the backup"},
        {{"check", "--speed", speed}, Store::Own, kExitNotAsPlanned, ": 18 of 18 values differ.\n"},
        {{"apply", "--speed", speed, "--no-backup"}, Store::Own, kExitOk, "18 values changed.\n"},
        {{"show", "--format", "json"}, Store::Own, kExitOk,
         "\"value\":\"MTU\",\"state\":{\"type\":\"REG_DWORD\",\"data\":\"dword:000005dc\"}}]}\n"},
        {{"show"}, Store::Foreign, kExitFailed, foreign},
        {{"apply", "--speed", speed, "--no-backup"}, Store::Uncreatable, kExitFailed, "registry.db"},
    };
    for (const Row& row : rows) {
        std::vector<std::string> args = row.args;
        if (row.store != Store::None)  // before any --
            args.insert(args.begin() + 1, {"--registry", stores.at(row.store)});
        StringSource in;
        StringSink out, err;
        const int code = runCli(args, {in, out, err, false});
        std::string call;
        for (const std::string& a : args)
            call += a + ' ';
        EXPECT_EQ(code, row.code) << call << '\n' << out.str() << err.str();
        EXPECT_NE((out.str() + err.str()).find(row.text), std::string::npos)
            << call << "\nwanted: " << row.text << "\ngot:\n" << out.str() << err.str();
    }
}

TEST(ExitCodes, JsonTextIsAsciiWithTheRegistrysCodePageEscaped)
{
    EXPECT_EQ(jsonString("a\x80\"\\\t\xe9\x81"), "\"a\\u20ac\\\"\\\\\\u0009\\u00e9\\u0081\"");
}

}  // namespace
}  // namespace ferro
#endif
