// A whole boost through the Win32 windows at a 1 ms step interval, into the
// real registry of the throwaway Wine prefix, and the restore after it. The
// registry is read back with advapi32 directly, not through the program.
#include <windows.h>

#include <cstdlib>
#include <iterator>

#include "app/frmMain.h"
#include "registry/Advapi32Backend.h"
#include "tuning/TuningPlan.h"
#include "win32/Win32Windows.h"
#include "wizard/frmBoost.h"

namespace ferro::win32::testing {
namespace {

HKEY rootKey(RootKey root) { return root == RootKey::CurrentUser ? HKEY_CURRENT_USER : HKEY_LOCAL_MACHINE; }

// "absent", the text of a REG_SZ value, or "dword:<decimal>".
std::string stored(const ValuePath& path)
{
    HKEY key = nullptr;
    if (RegOpenKeyExA(rootKey(path.root), path.keyPath.c_str(), 0, KEY_QUERY_VALUE, &key) != ERROR_SUCCESS)
        return "absent";
    DWORD type = 0;
    BYTE data[512] = {};
    DWORD size = sizeof data;
    const LONG status = RegQueryValueExA(key, path.valueName.c_str(), nullptr, &type, data, &size);
    RegCloseKey(key);
    if (status != ERROR_SUCCESS)
        return "absent";
    if (type == REG_DWORD && size == 4)
        return "dword:" + std::to_string(*reinterpret_cast<const DWORD*>(data));
    if (type == REG_SZ && size > 0 && data[size - 1] == 0)
        return std::string(reinterpret_cast<const char*>(data), size - 1);
    return "type " + std::to_string(type);
}

void remove(const ValuePath& path)
{
    HKEY key = nullptr;
    if (RegOpenKeyExA(rootKey(path.root), path.keyPath.c_str(), 0, KEY_SET_VALUE, &key) == ERROR_SUCCESS) {
        RegDeleteValueA(key, path.valueName.c_str());
        RegCloseKey(key);
    }
}

// What the registry holds after a boost at 57 Kbps, step by step, and whether
// the restore without a backup deletes it: the numbers of the plan's tables,
// written out here so that a wrong number in the program cannot pass.
struct Expected {
    int step;
    const char* at57;
    bool deletedByRestore;
};
const Expected kAt57[] = {
    {1, "17520", true},           {2, "64", true},
    {3, "1", true},               {4, "0", true},
    {5, "3", true},               {6, "1", true},
    {7, "2", true},               {8, "dword:00000010", true},
    {9, "dword:00000010", true},  {10, "dword:00000010", true},
    {11, "1500", true},           {12, "17520", false},
    {13, "17520", false},         {14, "5", false},
    {15, "6", false},             {16, "7", false},
    {17, "8", false},             {18, "16384", false},
    {19, "dword:1500", false},
};
static_assert(std::size(kAt57) == kPlanSteps);

class Win32Boost : public Win32WindowTest {
protected:
    Win32Boost() : Win32WindowTest(&registry, 1) {}
    void SetUp() override
    {
        // It writes the registry it runs against: only a throwaway one.
        const char* prefix = std::getenv("WINEPREFIX");
        const char* throwaway = std::getenv("FERRO_THROWAWAY_WINEPREFIX");
        if (!prefix || !throwaway || std::string(prefix) != throwaway)
            GTEST_SKIP() << "boosts the registry it runs in: only in scripts/test-windows' Wine prefix";
        for (const ValuePath& path : planValues())
            remove(path);
    }
    Advapi32Backend registry;
};

TEST_F(Win32Boost, AWholeBoostAt57WritesThePlanAndTheRestoreTakesBackItsList)
{
    frmMain& main = windows->showMain();
    click(main, "cmdBoost");
    ASSERT_TRUE(windows->boost());
    frmBoost& boost = *windows->boost();
    EXPECT_EQ(os.beeps, 1);

    // "NO" to the backup, the slider one step right, and on to the run.
    const HWND answer = item(boost, "cmbConfirm_0");
    SendMessageA(answer, CB_SETCURSEL, 1, 0);
    SendMessageA(GetParent(answer), WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(answer), CBN_SELCHANGE),
                 reinterpret_cast<LPARAM>(answer));
    click(boost, "cmdNext_0");
    SendMessageA(item(boost, "Slider1"), WM_KEYDOWN, VK_RIGHT, 0);
    pump();
    click(boost, "cmdNext_0");
    ASSERT_TRUE(pumpUntil([&] { return text(item(boost, "cmdNext_0")) == "Finished"; }, 20000))
        << "the run did not finish; it shows " << text(item(boost, "lblSetting_1"));

    EXPECT_EQ(text(item(boost, "lblSetting_1")), "Optimizations Complete");
    EXPECT_FALSE(IsWindowEnabled(item(boost, "Slider1")));
    for (int segment = 1; segment <= kProgressSegments; ++segment)
        EXPECT_TRUE(visible(item(boost, "Text" + std::to_string(segment)))) << segment;
    for (const auto& box : os.boxes)
        ADD_FAILURE() << "registry message: " << box.text;
    for (const Expected& e : kAt57) {
        const PlanEntry& entry = planEntry(e.step);
        EXPECT_EQ(stored({entry.root, entry.keyPath, entry.valueName}), e.at57) << "step " << e.step;
    }
    // Steps 8 to 10 write the Internet Settings of the current user.
    EXPECT_EQ(stored({RootKey::CurrentUser, planEntry(10).keyPath, "MaxConnectionsPerServer"}), "dword:00000010");

    os.answers = {MsgAnswer::Yes};
    click(main, "cmdRestore");
    ASSERT_EQ(os.boxes.size(), 2u);
    EXPECT_EQ(os.boxes[1].text, "Your registry has been restored.");
    for (const Expected& e : kAt57) {
        const PlanEntry& entry = planEntry(e.step);
        EXPECT_EQ(stored({entry.root, entry.keyPath, entry.valueName}), e.deletedByRestore ? "absent" : e.at57)
            << "step " << e.step;
    }
}

}  // namespace
}  // namespace ferro::win32::testing
