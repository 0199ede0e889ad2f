#pragma once
// The fixed list of registry writes of a boost, and the speed rules that pick
// their data.
#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "registry/RegistryBackend.h"
#include "registry/modRegistry.h"

namespace ferro {

enum class DataRule {
    Fixed,          // the entry's fixed text
    WindowSize,     // the window-size table
    DialUpMtu,      // "576" at dial-up speeds, else "1500"
    AboveDialUpOnly // the fixed text above dial-up speeds, nothing at dial-up
};

struct PlanEntry {
    int step;  // 1 to kPlanSteps
    RootKey root;
    const char* keyPath;
    const char* valueName;
    DataRule rule;
    const char* fixedData;
    std::uint32_t type;
    const char* caption;
    bool restoredByDefault;  // on the list the restore deletes when no backup exists
};

// Checked against the plan itself where it is defined.
constexpr int kPlanSteps = 19;
constexpr int kPlanValues = 18;  // steps 8 and 9 write the same value
// The progress bar has a segment for every step but the last, which shows the
// one before it.
constexpr int kProgressSegments = kPlanSteps - 1;
constexpr std::uint32_t kDefaultSpeed = 56;
constexpr std::uint32_t kMaxSliderSpeed = 20000;

const std::array<PlanEntry, kPlanSteps>& tuningPlan();
const PlanEntry& planEntry(int step);  // step 1 to kPlanSteps

// The progress segment a step shows: its own number; the last step shows the
// last segment.
int progressSegment(int step);

bool isDialUp(std::uint32_t speedKbps);
// The window-size datum, or nullopt above the last row (nothing is written).
std::optional<std::string> windowSizeFor(std::uint32_t speedKbps);
// What the entry writes at this speed, or nullopt when nothing is written.
std::optional<std::string> planData(const PlanEntry& entry, std::uint32_t speedKbps);

// CreateKey then SetKeyValue, or nothing when the speed rules say so.
// Returns whether a write was attempted. A bad REG_DWORD datum is reported
// through the layer's sink as a conversion failure.
bool applyPlanEntry(const modRegistry::Registry& reg, const PlanEntry& entry,
                    std::uint32_t speedKbps);

// The plan's two parts: the machine's values (HKEY_LOCAL_MACHINE, written
// once per PC, elevated) and the user's (HKEY_CURRENT_USER, written in the
// profile of the account that runs the tool, so once per user).
enum class PlanPart { Both, Machine, User };
bool inPart(PlanPart part, RootKey root);

// Every distinct value the plan writes, in plan order (steps 8 and 9 once).
std::vector<ValuePath> planValues();
// The values the restore deletes when it has no backup, in its order.
std::vector<ValuePath> defaultRestoreValues();

// Texts of the speed frame.
std::string speedCaption(std::uint32_t speedKbps);      // "Select Connection Speed (56 Kbps)"
std::string speedDescription(std::uint32_t speedKbps);  // "56 Kilobytes per second Dial-Up"

}  // namespace ferro
