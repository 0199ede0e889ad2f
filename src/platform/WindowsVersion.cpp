#include "platform/WindowsVersion.h"

// What a version is called; how it is read is per system
// (WindowsVersionWin32.cpp, WindowsVersionPosix.cpp).
namespace ferro {
namespace {

std::string windows9xName(const WindowsVersion& v)
{
    if (v.major == 4 && v.minor == 0)
        return "Windows 95";
    if (v.major == 4 && v.minor == 10)
        return v.build >= 2222 ? "Windows 98 SE" : "Windows 98";
    if (v.major == 4 && v.minor == 90)
        return "Windows Me";
    return "Windows";
}

std::string windowsNtName(const WindowsVersion& v)
{
    if (v.server)
        return "Windows Server";
    if (isWindows10Or11(v))
        return v.build >= 22000 ? "Windows 11" : "Windows 10";
    if (v.major == 6 && v.minor <= 3) {
        const char* const names[] = {"Windows Vista", "Windows 7", "Windows 8", "Windows 8.1"};
        return names[v.minor];
    }
    if (v.major == 5)
        return v.minor == 0 ? "Windows 2000" : "Windows XP";  // 5.2: XP Professional x64 Edition
    return "Windows";
}

}  // namespace

bool isWindows10Or11(const WindowsVersion& version)
{
    return !version.windows9x && version.major == 10 && version.minor == 0 && !version.server;
}

bool isWindows98OrMe(const WindowsVersion& version)
{
    return version.windows9x && version.major == 4 && (version.minor == 10 || version.minor == 90);
}

bool isWindows2000OrXp(const WindowsVersion& version)
{
    return !version.windows9x && version.major == 5 && !version.server;
}

std::string windowsVersionName(const WindowsVersion& v)
{
    std::string name = v.windows9x ? windows9xName(v) : windowsNtName(v);
    name += " (" + std::to_string(v.major) + "." + std::to_string(v.minor) + "." + std::to_string(v.build) + ")";
    if (!v.wine.empty())
        name += ", under Wine " + v.wine;
    return name;
}

}  // namespace ferro
