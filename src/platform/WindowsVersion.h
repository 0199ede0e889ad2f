#pragma once
// The version of Windows this program runs on, as the kernel reports it.
#include <cstdint>
#include <optional>
#include <string>

namespace ferro {

struct WindowsVersion {
    std::uint32_t major = 0;
    std::uint32_t minor = 0;
    std::uint32_t build = 0;
    bool server = false;  // a server edition: its own product names
    std::string wine;     // Wine's version when running under Wine, else empty
};

// The running version from ntdll's RtlGetVersion. GetVersionEx is not used:
// Windows shims it to report an older version to programs whose manifest
// does not name the newer one. nullopt off Windows, or when the call is
// missing or fails.
std::optional<WindowsVersion> runningWindowsVersion();

// "Windows 11 (10.0.22631)", "Windows 7 (6.1.7601)", "Windows Server
// (10.0.17763)"; under Wine ", under Wine 8.0" follows.
std::string windowsVersionName(const WindowsVersion& version);

// The workstation editions of NT 10.0: Windows 10, and 11 from build 22000.
bool isWindows10Or11(const WindowsVersion& version);

}  // namespace ferro
