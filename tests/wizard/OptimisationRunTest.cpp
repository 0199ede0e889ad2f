// The timed run on the optimisation page: what each step shows and writes,
// its locks, its error boxes and the run started again.
#include "tuning/TuningPlan.h"
#include "wizard/WizardTesting.h"

#include <chrono>
#include <filesystem>
#include <fstream>
#include <future>
#include <iterator>

#include "platform/BackupFolder.h"
#include "registry/RegFile.h"
#include "tuning/Backup.h"

namespace ferro::test {
namespace {

const std::string K1 = "System\\CurrentControlSet\\Services\\VxD\\MSTCP";
const std::string K2 = "System\\CurrentControlSet\\Services\\VXD\\MSTCP\\Parameters";
const std::string K3 = "Software\\Microsoft\\Windows\\CurrentVersion\\Internet Settings";
const std::string K4 = "System\\CurrentControlSet\\Services\\ICSharing\\Settings\\General";
const std::string K5 = "System\\CurrentControlSet\\Services\\Tcpip\\Parameters";
const std::string K7 = "System\\CurrentControlSet\\Services\\LanmanServer\\Parameters";
const std::string K8 = "System\\CurrentControlSet\\Services\\Tcpip\\Parameters\\Interfaces\\"
                       "{B1632D02-69A7-4DCF-9A3C-196A2BCB28AD}";
constexpr RootKey HKLM = RootKey::LocalMachine;
constexpr RootKey HKCU = RootKey::CurrentUser;
constexpr ui::Color kGreen = 0x0000FF00;
constexpr ui::Color kLightGrey = 0x00E0E0E0;

class RunTest : public WizardTest {
protected:
    struct Seen {
        std::string caption;
        int segments;
        bool locked;  // neither Back nor the slider can be used
    };

    bool locked() const { return !usable("cmdBack_0") && !usable("Slider1"); }
    int timerArms() { return renderer.view(wizard)->timerArms["Timer1"]; }

    // Runs all nineteen steps, noting what the user sees after each.
    std::vector<Seen> runSteps()
    {
        std::vector<Seen> seen;
        for (int step = 1; step <= 19 && !HasFatalFailure(); ++step) {
            fireStep();
            seen.push_back({text("lblSetting_1"), shownSegments(), locked()});
        }
        return seen;
    }
    std::vector<Seen> runAt(int kbps)
    {
        open();
        moveSlider(*wizard, "Slider1", kbps);
        goToRunPage();
        return runSteps();
    }

