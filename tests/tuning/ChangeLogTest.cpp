// The change log: one readable line per changed value, appended, and a log
// that cannot be written says why.
#ifndef _WIN32
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "registry/TestRegistry.h"
#include "tuning/Backup.h"
#include "tuning/ChangeLog.h"

namespace ferro {
namespace {

namespace fs = std::filesystem;

const ValuePath kA{RootKey::LocalMachine, "SYSTEM\\Test", "A"};
const ValuePath kB{RootKey::CurrentUser, "Software\\Test", "B"};

std::string slurp(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

TEST(ChangeLog, OnlyChangedValuesAreFoundBetweenTwoCaptures)
{
    const ValueState one{true, kRegDword, {1, 0, 0, 0}};
    const ValueState text{true, kRegSz, {'1', 0}};
    const std::vector<ValueChange> changes =
        changesBetween({{kA, one}, {kB, std::nullopt}}, {{kA, one}, {kB, text}});
    ASSERT_EQ(changes.size(), 1u);
    EXPECT_TRUE(samePlace(changes[0].path, kB));
    EXPECT_FALSE(changes[0].before.present);
    EXPECT_EQ(changes[0].after.data, text.data);
    // The same bytes under another type are a change too.
    EXPECT_EQ(changesBetween({{kA, one}}, {{kA, ValueState{true, 3, {1, 0, 0, 0}}}}).size(), 1u);
}

TEST(ChangeLog, AppendsOneTabSeparatedLinePerValueUnderOneHeader)
{
    test::TestRegistry reg;
    std::string why;
    const ValueState zero{true, kRegDword, {0, 0, 0, 0}};
    const ValueState tabbed{true, kRegSz, {'a', '\t', 'b', '\n', 0}};
    ASSERT_TRUE(appendToChangeLog(reg.folder(), "leftovers --fix", {{kA, zero, ValueState{}}}, why, 0)) << why;
    // A value's name may hold a tab or a line end; its data is written as hex then.
    const ValuePath oddName{RootKey::CurrentUser, "Software\\Test", "B\tC\r\n"};
    ASSERT_TRUE(appendToChangeLog(reg.folder(), "apply --speed 57", {{oddName, ValueState{}, tabbed}}, why, 86400)) << why;
    ASSERT_TRUE(appendToChangeLog(reg.folder(), "restore", {}, why)) << why;
    EXPECT_EQ(slurp(changeLogPath(reg.folder())),
              "time\tcommand\tvalue\tbefore\tafter\r\n"
              "1970-01-01T00:00:00Z\tleftovers --fix\tHKEY_LOCAL_MACHINE\\SYSTEM\\Test\\A\tdword:00000000\tabsent\r\n"
              "1970-01-02T00:00:00Z\tapply --speed 57\tHKEY_CURRENT_USER\\Software\\Test\\B C  \tabsent\thex(1):61,09,62,0a,00\r\n");
    std::string text;
    bool none = true;
    ASSERT_TRUE(readChangeLog(reg.folder(), text, none, why)) << why;
    EXPECT_FALSE(none);
    EXPECT_EQ(text, slurp(changeLogPath(reg.folder())));
}

TEST(ChangeLog, KeepsTheNewestLinesWithinItsLimit)
{
    test::TestRegistry reg;
    std::string why;
    const ValueState big{true, kRegSz, Bytes(100 * 1024, 'x')};
    for (int i = 0; i < 12; ++i)
        ASSERT_TRUE(appendToChangeLog(reg.folder(), "run " + std::to_string(i), {{kA, ValueState{}, big}}, why)) << why;
    const std::string text = slurp(changeLogPath(reg.folder()));
    EXPECT_LE(text.size(), kMaxChangeLogBytes);
    EXPECT_EQ(text.rfind("time\tcommand", 0), 0u);
    EXPECT_NE(text.find("\trun 11\t"), std::string::npos);
    EXPECT_EQ(text.find("\trun 0\t"), std::string::npos);
}

TEST(ChangeLog, ALogThatCannotBeWrittenSaysWhy)
{
    test::TestRegistry reg;
    std::string why, text;
    bool none = false;
    ASSERT_TRUE(readChangeLog(reg.folder(), text, none, why));
    EXPECT_TRUE(none);
    fs::create_directories(backupFolder(reg.folder()));
    std::ofstream(reg.folder() + "/victim") << "kept";
    fs::create_symlink(reg.folder() + "/victim", changeLogPath(reg.folder()));
    EXPECT_FALSE(appendToChangeLog(reg.folder(), "restore", {{kA, ValueState{}, ValueState{}}}, why));
    EXPECT_NE(why.find(changeLogPath(reg.folder())), std::string::npos) << why;
    EXPECT_EQ(slurp(reg.folder() + "/victim"), "kept");
}

}  // namespace
}  // namespace ferro
#endif
