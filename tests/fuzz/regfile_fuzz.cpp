#include <cstddef>
#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <tuple>

#include "registry/RegFile.h"

namespace {

// What a file does to the registry: for each value (names folded) its last
// state, absent or type and bytes.
using Place = std::tuple<ferro::RootKey, std::string, std::string>;
using Effect = std::map<Place, std::optional<std::pair<std::uint32_t, ferro::Bytes>>>;

Effect effectOf(const std::vector<ferro::RegEntry>& entries)
{
    Effect effect;
    for (const ferro::RegEntry& e : entries) {
        auto& state = effect[{e.path.root, ferro::foldName(e.path.keyPath), ferro::foldName(e.path.valueName)}];
        if (e.state && e.state->present)
            state = std::make_pair(e.state->type, e.state->data);
        else
            state.reset();
    }
    return effect;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string text(reinterpret_cast<const char*>(data), size);
    try {
        const auto entries = ferro::readRegFile(text);
        // Whatever was read must write out and read back to the same effect,
        // value by value and byte by byte.
        if (effectOf(ferro::readRegFile(ferro::writeRegFile(entries))) != effectOf(entries))
            __builtin_trap();
    } catch (const ferro::RegParseError&) {
    }
    return 0;
}
