#include <cstddef>
#include <cstdint>
#include <string>

#include "registry/RegFile.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string text(reinterpret_cast<const char*>(data), size);
    try {
        const auto entries = ferro::readRegFile(text);
        // Whatever was read must write out and read back to the same entries.
        const auto again = ferro::readRegFile(ferro::writeRegFile(entries));
        if (again.size() != entries.size())
            __builtin_trap();
    } catch (const ferro::RegParseError&) {
    }
    return 0;
}
