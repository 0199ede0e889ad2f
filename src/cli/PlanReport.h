#pragma once
// `ferrowinder-cli plan`: the steps of a boost with what each value does.
#include <cstdint>
#include <optional>
#include <string>

#include "platform/WindowsVersion.h"

namespace ferro {

// For a terminal: every line at most 80 columns. `running` is the Windows
// this runs on (nullopt elsewhere); it picks the effects shown and is named.
std::string planText(std::uint32_t speedKbps, const std::optional<WindowsVersion>& running);

// For programs: a header line, then one tab-separated line per step with
// step, root, key, value, type, data ("-" when nothing is written), read_by,
// expected_type, effect_windows_10_11, confidence and sources.
std::string planTsv(std::uint32_t speedKbps);

// For programs: {"format", "speed", "steps"}, each step with step, path,
// root, key, value, wanted (typed, as check writes it; null when nothing is
// written), read_by, expected_type, effect_windows_10_11, confidence and sources.
std::string planJson(std::uint32_t speedKbps);

}  // namespace ferro