    void expectComplete()
    {
        EXPECT_EQ(text("lblSetting_1"), "Optimizations Complete");
        EXPECT_EQ(text("cmdNext_0"), "Finished");
        EXPECT_TRUE(usable("cmdNext_0"));
        EXPECT_EQ(shownSegments(), 18);
        EXPECT_EQ(state(*wizard, "Picture1").backColor, kGreen) << "one solid green bar";
        EXPECT_FALSE(stepArmed());
    }
};

TEST_F(RunTest, AtDialUpSpeedEveryStepShowsItselfAndTheMtuIsLeftAlone)
{
    open();
    goToRunPage();
    EXPECT_FALSE(locked());
    EXPECT_EQ(state(*wizard, "Picture1").backColor, kLightGrey);

    const std::vector<Seen> seen = runSteps();
    ASSERT_EQ(seen.size(), 19u);
    // The first step locks the way back and the speed.
    EXPECT_TRUE(seen[0].locked);
    EXPECT_EQ(seen[0].caption, "Optimizing DefaultRcvWindow");
    for (int step = 1; step <= 18; ++step) {
        EXPECT_EQ(seen[step - 1].caption.rfind("Optimizing ", 0), 0u) << step;
        EXPECT_EQ(seen[step - 1].segments, step);
    }
    EXPECT_EQ(seen[7].caption, "Optimizing MaxConnectionsPer1_0Server");
    EXPECT_EQ(seen[8].caption, "Optimizing MaxConnectionsPer1_0Server");
    EXPECT_EQ(seen[17].caption, "Optimizing SizReqBuf");
    EXPECT_EQ(seen[18].caption, "Optimizations Complete");
    EXPECT_TRUE(seen[18].locked);
    expectComplete();
    EXPECT_TRUE(os.boxes.empty());

    EXPECT_EQ(value(HKLM, K1, "DefaultRcvWindow").data, sz("16616"));
    for (const char* name : {"TcpWindowSize", "GlobalMaxTcpWindowSize"})
        EXPECT_EQ(value(HKLM, K5, name).data, sz("16616"));
    EXPECT_EQ(value(HKLM, K4, "internetMTU").data, sz("576"));
    EXPECT_EQ(value(HKLM, K7, "SizReqBuf").data, sz("16384"));
    EXPECT_FALSE(value(HKLM, K8, "MTU").present);
    // The Internet Settings values are the user's own, written as text.
    EXPECT_EQ(value(HKCU, K3, "MaxConnectionsPerServer").type, kRegSz);
    EXPECT_EQ(value(HKCU, K3, "MaxConnectionsPerServer").data, sz("dword:00000010"));
    EXPECT_FALSE(value(HKLM, K3, "MaxConnectionsPerServer").present);
}

TEST_F(RunTest, AboveDialUpSpeedTheLastStepWritesTheMtuAsANumber)
{
    const std::vector<Seen> seen = runAt(57);
    ASSERT_EQ(seen.size(), 19u);
    EXPECT_EQ(seen[18].caption, "Optimizations Complete");
    expectComplete();
    for (const char* name : {"TcpWindowSize", "GlobalMaxTcpWindowSize"})
        EXPECT_EQ(value(HKLM, K5, name).data, sz("17520"));
    EXPECT_EQ(value(HKLM, K1, "DefaultRcvWindow").data, sz("17520"));
    EXPECT_EQ(value(HKLM, K4, "internetMTU").data, sz("1500"));
    const ValueState mtu = value(HKLM, K8, "MTU");
    EXPECT_EQ(mtu.type, kRegDword);
    EXPECT_EQ(mtu.data, (Bytes{0xDC, 0x05, 0x00, 0x00}));
}

TEST_F(RunTest, ARegistryErrorHoldsTheRunUntilItsBoxIsClosedAndTheRunStillCompletes)
{
    open();
    goToRunPage();
    for (int step = 1; step <= 6; ++step)
        fireStep();

    store.readOnly = true;  // step 7 meets a registry it may not write
    const int armsBefore = timerArms();
    bool armedWhileOpen = false;
    int armsWhileOpen = -1;
    Seen whileOpen{"", 0, false};
    os.whileBoxOpen = [&](const FakeOsServices::Box&) {
        armedWhileOpen = armedWhileOpen || stepArmed();
        armsWhileOpen = timerArms();
        whileOpen = {text("lblSetting_1"), shownSegments(), true};
        store.readOnly = false;
    };
    fireStep();
    os.whileBoxOpen = nullptr;

    ASSERT_EQ(os.boxes.size(), 2u);
    EXPECT_EQ(os.boxes[0].text, "RegOpenKey error - 5");
    EXPECT_EQ(os.boxes[1].text, "SetValue error - 6");
    for (const FakeOsServices::Box& box : os.boxes) {
        EXPECT_EQ(box.caption, "FerroWinder");
        EXPECT_EQ(box.buttons, MsgButtons::Ok);
        EXPECT_EQ(box.icon, MsgIcon::None);
        EXPECT_EQ(box.owner, wizard);
    }
    EXPECT_FALSE(armedWhileOpen);
    EXPECT_EQ(whileOpen.caption, "Optimizing SackOpts");
    EXPECT_EQ(whileOpen.segments, 6);
    // The step finishes after the box, and the next one is a full interval away.
    EXPECT_EQ(armsWhileOpen, armsBefore);
    EXPECT_EQ(timerArms(), armsBefore + 1);
    EXPECT_EQ(text("lblSetting_1"), "Optimizing MaxDupAcks");
    EXPECT_EQ(shownSegments(), 7);

    for (int step = 8; step <= 19; ++step)
        fireStep();
    expectComplete();
    EXPECT_FALSE(value(HKLM, K2, "MaxDupAcks").present);
    EXPECT_EQ(value(HKLM, K7, "SizReqBuf").data, sz("16384"));
    EXPECT_EQ(os.boxes.size(), 2u);
}

TEST_F(RunTest, BackBeforeTheFirstStepDisarmsTheRunSoALaterBackupHoldsNoBoostedValue)
{
    // NO, on to the run page, Back twice before the first step, then YES.
    open();
    goToRunPage();
    click("cmdBack_0");
    EXPECT_FALSE(stepArmed());
    click("cmdBack_0");
    auto nothingBoosted = [&] {
        for (const ValuePath& v : planValues())
            if (value(v.root, v.keyPath, v.valueName).present)
                return false;
        return true;
    };
    EXPECT_TRUE(nothingBoosted());
    click("cmdNext_0");  // YES, as the question page sets it again
    EXPECT_EQ(text("lblSetting_0"), "Complete");
    std::ifstream file(backupRegPath(folder()), std::ios::binary);
    const std::string backup{std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
    const std::vector<RegEntry> recorded = readRegFile(backup);
    EXPECT_EQ(recorded.size(), planValues().size());
    for (const RegEntry& e : recorded)
        EXPECT_FALSE(e.state && e.state->present) << e.path.valueName;

    // Next arms a run of its own, one chain only: it ends once, without boxes.
    click("cmdNext_0");
    click("cmdNext_0");
    EXPECT_EQ(timerArms(), 2) << "the first run disarmed, this one armed once";
    fireRun();
    expectComplete();
    EXPECT_TRUE(os.boxes.empty());
    EXPECT_TRUE(restoreRegistry(store, folder()).ok());
    EXPECT_TRUE(nothingBoosted());
}

TEST_F(RunTest, ABackupThatCannotBeMarkedForTheBoostIsToldOnceAndTheRunGoesOn)
{
    open();
    click("cmdNext_0");  // YES: a backup, marked as having no boost to undo
    ASSERT_EQ(text("lblSetting_0"), "Complete");
    const std::filesystem::path idle = std::filesystem::path(backupFolder(folder())) / "Backup.idle";
    ASSERT_TRUE(std::filesystem::remove(idle));
    ASSERT_TRUE(std::filesystem::create_directory(idle));  // cannot be removed as a file
    click("cmdNext_0");
    click("cmdNext_0");
    fireRun();
    expectComplete();
    ASSERT_EQ(os.boxes.size(), 1u);
    EXPECT_EQ(os.boxes[0].text.rfind("The backup could not be marked as the settings from before this boost (", 0), 0u)
        << os.boxes[0].text;
    EXPECT_NE(os.boxes[0].text.find(idle.string()), std::string::npos);
    EXPECT_EQ(os.boxes[0].icon, MsgIcon::Warning);
}

// A restore in another process takes the Backup folder as another thread does
// here: while a step writes, it must wait, or it could mark the backup as
// having nothing to undo under a boost still being written.
TEST_F(RunTest, EachWriteOfAStepIsMadeWhileTheStepHoldsTheBackupFolder)
{
    open();
    click("cmdNext_0");  // YES: a backup, so there is a Backup folder to hold
    ASSERT_EQ(text("lblSetting_0"), "Complete");
    click("cmdNext_0");
    click("cmdNext_0");
    std::vector<std::future<bool>> takers;
    std::vector<bool> heldAtWrite;
    store.beforeWrite = [&] {
        takers.push_back(std::async(std::launch::async, [dir = folder()] {
            std::string why;
            return BackupFolder(dir).open(false, why);
        }));
        heldAtWrite.push_back(takers.back().wait_for(std::chrono::milliseconds(200)) ==
                              std::future_status::timeout);
    };
    fireStep();
    fireStep();
    store.beforeWrite = nullptr;

    ASSERT_FALSE(heldAtWrite.empty());
    EXPECT_EQ(heldAtWrite, std::vector<bool>(heldAtWrite.size(), true));
    for (std::future<bool>& taker : takers)
        EXPECT_TRUE(taker.get()) << "the folder is free again once the step is done";
    EXPECT_TRUE(os.boxes.empty());
}

TEST_F(RunTest, BackFromTheFinishPageRunsThePlanAgainWithTheSliderStillLocked)
{
    runAt(129);
    click("cmdNext_0");
    ASSERT_EQ(deleteValue(store, {HKLM, K1, "DefaultRcvWindow"}), 0);
    click("cmdBack_0");
    EXPECT_FALSE(usable("cmdNext_0"));
    EXPECT_FALSE(usable("Slider1"));
    EXPECT_EQ(text("lblSetting_1"), "Optimizations Complete");  // until the first step
    EXPECT_EQ(shownSegments(), 18);

    fireStep();
    EXPECT_EQ(text("lblSetting_1"), "Optimizing DefaultRcvWindow");
    EXPECT_EQ(value(HKLM, K1, "DefaultRcvWindow").data, sz("17520"));
    for (int step = 2; step <= 19; ++step)
        fireStep();
    expectComplete();
}

}  // namespace
}  // namespace ferro::test
