// The timed run on the optimisation page: what each step shows and writes,
// its locks, its error boxes and the run started again.
#include "wizard/WizardTesting.h"

#include <QImage>
#include <QThread>

#include <filesystem>
#include <fstream>
#include <iterator>

#include "registry/RegFile.h"
#include "tuning/Backup.h"
#include "tuning/TuningPlan.h"

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

// Hands every call to one of two stores on the same file; a test switches
// between them in the middle of a run.
class SwitchableBackend final : public RegistryBackend {
public:
    explicit SwitchableBackend(RegistryBackend& first) : target(&first) {}
    RegistryBackend* target;

    Status createKey(RootKey root, const std::string& path, KeyHandle& out) override
    {
        return target->createKey(root, path, out);
    }
    Status openKey(RootKey root, const std::string& path, std::uint32_t access, KeyHandle& out) override
    {
        return target->openKey(root, path, access, out);
    }
    Status setValue(KeyHandle key, const std::string& name, std::uint32_t type, const Bytes& data) override
    {
        return target->setValue(key, name, type, data);
    }
    Status queryValue(KeyHandle key, const std::string& name, std::uint32_t& type, Bytes& data) override
    {
        return target->queryValue(key, name, type, data);
    }
    Status deleteValue(KeyHandle key, const std::string& name) override
    {
        return target->deleteValue(key, name);
    }
    void closeKey(KeyHandle key) override { target->closeKey(key); }
};

class RunTest : public WizardTest {
protected:
    struct Seen {
        QString caption;
        int segments;
        bool locked;  // neither Back nor the slider can be used
    };

    // Runs all nineteen steps, noting what the user sees after each.
    std::vector<Seen> runSteps()
    {
        std::vector<Seen> seen;
        for (int step = 1; step <= 19 && !HasFatalFailure(); ++step) {
            fireStep();
            seen.push_back({text("lblSetting_1"), shownSegments(),
                            !button("cmdBack_0")->isEnabled() && !slider()->isEnabled()});
        }
        return seen;
    }
    std::vector<Seen> runAt(int speed)
    {
        open();
        slider()->setValue(speed);
        goToRunPage();
        return runSteps();
    }

    // The colour of the bar between the first two segments.
    QColor barGap() const
    {
        return control("Picture1")->grab().toImage().pixelColor(21, 13);
    }

    void expectComplete()
    {
        EXPECT_EQ(text("lblSetting_1"), "Optimizations Complete");
        EXPECT_EQ(text("cmdNext_0"), "Finished");
        EXPECT_TRUE(button("cmdNext_0")->isEnabled());
        EXPECT_EQ(shownSegments(), 18);
        EXPECT_EQ(barGap(), QColor(0, 255, 0));
        EXPECT_FALSE(stepTimer()->isActive());
    }
};

TEST_F(RunTest, AtDialUpSpeedEveryStepShowsItselfAndTheMtuIsLeftAlone)
{
    open();
    goToRunPage();
    EXPECT_EQ(stepTimer()->interval(), 3000);
    EXPECT_TRUE(button("cmdBack_0")->isEnabled());
    EXPECT_TRUE(slider()->isEnabled());
    EXPECT_EQ(barGap(), QColor(0xE0, 0xE0, 0xE0));

    const std::vector<Seen> seen = runSteps();
    ASSERT_EQ(seen.size(), 19u);
    // The first step locks the way back and the speed.
    EXPECT_TRUE(seen[0].locked);
    EXPECT_EQ(seen[0].caption, "Optimizing DefaultRcvWindow");
    for (int step = 1; step <= 18; ++step) {
        EXPECT_TRUE(seen[step - 1].caption.startsWith("Optimizing ")) << step;
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
    SqliteStore readOnly(storePath(), SqliteStore::Mode::ReadOnly);
    SwitchableBackend backend(*store);
    open(3000, &backend);
    goToRunPage();
    for (int step = 1; step <= 6; ++step)
        fireStep();

    backend.target = &readOnly;  // step 7 meets a store it may not write
    bool armedWhileOpen = true;
    Seen whileOpen{"", 0, false};
    os.whileBoxOpen = [&](const FakeOsServices::Box&) {
        armedWhileOpen = armedWhileOpen && stepTimer()->isActive();
        whileOpen = {text("lblSetting_1"), shownSegments(), true};
        QThread::msleep(400);  // the user takes a while to answer
        backend.target = store.get();
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
    }
    EXPECT_FALSE(armedWhileOpen);
    EXPECT_EQ(whileOpen.caption, "Optimizing SackOpts");
    EXPECT_EQ(whileOpen.segments, 6);
    // The step finishes after the box, and the next one is a full interval away.
    EXPECT_EQ(text("lblSetting_1"), "Optimizing MaxDupAcks");
    EXPECT_EQ(shownSegments(), 7);
    EXPECT_GT(stepTimer()->remainingTime(), 2800);

    for (int step = 8; step <= 19; ++step)
        fireStep();
    expectComplete();
    EXPECT_FALSE(value(HKLM, K2, "MaxDupAcks").present);
    EXPECT_EQ(value(HKLM, K7, "SizReqBuf").data, sz("16384"));
    EXPECT_EQ(os.boxes.size(), 2u);
}

TEST_F(RunTest, BackBeforeTheFirstStepDisarmsTheRunSoALaterBackupHoldsNoBoostedValue)
{
    // NO, on to the run page, Back twice within the first interval, then YES.
    open(1);
    goToRunPage();
    click("cmdBack_0");
    EXPECT_FALSE(stepTimer()->isActive());
    click("cmdBack_0");
    waitUntil([] { return false; }, 50);  // many intervals
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
    ASSERT_TRUE(waitUntil([&] { return text("cmdNext_0") == "Finished"; }));
    EXPECT_TRUE(os.boxes.empty());
    EXPECT_TRUE(restoreRegistry(*store, folder()).ok());
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
    EXPECT_TRUE(os.boxes[0].text.startsWith("The backup could not be marked as the settings from before this boost ("));
    EXPECT_TRUE(os.boxes[0].text.contains(QString::fromStdString(idle.string())));
    EXPECT_EQ(os.boxes[0].icon, MsgIcon::Warning);
}

TEST_F(RunTest, BackFromTheFinishPageRunsThePlanAgainWithTheSliderStillLocked)
{
    runAt(129);
    click("cmdNext_0");
    ASSERT_EQ(deleteValue(*store, {HKLM, K1, "DefaultRcvWindow"}), 0);
    click("cmdBack_0");
    EXPECT_FALSE(button("cmdNext_0")->isEnabled());
    EXPECT_FALSE(slider()->isEnabled());
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
