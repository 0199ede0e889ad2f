#include "platform/WindowsVersion.h"

#ifdef _WIN32
#include <windows.h>
#endif

namespace ferro {

#ifdef _WIN32
std::optional<WindowsVersion> runningWindowsVersion()
{
    // ntdll is mapped into every process. RtlGetVersion is declared only in
    // the driver kit's headers, so it is looked up at run time.
    const HMODULE ntdll = GetModuleHandleW(L"ntdll.dll");
    if (!ntdll)
        return std::nullopt;
    using RtlGetVersionFn = LONG(WINAPI*)(OSVERSIONINFOEXW*);
    // Through void(*)(): the one cast between function types GCC accepts silently.
    const auto rtlGetVersion = reinterpret_cast<RtlGetVersionFn>(
        reinterpret_cast<void (*)()>(GetProcAddress(ntdll, "RtlGetVersion")));
    if (!rtlGetVersion)
        return std::nullopt;
    OSVERSIONINFOEXW info{};
    info.dwOSVersionInfoSize = sizeof info;
    if (rtlGetVersion(&info) != 0 || info.dwMajorVersion == 0)  // 0 is STATUS_SUCCESS
        return std::nullopt;

    WindowsVersion version;
    version.major = info.dwMajorVersion;
    version.minor = info.dwMinorVersion;
    version.build = info.dwBuildNumber;
    version.server = info.wProductType != VER_NT_WORKSTATION;
    using WineVersionFn = const char*(CDECL*)();
    const auto wineVersion = reinterpret_cast<WineVersionFn>(
        reinterpret_cast<void (*)()>(GetProcAddress(ntdll, "wine_get_version")));
    if (wineVersion && wineVersion())
        version.wine = wineVersion();
    return version;
}
#else
std::optional<WindowsVersion> runningWindowsVersion()
{
    return std::nullopt;
}
#endif

bool isWindows10Or11(const WindowsVersion& version)
{
    return version.major == 10 && version.minor == 0 && !version.server;
}

std::string windowsVersionName(const WindowsVersion& v)
{
    std::string name;
    if (v.server)
        name = "Windows Server";
    else if (isWindows10Or11(v))
        name = v.build >= 22000 ? "Windows 11" : "Windows 10";
    else if (v.major == 6 && v.minor <= 3)
        name = v.minor == 0 ? "Windows Vista" : v.minor == 1 ? "Windows 7" : v.minor == 2 ? "Windows 8" : "Windows 8.1";
    else if (v.major == 5 && v.minor >= 1)
        name = "Windows XP";
    else
        name = "Windows";
    name += " (" + std::to_string(v.major) + "." + std::to_string(v.minor) + "." + std::to_string(v.build) + ")";
    if (!v.wine.empty())
        name += ", under Wine " + v.wine;
    return name;
}

}  // namespace ferro
