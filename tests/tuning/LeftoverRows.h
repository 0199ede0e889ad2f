#pragma once
// What the leftovers' tests plant and read back: the rows' keys, and the
// state of every registry row as .reg text (equal texts, equal values).
#include <string>
#include <vector>

#include "registry/RegFile.h"
#include "tuning/Leftovers.h"

namespace ferro::test {

inline const std::string kTcpip = "SYSTEM\\CurrentControlSet\\Services\\Tcpip\\Parameters";
inline const std::string kMultimedia = "SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\Multimedia\\SystemProfile";

inline Bytes dword(std::uint32_t v)
{
    return {std::uint8_t(v), std::uint8_t(v >> 8), std::uint8_t(v >> 16), std::uint8_t(v >> 24)};
}

inline std::string leftoverRowsState(RegistryBackend& backend)
{
    std::vector<ValuePath> all;
    for (const LeftoverRow& row : leftoverRows())
        if (*row.keyPath)
            all.push_back(valuePathOf(row));
    std::vector<Failure> unreadable;
    return writeRegFile(captureState(backend, all, unreadable));
}

}  // namespace ferro::test
