#include "tuning/TuningPlan.h"

#include <string_view>

namespace ferro {
namespace {

constexpr const char* K1 = "System\\CurrentControlSet\\Services\\VxD\\MSTCP";
// The same key as K1's Parameters subkey; the spelling of the original plan is kept.
constexpr const char* K2 = "System\\CurrentControlSet\\Services\\VXD\\MSTCP\\Parameters";
constexpr const char* K3 = "Software\\Microsoft\\Windows\\CurrentVersion\\Internet Settings";
constexpr const char* K4 = "System\\CurrentControlSet\\Services\\ICSharing\\Settings\\General";
constexpr const char* K5 = "System\\CurrentControlSet\\Services\\Tcpip\\Parameters";
constexpr const char* K6 = "System\\CurrentControlSet\\Services\\Tcpip\\ServiceProvider";
constexpr const char* K7 = "System\\CurrentControlSet\\Services\\LanmanServer\\Parameters";
constexpr const char* K8 =
    "System\\CurrentControlSet\\Services\\Tcpip\\Parameters\\Interfaces\\{B1632D02-69A7-4DCF-9A3C-196A2BCB28AD}";

constexpr RootKey HKLM = RootKey::LocalMachine;
constexpr RootKey HKCU = RootKey::CurrentUser;

constexpr auto kPlan = std::to_array<PlanEntry>({
    {1, HKLM, K1, "DefaultRcvWindow", DataRule::WindowSize, "", kRegSz, "Optimizing DefaultRcvWindow", true},
    {2, HKLM, K1, "DefaultTTL", DataRule::Fixed, "64", kRegSz, "Optimizing DefaultTTL", true},
    {3, HKLM, K1, "PMTUDiscovery", DataRule::Fixed, "1", kRegSz, "Optimizing PMTUDiscovery", true},
    {4, HKLM, K1, "PMTUBlackHoleDetect", DataRule::Fixed, "0", kRegSz, "Optimizing PMTUBlackHoleDetect", true},
    {5, HKLM, K2, "Tcp1323Opts", DataRule::Fixed, "3", kRegSz, "Optimizing Tcp1323Opts", true},
    {6, HKLM, K2, "SackOpts", DataRule::Fixed, "1", kRegSz, "Optimizing SackOpts", true},
    {7, HKLM, K2, "MaxDupAcks", DataRule::Fixed, "2", kRegSz, "Optimizing MaxDupAcks", true},
    {8, HKCU, K3, "MaxConnectionsPer1_0Server", DataRule::Fixed, "dword:00000010", kRegSz,
     "Optimizing MaxConnectionsPer1_0Server", true},
    {9, HKCU, K3, "MaxConnectionsPer1_0Server", DataRule::Fixed, "dword:00000010", kRegSz,
     "Optimizing MaxConnectionsPer1_0Server", true},
    {10, HKCU, K3, "MaxConnectionsPerServer", DataRule::Fixed, "dword:00000010", kRegSz,
     "Optimizing MaxConnectionsPerServer", true},
    {11, HKLM, K4, "internetMTU", DataRule::DialUpMtu, "", kRegSz, "Optimizing internetMTU", true},
    {12, HKLM, K5, "TcpWindowSize", DataRule::WindowSize, "", kRegSz, "Optimizing TcpWindowSize", false},
    {13, HKLM, K5, "GlobalMaxTcpWindowSize", DataRule::WindowSize, "", kRegSz,
     "Optimizing GlobalMaxTcpWindowSize", false},
    {14, HKLM, K6, "LocalPriority", DataRule::Fixed, "5", kRegSz, "Optimizing LocalPriority", false},
    {15, HKLM, K6, "HostsPriority", DataRule::Fixed, "6", kRegSz, "Optimizing HostsPriority", false},
    {16, HKLM, K6, "DnsPriority", DataRule::Fixed, "7", kRegSz, "Optimizing DnsPriority", false},
    {17, HKLM, K6, "NetbtPriority", DataRule::Fixed, "8", kRegSz, "Optimizing NetbtPriority", false},
    {18, HKLM, K7, "SizReqBuf", DataRule::Fixed, "16384", kRegSz, "Optimizing SizReqBuf", false},
    {19, HKLM, K8, "MTU", DataRule::AboveDialUpOnly, "1500", kRegDword, "Optimizing NetworkMTU", false},
});

// The counts the rest of the program sizes itself by, held against the plan.
constexpr bool stepsNumberedInOrder()
{
    for (std::size_t i = 0; i < kPlan.size(); ++i)
        if (kPlan[i].step != static_cast<int>(i) + 1)
            return false;
    return true;
}

constexpr int distinctValueCount()
{
    int count = 0;
    for (std::size_t i = 0; i < kPlan.size(); ++i) {
        bool earlier = false;
        for (std::size_t j = 0; j < i; ++j)
            earlier = earlier || (kPlan[j].root == kPlan[i].root &&
                                  std::string_view(kPlan[j].keyPath) == kPlan[i].keyPath &&
                                  std::string_view(kPlan[j].valueName) == kPlan[i].valueName);
        count += earlier ? 0 : 1;
    }
    return count;
}

static_assert(kPlan.size() == kPlanSteps && stepsNumberedInOrder());
static_assert(distinctValueCount() == kPlanValues);

struct WindowSizeRow {
    std::uint32_t upTo;  // inclusive upper bound in Kbps
    const char* data;
};

const WindowSizeRow kWindowSizes[] = {
    {56, "16616"},     {144, "17520"},    {192, "21900"},    {256, "29200"},
    {384, "43800"},    {512, "58400"},    {1024, "128480"},  {3500, "256960"},
    {7000, "513920"},  {13000, "1027840"}, {20000, "2055680"},
};

std::vector<ValuePath> distinctValues(bool restoreListOnly)
{
    std::vector<ValuePath> values;
    for (const PlanEntry& e : kPlan) {
        if (restoreListOnly && !e.restoredByDefault)
            continue;
        const ValuePath path{e.root, e.keyPath, e.valueName};
        bool seen = false;
        for (const ValuePath& v : values)
            seen = seen || samePlace(v, path);
        if (!seen)
            values.push_back(path);
    }
    return values;
}

}  // namespace

const std::array<PlanEntry, kPlanSteps>& tuningPlan()
{
    return kPlan;
}

const PlanEntry& planEntry(int step)
{
    return kPlan.at(static_cast<std::size_t>(step - 1));
}

int progressSegment(int step)
{
    return step < kProgressSegments ? step : kProgressSegments;
}

bool isDialUp(std::uint32_t speedKbps)
{
    return speedKbps <= 56;
}

std::optional<std::string> windowSizeFor(std::uint32_t speedKbps)
{
    for (const WindowSizeRow& row : kWindowSizes)
        if (speedKbps <= row.upTo)
            return row.data;
    return std::nullopt;
}

std::optional<std::string> planData(const PlanEntry& entry, std::uint32_t speedKbps)
{
    switch (entry.rule) {
    case DataRule::Fixed: return entry.fixedData;
    case DataRule::WindowSize: return windowSizeFor(speedKbps);
    case DataRule::DialUpMtu: return isDialUp(speedKbps) ? "576" : "1500";
    case DataRule::AboveDialUpOnly:
        if (isDialUp(speedKbps))
            return std::nullopt;
        return entry.fixedData;
    }
    return std::nullopt;
}

bool applyPlanEntry(const modRegistry::Registry& reg, const PlanEntry& entry,
                    std::uint32_t speedKbps)
{
    const std::optional<std::string> data = planData(entry, speedKbps);
    if (!data)
        return false;
    modRegistry::CreateKey(reg, entry.keyPath, entry.root);
    modRegistry::SetKeyValue(reg, entry.root, entry.keyPath, entry.valueName, *data, entry.type);
    return true;
}

bool inPart(PlanPart part, RootKey root)
{
    return part == PlanPart::Both || (part == PlanPart::Machine) == (root == RootKey::LocalMachine);
}

std::vector<ValuePath> planValues()
{
    return distinctValues(false);
}

std::vector<ValuePath> defaultRestoreValues()
{
    return distinctValues(true);
}

std::string speedCaption(std::uint32_t speedKbps)
{
    return "Select Connection Speed (" + std::to_string(speedKbps) + " Kbps)";
}

std::string speedDescription(std::uint32_t speedKbps)
{
    const char* phrase = speedKbps <= 56    ? " Kilobytes per second Dial-Up"
                         : speedKbps <= 128 ? " Kilobytes per second Dial-Up Tandem/DSL/Satellite"
                         : speedKbps < 10000 ? " Kilobytes per second DSL/Satellite/Cable"
                                             : " Kilobytes per second T1/T3";
    return std::to_string(speedKbps) + phrase;
}

}  // namespace ferro
