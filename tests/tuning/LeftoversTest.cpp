// The leftovers of old tuning: each registry row judged as the research
// documents it, the WMI rows read through a fake WMI, and the fix and its
// undo on the store.
#ifndef _WIN32
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "registry/TestRegistry.h"
#include "tuning/FakeWmi.h"
#include "tuning/LeftoverRows.h"
#include "tuning/Leftovers.h"

namespace ferro {
namespace {

namespace fs = std::filesystem;

using test::dword;
using test::kMultimedia;
using test::kTcpip;
const WindowsVersion kWindows11{10, 0, 22631, false, {}};

const LeftoverFinding& findingFor(const LeftoverReport& report, const std::string& name)
{
    for (const LeftoverFinding& f : report.findings)
        if (name == f.row->name)
            return f;
    throw std::runtime_error("no row " + name);
}

class LeftoversTest : public ::testing::Test {
protected:
    RegistryBackend& store() { return reg.backend(); }
    void plant(const std::string& key, const std::string& name, std::uint32_t type, const Bytes& data)
    {
        ASSERT_EQ(writeValue(store(), {RootKey::LocalMachine, key, name}, type, data), kStatusOk);
    }
    std::string state() { return test::leftoverRowsState(store()); }

    test::TestRegistry reg;
    test::FakeWmi wmi;
};

TEST_F(LeftoversTest, EachRegistryRowIsJudgedAsDocumented)
{
    const struct {
        const char* key;
        const char* name;
        std::uint32_t type;
        Bytes data;  // empty: absent
        LeftoverVerdict verdict;
        const char* now;
    } cases[] = {
        {kTcpip.c_str(), "Tcp1323Opts", kRegDword, dword(0), LeftoverVerdict::Harmful, "dword:00000000 (0)"},
        {kTcpip.c_str(), "Tcp1323Opts", kRegDword, dword(2), LeftoverVerdict::Harmful, "dword:00000002 (2)"},
        {kTcpip.c_str(), "Tcp1323Opts", kRegDword, dword(1), LeftoverVerdict::Harmless, "dword:00000001 (1)"},
        {kTcpip.c_str(), "Tcp1323Opts", kRegDword, dword(3), LeftoverVerdict::Harmless, "dword:00000003 (3)"},
        {kTcpip.c_str(), "Tcp1323Opts", kRegDword, dword(7), LeftoverVerdict::Undocumented, "dword:00000007 (7)"},
        {kTcpip.c_str(), "Tcp1323Opts", kRegSz, {'0', 0}, LeftoverVerdict::Undocumented, "\"0\""},
        {kTcpip.c_str(), "Tcp1323Opts", kRegDword, {}, LeftoverVerdict::Harmless, "absent"},
        {kTcpip.c_str(), "DisableTaskOffload", kRegDword, dword(1), LeftoverVerdict::Harmful, "dword:00000001 (1)"},
        {kTcpip.c_str(), "DisableTaskOffload", kRegDword, dword(0), LeftoverVerdict::Harmless, "dword:00000000 (0)"},
        {kTcpip.c_str(), "DisableTaskOffload", kRegDword, {0, 0}, LeftoverVerdict::Undocumented, "hex(4):00,00"},
        {kMultimedia.c_str(), "NetworkThrottlingIndex", kRegDword, dword(9), LeftoverVerdict::Harmful,
         "dword:00000009 (9)"},
        {kMultimedia.c_str(), "NetworkThrottlingIndex", kRegDword, dword(10), LeftoverVerdict::Harmless,
         "dword:0000000a (10)"},
        {kMultimedia.c_str(), "NetworkThrottlingIndex", kRegDword, dword(0xFFFFFFFF), LeftoverVerdict::Harmless,
         "dword:ffffffff (4294967295)"},
        {kTcpip.c_str(), "EnablePMTUDiscovery", kRegDword, dword(0), LeftoverVerdict::Harmful, "dword:00000000 (0)"},
        {kTcpip.c_str(), "EnablePMTUDiscovery", kRegDword, dword(1), LeftoverVerdict::Harmless, "dword:00000001 (1)"},
        {kTcpip.c_str(), "TcpWindowSize", kRegDword, dword(0), LeftoverVerdict::Harmless, "dword:00000000 (0)"},
        {kTcpip.c_str(), "DefaultTTL", kRegDword, dword(64), LeftoverVerdict::Harmless, "dword:00000040 (64)"},
        {kTcpip.c_str(), "DefaultTTL", kRegDword, dword(3), LeftoverVerdict::Undocumented, "dword:00000003 (3)"},
        {kMultimedia.c_str(), "SystemResponsiveness", kRegDword, dword(0), LeftoverVerdict::Harmless,
         "dword:00000000 (0)"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.name) + " " + c.now);
        const ValuePath path{RootKey::LocalMachine, c.key, c.name};
        ASSERT_EQ(deleteValue(store(), path), kStatusOk);
        if (!c.data.empty()) {
            ASSERT_EQ(writeValue(store(), path, c.type, c.data), kStatusOk);
        }
        const LeftoverReport report = readLeftovers(&store(), wmi, std::nullopt);
        const LeftoverFinding& f = findingFor(report, c.name);
        EXPECT_EQ(f.verdict, c.verdict);
        EXPECT_EQ(f.now, c.now);
        EXPECT_EQ(report.anyHarmful(), c.verdict == LeftoverVerdict::Harmful);
        EXPECT_FALSE(report.anyUnreadable());
        ASSERT_EQ(deleteValue(store(), path), kStatusOk);
    }
}

TEST_F(LeftoversTest, WithoutAStoreEveryValueIsAbsentAndTheWmiRowsAreNotOnThisSystem)
{
    const LeftoverReport report = readLeftovers(nullptr, wmi, std::nullopt);
    ASSERT_EQ(report.findings.size(), leftoverRows().size());
    for (const LeftoverFinding& f : report.findings) {
        SCOPED_TRACE(f.row->name);
        const bool registry = *f.row->keyPath != '\0';
        EXPECT_EQ(f.verdict, registry ? LeftoverVerdict::Harmless : LeftoverVerdict::NotOnThisSystem);
        EXPECT_EQ(f.now, registry ? "absent" : "not on this system");
    }
    EXPECT_TRUE(wmi.asked.empty());
}

WmiInstance tcpSetting(const char* name, const char* local, const char* policy = nullptr, const char* effective = "0")
{
    WmiInstance s{{"SettingName", name}, {"AutoTuningLevelLocal", local}, {"AutoTuningLevelEffective", effective}};
    if (policy)
        s["AutoTuningLevelGroupPolicy"] = policy;
    return s;
}

TEST_F(LeftoversTest, TheWmiRowsReadThroughWmiWhereWindowsHasThem)
{
    using S = WmiAnswer::Status;
    const struct {
        const char* name;
        std::optional<WindowsVersion> version;
        std::optional<WmiAnswer> tcp;  // nullopt: the class is missing
        LeftoverVerdict verdict;
        const char* now;
        bool byPolicy;
        const char* note;  // a part of it
    } cases[] = {
        {"disabled", kWindows11, WmiAnswer{S::Answered, "", {tcpSetting("Internet", "0")}}, LeftoverVerdict::Harmful,
         "Internet: disabled", false, ""},
        {"restricted", kWindows11, WmiAnswer{S::Answered, "", {tcpSetting("Internet", "2")}}, LeftoverVerdict::Harmful,
         "Internet: restricted", false, ""},
        {"highly restricted in one template of two", kWindows11,
         WmiAnswer{S::Answered, "", {tcpSetting("Internet", "3"), tcpSetting("Datacenter", "1")}},
         LeftoverVerdict::Harmful, "Internet: normal; Datacenter: highlyrestricted", false, ""},
        {"normal, and a template without a level", kWindows11,
         WmiAnswer{S::Answered, "", {tcpSetting("Internet", "3"), {{"SettingName", "Automatic"}}}},
         LeftoverVerdict::Harmless, "Internet: normal", false, ""},
        {"disabled by Group Policy over a normal local level", kWindows11,
         WmiAnswer{S::Answered, "", {tcpSetting("Internet", "3", "0", "1")}}, LeftoverVerdict::Harmful,
         "Internet: disabled (Group Policy)", true, "cannot be changed locally"},
        {"a local disabled level that policy overrides with normal", kWindows11,
         WmiAnswer{S::Answered, "", {tcpSetting("Internet", "0", "3", "1")}}, LeftoverVerdict::Harmless,
         "Internet: normal (Group Policy)", true, "Group Policy sets the level"},
        {"the class missing", kWindows11, std::nullopt, LeftoverVerdict::Unreadable, "could not be read", false,
         "ROOT\\StandardCimv2\\MSFT_NetTCPSetting: reading MSFT_NetTCPSetting failed with 0x80041010"},
        {"no instance", kWindows11, WmiAnswer{S::Answered, "", {}}, LeftoverVerdict::Unreadable,
         "could not be read", false, "no instance answered"},
        {"Windows 7", WindowsVersion{6, 1, 7601, false, {}}, WmiAnswer{S::Answered, "", {tcpSetting("Internet", "0")}},
         LeftoverVerdict::NotOnThisSystem, "not on this system", false, ""},
        {"Windows 8", WindowsVersion{6, 2, 9200, false, {}}, WmiAnswer{S::Answered, "", {tcpSetting("Internet", "0")}},
         LeftoverVerdict::Harmful, "Internet: disabled", false, ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        wmi.answers.clear();
        wmi.asked.clear();
        if (c.tcp)
            wmi.answers["MSFT_NetTCPSetting"] = *c.tcp;
        wmi.answers["MSFT_NetOffloadGlobalSetting"] = {S::Answered, "", {{{"Chimney", "0"}}}};
        const LeftoverReport report = readLeftovers(&store(), wmi, c.version);
        const LeftoverFinding& f = findingFor(report, "Receive-window autotuning level");
        EXPECT_EQ(f.verdict, c.verdict);
        EXPECT_EQ(f.now, c.now);
        EXPECT_EQ(f.byGroupPolicy, c.byPolicy);
        EXPECT_NE(f.note.find(c.note), std::string::npos) << f.note;
        EXPECT_EQ(report.anyUnreadable(), c.verdict == LeftoverVerdict::Unreadable);
        EXPECT_EQ(wmi.asked.empty(), c.verdict == LeftoverVerdict::NotOnThisSystem);
    }
}

TEST_F(LeftoversTest, ChimneyIsHarmfulWhenOnAndAbsentFromWindowsWithoutIt)
{
    const struct {
        WmiInstance setting;
        LeftoverVerdict verdict;
        const char* now;
    } cases[] = {
        {{{"Chimney", "1"}}, LeftoverVerdict::Harmful, "enabled"},
        {{{"Chimney", "2"}}, LeftoverVerdict::Harmful, "automatic"},
        {{{"Chimney", "0"}}, LeftoverVerdict::Harmless, "disabled"},
        {{}, LeftoverVerdict::NotOnThisSystem, "not on this system"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.now);
        wmi.answers["MSFT_NetOffloadGlobalSetting"] = {WmiAnswer::Status::Answered, "", {c.setting}};
        const LeftoverFinding f = findingFor(readLeftovers(&store(), wmi, kWindows11), "TCP Chimney offload");
        EXPECT_EQ(f.verdict, c.verdict);
        EXPECT_EQ(f.now, c.now);
    }
}

TEST_F(LeftoversTest, FixThenUndoGivesThePlantedValuesBackBitForBit)
{
    plant(kTcpip, "Tcp1323Opts", kRegDword, dword(0));
    plant(kTcpip, "DisableTaskOffload", kRegDword, dword(1));
    plant(kTcpip, "EnablePMTUDiscovery", kRegDword, dword(0));
    plant(kMultimedia, "NetworkThrottlingIndex", kRegDword, dword(4));
    plant(kTcpip, "TcpWindowSize", kRegDword, dword(65535));  // harmless: left alone
    const std::string planted = state();

    const LeftoverFixResult fixed = fixLeftovers(store(), reg.folder());
    ASSERT_TRUE(fixed.ok()) << fixed.error;
    EXPECT_EQ(fixed.changes.size(), 4u);
    const LeftoverReport after = readLeftovers(&store(), wmi, std::nullopt);
    EXPECT_FALSE(after.anyHarmful());
    EXPECT_EQ(findingFor(after, "Tcp1323Opts").now, "absent");
    EXPECT_EQ(findingFor(after, "NetworkThrottlingIndex").now, "dword:0000000a (10)");
    EXPECT_EQ(findingFor(after, "TcpWindowSize").now, "dword:0000ffff (65535)");

    // Harmful again before the undo: the second fix keeps the first one's backup.
    plant(kTcpip, "Tcp1323Opts", kRegDword, dword(2));
    ASSERT_TRUE(fixLeftovers(store(), reg.folder()).ok());

    const LeftoverUndoResult undone = undoLeftoverFix(store(), reg.folder());
    ASSERT_TRUE(undone.ok()) << undone.error;
    EXPECT_EQ(state(), planted);
    EXPECT_FALSE(fs::exists(leftoversBackupPath(reg.folder())));
    EXPECT_TRUE(undoLeftoverFix(store(), reg.folder()).nothingToUndo);
    EXPECT_EQ(state(), planted);
}

TEST_F(LeftoversTest, NothingHarmfulWritesNoBackup)
{
    plant(kTcpip, "Tcp1323Opts", kRegDword, dword(3));
    const LeftoverFixResult fixed = fixLeftovers(store(), reg.folder());
    EXPECT_TRUE(fixed.ok() && fixed.changes.empty());
    EXPECT_FALSE(fs::exists(leftoversBackupPath(reg.folder())));
}

TEST_F(LeftoversTest, ATamperedOrLinkedBackupIsRefusedAndNothingIsWritten)
{
    const std::string head = "Windows Registry Editor Version 5.00\r\n\r\n[HKEY_LOCAL_MACHINE\\" + kTcpip + "]\r\n";
    const struct {
        const char* name;
        std::string text;  // empty: a link to a good backup elsewhere
        std::string said;
    } cases[] = {
        {"another value", head + "\"Tcp1323Opts\"=dword:00000000\r\n\"SearchList\"=\"evil.example\"\r\n",
         "sets something the fix never changes (HKEY_LOCAL_MACHINE\\" + kTcpip + "\\SearchList)"},
        {"another type", head + "\"Tcp1323Opts\"=\"0\"\r\n", "sets something the fix never changes"},
        {"a deletion", head + "\"Tcp1323Opts\"=-\r\n", "sets something the fix never changes"},
        {"another key", "Windows Registry Editor Version 5.00\r\n\r\n[HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\"
                        "Windows\\CurrentVersion\\Run]\r\n\"Tcp1323Opts\"=dword:00000000\r\n",
         "sets something the fix never changes"},
        {"damaged", head + "\"Tcp1323Opts\"=dword:zz\r\n", "is damaged"},
        {"a link", "", "link"},
    };
    plant(kTcpip, "Tcp1323Opts", kRegDword, dword(3));
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const std::string path = leftoversBackupPath(reg.folder());
        fs::create_directories(fs::path(path).parent_path());
        fs::remove(path);
        if (c.text.empty()) {
            std::ofstream(reg.folder() + "/elsewhere.reg", std::ios::binary) << head << "\"Tcp1323Opts\"=dword:00000000\r\n";
            fs::create_symlink(reg.folder() + "/elsewhere.reg", path);
        } else {
            std::ofstream(path, std::ios::binary) << c.text;
        }
        const std::string before = state();
        const LeftoverUndoResult r = undoLeftoverFix(store(), reg.folder());
        EXPECT_NE(r.error.find(c.said), std::string::npos) << r.error;
        EXPECT_NE(r.error.find("nothing was changed"), std::string::npos) << r.error;
        EXPECT_EQ(state(), before);
        ValueState other;
        EXPECT_EQ(readValue(store(), {RootKey::LocalMachine, kTcpip, "SearchList"}, other), kStatusNotFound);
        // Nor does a fix write over it.
        plant(kTcpip, "EnablePMTUDiscovery", kRegDword, dword(0));
        EXPECT_NE(fixLeftovers(store(), reg.folder()).error.find("nothing was changed"), std::string::npos);
        EXPECT_EQ(findingFor(readLeftovers(&store(), wmi, std::nullopt), "EnablePMTUDiscovery").verdict,
                  LeftoverVerdict::Harmful);
        ASSERT_EQ(deleteValue(store(), {RootKey::LocalMachine, kTcpip, "EnablePMTUDiscovery"}), kStatusOk);
    }
}

}  // namespace
}  // namespace ferro
#endif
