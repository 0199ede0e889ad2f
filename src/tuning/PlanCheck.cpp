#include "tuning/PlanCheck.h"

#include "tuning/TuningPlan.h"

namespace ferro {

std::vector<RegEntry> planWrites(std::uint32_t speedKbps)
{
    std::vector<RegEntry> entries;
    for (const PlanEntry& e : tuningPlan()) {
        const std::optional<std::string> data = planData(e, speedKbps);
        ValueState state{true, e.type, {}};
        // A datum apply cannot store is not written either.
        if (!data || modRegistry::encodeData(e.type, *data, state.data) != kStatusOk)
            continue;
        RegEntry entry{ValuePath{e.root, e.keyPath, e.valueName}, std::move(state)};
        bool replaced = false;
        for (RegEntry& earlier : entries)
            if (samePlace(earlier.path, entry.path)) {
                earlier = entry;
                replaced = true;
            }
        if (!replaced)
            entries.push_back(std::move(entry));
    }
    return entries;
}

std::vector<PlanDifference> planDifferences(RegistryBackend& backend, std::uint32_t speedKbps)
{
    std::vector<PlanDifference> differences;
    const ReadSnapshot snapshot(backend);
    for (const RegEntry& wanted : planWrites(speedKbps)) {
        PlanDifference d{wanted.path, *wanted.state, {}, kStatusOk};
        d.readStatus = readValue(backend, d.path, d.now);
        const bool same = d.readStatus == kStatusOk && d.now.type == d.wanted.type && d.now.data == d.wanted.data;
        if (!same)
            differences.push_back(std::move(d));
    }
    return differences;
}

}  // namespace ferro
