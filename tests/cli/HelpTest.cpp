// What the tool's help shows a user at an 80-column terminal.
#ifndef _WIN32
#include <gtest/gtest.h>

#include "cli/CliRun.h"

namespace ferro {
namespace {

const char* const kCommands[] = {"plan",    "apply",     "check", "show", "export",
                                 "import",  "restore",   "leftovers", "log"};

// Every line of the usage and of each command's help fits 79 columns, ends
// with LF alone and with no blank before it.
TEST(Help, EveryLineFitsSeventyNineColumns)
{
    std::vector<std::vector<std::string>> calls = {{"--help"}, {"plan", "--bogus"}};
    for (const char* c : kCommands)
        calls.push_back({"help", c});
    for (const auto& call : calls) {
        const test::CliResult r = test::runTool(call);
        const std::string text = r.out + r.err;
        ASSERT_FALSE(text.empty()) << call[0];
        EXPECT_EQ(text.find('\r'), std::string::npos) << call.back();
        for (std::size_t at = 0, end = 0; at < text.size(); at = end + 1) {
            end = text.find('\n', at);
            EXPECT_LE(end - at, 79u) << call.back() << ": " << text.substr(at, end - at);
            EXPECT_TRUE(end == at || text[end - 1] != ' ') << call.back() << ": '" << text.substr(at, end - at) << "'";
        }
    }
}

// The choices an option takes are written as a sentence, and every choice
// (both included) is shown.
TEST(Help, ChoicesAreShownAndNamedAsASentence)
{
    const struct {
        std::vector<std::string> args;
        const char* said;
    } cases[] = {
        {{"check", "--speed", "57", "--format", "xml"}, "--format takes text, tsv or json, not \"xml\"\n"},
        {{"show", "--format", "tsv"}, "--format takes text or json, not \"tsv\"\n"},
        {{"apply", "--speed", "57", "--part", "all"}, "--part takes machine, user or both, not \"all\"\n"},
        {{"--help"}, "  restore   [--part machine|user|both] [--yes]\n"},
        {{"help", "check"}, "  --format text|tsv|json\n"},
    };
    for (const auto& c : cases) {
        const test::CliResult r = test::runTool(c.args);
        EXPECT_NE((r.out + r.err).find(c.said), std::string::npos) << c.said << "\ngot:\n" << r.out << r.err;
    }
}

}  // namespace
}  // namespace ferro
#endif
