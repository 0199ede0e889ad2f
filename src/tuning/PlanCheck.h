#pragma once
// Whether the registry already holds what a boost at some speed would write:
// the detection half that fleet tools pair with apply.
#include <cstdint>
#include <optional>
#include <vector>

#include "registry/RegFile.h"

namespace ferro {

// What applying the plan at this speed writes, value by value, in plan order
// (a value written twice appears once, with its last data). Values the speed
// rules skip are not listed.
std::vector<RegEntry> planWrites(std::uint32_t speedKbps);

// One value that is not as the plan at that speed would leave it.
struct PlanDifference {
    ValuePath path;
    ValueState wanted;
    ValueState now;                 // absent when missing or unreadable
    Status readStatus = kStatusOk;  // kStatusOk or kStatusNotFound, else why it could not be read
};

// Every written value whose type or bytes differ from the plan's, in plan order.
std::vector<PlanDifference> planDifferences(RegistryBackend& backend, std::uint32_t speedKbps);

}  // namespace ferro
