#include "platform/WindowsVersion.h"

#include <windows.h>

#include "platform/SystemFunction.h"

namespace ferro {
namespace {

// 95, 98 and Me keep the version in the high word of the build number.
template <class Info>
WindowsVersion versionOf(const Info& info)
{
    WindowsVersion version;
    version.major = info.dwMajorVersion;
    version.minor = info.dwMinorVersion;
    version.windows9x = info.dwPlatformId == VER_PLATFORM_WIN32_WINDOWS;
    version.build = version.windows9x ? LOWORD(info.dwBuildNumber) : info.dwBuildNumber;
    return version;
}

// GetVersionEx of 95, 98 and Me takes only the short structure.
std::optional<WindowsVersion> versionFromGetVersionEx()
{
    OSVERSIONINFOA info{};
    info.dwOSVersionInfoSize = sizeof info;
    if (!GetVersionExA(&info) || info.dwMajorVersion == 0)
        return std::nullopt;
    return versionOf(info);
}

std::optional<WindowsVersion> versionFromRtlGetVersion()
{
    // Declared only in the driver kit's headers, and missing on 95, 98 and Me.
    using RtlGetVersionFn = LONG(WINAPI*)(OSVERSIONINFOEXW*);
    const auto rtlGetVersion = loadedFunction<RtlGetVersionFn>("ntdll.dll", "RtlGetVersion");
    if (!rtlGetVersion)
        return std::nullopt;
    OSVERSIONINFOEXW info{};
    info.dwOSVersionInfoSize = sizeof info;
    if (rtlGetVersion(&info) != 0 || info.dwMajorVersion == 0)  // 0 is STATUS_SUCCESS
        return std::nullopt;
    // Wine set to 98 or Me answers here too, with the 9x platform and build.
    WindowsVersion version = versionOf(info);
    version.server = !version.windows9x && info.wProductType != VER_NT_WORKSTATION;
    return version;
}

}  // namespace

std::optional<WindowsVersion> runningWindowsVersion()
{
    std::optional<WindowsVersion> version = versionFromRtlGetVersion();
    if (!version)
        version = versionFromGetVersionEx();
    if (!version)
        return std::nullopt;
    using WineVersionFn = const char*(CDECL*)();
    const auto wineVersion = loadedFunction<WineVersionFn>("ntdll.dll", "wine_get_version");
    if (wineVersion && wineVersion())
        version->wine = wineVersion();
    return version;
}

}  // namespace ferro
