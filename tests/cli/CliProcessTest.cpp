// ferrowinder-cli as separate processes: killed halfway, and two at once.
#ifndef _WIN32
#include <gtest/gtest.h>
#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <random>
#include <thread>

#include "registry/SqliteStore.h"
#include "registry/TestRegistry.h"
#include "registry/modRegistry.h"
#include "tuning/TuningPlan.h"

extern char** environ;

namespace ferro {
namespace {

// `env`: more NAME=VALUE words for its environment.
pid_t startCli(const std::vector<std::string>& args, std::vector<std::string> env = {})
{
    for (char** e = environ; *e; ++e)
        env.push_back(*e);
    std::vector<char*> envp;
    for (std::string& e : env)
        envp.push_back(e.data());
    envp.push_back(nullptr);
    std::vector<std::string> words{FERRO_CLI_PATH};
    words.insert(words.end(), args.begin(), args.end());
    std::vector<char*> argv;
    for (std::string& w : words)
        argv.push_back(w.data());
    argv.push_back(nullptr);
    posix_spawn_file_actions_t quiet;
    posix_spawn_file_actions_init(&quiet);
    posix_spawn_file_actions_addopen(&quiet, 1, "/dev/null", O_WRONLY, 0);
    posix_spawn_file_actions_addopen(&quiet, 2, "/dev/null", O_WRONLY, 0);
    pid_t pid = 0;
    EXPECT_EQ(posix_spawn(&pid, argv[0], &quiet, nullptr, argv.data(), envp.data()), 0);
    posix_spawn_file_actions_destroy(&quiet);
    return pid;
}

int exitCode(pid_t pid)
{
    int status = 0;
    waitpid(pid, &status, 0);
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

// Stops a tool started with env() once it has written `count` values,
// through the tool's hook for tests, until release().
class WritePause {
public:
    WritePause(const std::string& folder, int count) : log_(folder + "/writes.log"), hold_(log_ + ".hold")
    {
        std::filesystem::remove(log_);
        std::ofstream(hold_) << count;
    }
    ~WritePause() { release(); }
    std::vector<std::string> env() const { return {"FERROWINDER_TEST_WRITE_LOG=" + log_}; }
    // Waits until the tool has written `count` values (and now waits itself).
    void waitForWrites(int count) const
    {
        for (int waited = 0; writes() < count; ++waited) {
            ASSERT_LT(waited, 20000) << "the tool never wrote " << count << " values";
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        }
    }
    void release() { std::filesystem::remove(hold_); }

private:
    int writes() const
    {
        std::ifstream in(log_);
        int lines = 0;
        for (std::string line; std::getline(in, line);)
            ++lines;
        return lines;
    }
    std::string log_;
    std::string hold_;
};

bool sameState(const std::vector<ValueState>& a, const std::vector<ValueState>& b)
{
    for (std::size_t i = 0; i < a.size(); ++i)
        if (a[i].present != b[i].present || a[i].type != b[i].type || a[i].data != b[i].data)
            return false;
    return a.size() == b.size();
}

// What the registry holds for each plan value: absent, or its bytes.
std::vector<ValueState> planState(RegistryBackend& backend)
{
    std::vector<ValueState> states;
    for (const ValuePath& v : planValues()) {
        ValueState s;
        readValue(backend, v, s);
        states.push_back(s);
    }
    return states;
}

std::vector<ValueState> stateAfterApply(std::uint32_t speed)
{
    test::TestRegistry reg;
    const modRegistry::Registry layer{reg.backend(), [](const Failure&) {}};
    for (const PlanEntry& e : tuningPlan())
        applyPlanEntry(layer, e, speed);
    return planState(reg.backend());
}

TEST(CliProcesses, KilledHalfwayLeavesEveryValueOldOrNew)
{
    const std::vector<ValueState> oldState = stateAfterApply(56);
    const std::vector<ValueState> newState = stateAfterApply(20000);
    test::TestRegistry reg;
    const std::string store = reg.storePath();
    ASSERT_EQ(exitCode(startCli({"apply", "--speed", "56", "--registry", store})), 0);

    int cutShort = 0;
    for (int written = 1; written < kPlanSteps; written += 3) {
        // Killed while it waits between two writes: after `written` of them.
        WritePause pause(reg.folder(), written);
        const pid_t pid = startCli({"apply", "--speed", "20000", "--registry", store}, pause.env());
        pause.waitForWrites(written);
        kill(pid, SIGKILL);
        int status = 0;
        waitpid(pid, &status, 0);
        EXPECT_TRUE(WIFSIGNALED(status)) << "after " << written << " writes";

        SqliteStore reopened(store);  // throws if the kill left it unreadable
        const std::vector<ValueState> now = planState(reopened);
        int stillOld = 0, alreadyNew = 0;
        for (std::size_t i = 0; i < now.size(); ++i) {
            const bool isOld = now[i].present == oldState[i].present && now[i].data == oldState[i].data;
            const bool isNew = now[i].present == newState[i].present && now[i].data == newState[i].data;
            EXPECT_TRUE(isOld || isNew) << "after " << written << " writes, " << planValues()[i].valueName;
            stillOld += isOld && !isNew;
            alreadyNew += isNew && !isOld;
        }
        cutShort += stillOld > 0 && alreadyNew > 0;
        // Back to the old state for the next round.
        const modRegistry::Registry layer{reopened, [](const Failure&) {}};
        for (const ValuePath& v : planValues())
            deleteValue(reopened, v);
        for (const PlanEntry& e : tuningPlan())
            applyPlanEntry(layer, e, 56);
    }
    EXPECT_GT(cutShort, 0) << "no kill landed between two writes of a boost";
}

// A restore from another process while a boost waits between two writes
// either runs wholly before the boost's first write or after its last: in
// between, the boost's later writes would stand under a backup marked as
// having nothing to undo, and no restore could bring the old values back.
TEST(CliProcesses, ARestoreDuringABoostLeavesThatBoostUndoable)
{
    const std::vector<ValueState> original = stateAfterApply(56);
    test::TestRegistry reg;
    const std::string store = reg.storePath();
    ASSERT_EQ(exitCode(startCli({"apply", "--speed", "56", "--no-backup", "--registry", store})), 0);
    for (const int written : {1, 10, kPlanSteps - 1}) {
        WritePause pause(reg.folder(), written);
        const pid_t boost = startCli({"apply", "--speed", "20000", "--registry", store}, pause.env());
        pause.waitForWrites(written);
        const pid_t restore = startCli({"restore", "--yes", "--registry", store});
        // Alone a restore takes milliseconds: by now it has run, or it waits.
        pid_t done = 0;
        int status = 0;
        for (int waited = 0; waited < 500 && (done = waitpid(restore, &status, WNOHANG)) == 0; ++waited)
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        pause.release();
        EXPECT_EQ(exitCode(boost), 0);
        if (done == 0)
            waitpid(restore, &status, 0);
        EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);

        ASSERT_EQ(exitCode(startCli({"restore", "--yes", "--registry", store})), 0);
        SqliteStore reopened(store);
        EXPECT_TRUE(sameState(planState(reopened), original)) << "restore came after " << written << " writes";
    }
}

TEST(CliProcesses, TwoAppliesAtOnceBothComplete)
{
    test::TestRegistry reg;
    for (int round = 0; round < 3; ++round) {
        const pid_t first = startCli({"apply", "--speed", "57", "--registry", reg.storePath()});
        const pid_t second = startCli({"apply", "--speed", "1000", "--registry", reg.storePath()});
        EXPECT_EQ(exitCode(first), 0);
        EXPECT_EQ(exitCode(second), 0);
    }
    // Whichever finished last, each value is one of the two runs' data.
    SqliteStore store(reg.storePath());
    ValueState window;
    ASSERT_EQ(readValue(store, {RootKey::LocalMachine, planEntry(1).keyPath, "DefaultRcvWindow"}, window), kStatusOk);
    const std::string text(window.data.begin(), window.data.end() - 1);
    EXPECT_TRUE(text == "17520" || text == "128480") << text;
}

// While one process sets up a new store, the others wait for it.
TEST(CliProcesses, ProcessesCreatingOneNewStoreAtOnceAllSucceed)
{
    test::TestRegistry reg;
    for (int round = 0; round < 3; ++round) {
        const std::string store = reg.folder() + "/new" + std::to_string(round) + ".db";
        std::vector<pid_t> pids;
        for (int i = 0; i < 6; ++i) {
            pids.push_back(startCli({"apply", "--speed", "57", "--registry", store}));
            pids.push_back(startCli({"show", "--registry", store}));
        }
        for (pid_t pid : pids)
            EXPECT_EQ(exitCode(pid), 0) << "round " << round;
    }
}

// An import is one transaction: killed at any moment, the store holds all of
// it or none of it.
TEST(CliProcesses, AnImportKilledHalfwayChangesNothing)
{
    test::TestRegistry reg;
    const std::string store = reg.storePath();
    ASSERT_EQ(exitCode(startCli({"apply", "--speed", "56", "--registry", store})), 0);
    const std::vector<ValueState> before = planState(reg.backend());

    std::string text = "Windows Registry Editor Version 5.00\r\n";
    for (int k = 0; k < 500; ++k) {
        text += "\r\n[HKEY_LOCAL_MACHINE\\Software\\Import\\Key" + std::to_string(k) + "]\r\n";
        for (int v = 0; v < 100; ++v)
            text += "\"Value" + std::to_string(v) + "\"=\"data\"\r\n";
    }
    text += "\r\n[HKEY_LOCAL_MACHINE\\System\\CurrentControlSet\\Services\\VxD\\MSTCP]\r\n\"DefaultTTL\"=-\r\n";
    const std::string file = reg.folder() + "/large.reg";
    std::ofstream(file, std::ios::binary) << text;

    std::mt19937 random(54321);
    int killedMidway = 0;
    for (int round = 0; round < 4; ++round) {
        const pid_t pid = startCli({"import", file, "--registry", store});
        std::this_thread::sleep_for(std::chrono::milliseconds(20 + random() % 150));
        kill(pid, SIGKILL);
        int status = 0;
        waitpid(pid, &status, 0);
        if (!WIFSIGNALED(status))
            break;  // it finished first: the store has changed
        ++killedMidway;
        SqliteStore reopened(store);
        const std::vector<ValueState> now = planState(reopened);
        for (std::size_t i = 0; i < now.size(); ++i)
            EXPECT_TRUE(now[i].present == before[i].present && now[i].data == before[i].data)
                << "round " << round << ", " << planValues()[i].valueName;
        ValueState imported;
        EXPECT_EQ(readValue(reopened, {RootKey::LocalMachine, "Software\\Import\\Key0", "Value0"}, imported),
                  kStatusNotFound);
    }
    EXPECT_GT(killedMidway, 0);
}

}  // namespace
}  // namespace ferro
#endif
