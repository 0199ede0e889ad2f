#pragma once
// The version of Windows this program runs on, as the system reports it.
#include <cstdint>
#include <optional>
#include <string>

namespace ferro {

struct WindowsVersion {
    std::uint32_t major = 0;
    std::uint32_t minor = 0;
    std::uint32_t build = 0;
    bool server = false;  // a server edition of the NT family: its own product names
    std::string wine;     // Wine's version when running under Wine, else empty
    bool windows9x = false;  // Windows 95, 98 or Me (not the NT family)
};

// The running version. On the NT family from ntdll's RtlGetVersion, not
// GetVersionEx, which Windows shims to report an older version to programs
// whose manifest does not name the newer one; on 95, 98 and Me (no
// RtlGetVersion) from GetVersionEx. nullopt off Windows, or when both fail.
std::optional<WindowsVersion> runningWindowsVersion();

// "Windows 11 (10.0.22631)", "Windows 98 SE (4.10.2222)", "Windows Server
// (10.0.17763)"; under Wine ", under Wine 8.0" follows.
std::string windowsVersionName(const WindowsVersion& version);

// The workstation editions of NT 10.0: Windows 10, and 11 from build 22000.
bool isWindows10Or11(const WindowsVersion& version);

// Windows 98 (98 SE included) and Me, which read the plan's VxD\MSTCP values.
bool isWindows98OrMe(const WindowsVersion& version);

// Windows 2000 and XP (XP x64 Edition, NT 5.2, included), not a server.
bool isWindows2000OrXp(const WindowsVersion& version);

}  // namespace ferro
