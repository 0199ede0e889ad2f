// The names of the Windows versions as the plan's first line gives them: 95,
// 98, 98 SE and Me from their own numbers (the build is the low word there),
// the NT family's from theirs.
#include <gtest/gtest.h>

#include "platform/WindowsVersion.h"

namespace ferro {
namespace {

WindowsVersion nineX(std::uint32_t major, std::uint32_t minor, std::uint32_t build)
{
    WindowsVersion v{major, minor, build, false, ""};
    v.windows9x = true;
    return v;
}

TEST(WindowsVersion, NamesEachVersionAsItsMakerDid)
{
    const std::pair<WindowsVersion, const char*> named[] = {
        {nineX(4, 0, 950), "Windows 95 (4.0.950)"},
        {nineX(4, 10, 1998), "Windows 98 (4.10.1998)"},
        {nineX(4, 10, 2222), "Windows 98 SE (4.10.2222)"},
        {nineX(4, 90, 3000), "Windows Me (4.90.3000)"},
        {{5, 0, 2195, false, ""}, "Windows 2000 (5.0.2195)"},
        {{5, 1, 2600, false, ""}, "Windows XP (5.1.2600)"},
        {{5, 2, 3790, false, ""}, "Windows XP (5.2.3790)"},
        {{5, 2, 3790, true, ""}, "Windows Server (5.2.3790)"},
        {{6, 0, 6002, false, ""}, "Windows Vista (6.0.6002)"},
        {{6, 1, 7601, false, "8.0"}, "Windows 7 (6.1.7601), under Wine 8.0"},
        {{6, 2, 9200, false, ""}, "Windows 8 (6.2.9200)"},
        {{6, 3, 9600, false, ""}, "Windows 8.1 (6.3.9600)"},
        {{10, 0, 19045, false, ""}, "Windows 10 (10.0.19045)"},
        {{10, 0, 22000, false, ""}, "Windows 11 (10.0.22000)"},
    };
    for (const auto& [version, name] : named)
        EXPECT_EQ(windowsVersionName(version), name);
}

TEST(WindowsVersion, TellsTheSystemsThatReadThePlanDifferently)
{
    const struct {
        WindowsVersion version;
        bool nineXReader, ntFiveReader, tenOrEleven;
    } cases[] = {
        {nineX(4, 0, 950), false, false, false},  // 95 reads DWORDs there, not the plan's strings
        {nineX(4, 10, 2222), true, false, false},
        {nineX(4, 90, 3000), true, false, false},
        {{5, 0, 2195, false, ""}, false, true, false},
        {{5, 1, 2600, false, ""}, false, true, false},
        {{5, 2, 3790, true, ""}, false, false, false},
        {{6, 1, 7601, false, ""}, false, false, false},
        {{10, 0, 22631, false, ""}, false, false, true},
        {{10, 0, 17763, true, ""}, false, false, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(windowsVersionName(c.version));
        EXPECT_EQ(isWindows98OrMe(c.version), c.nineXReader);
        EXPECT_EQ(isWindows2000OrXp(c.version), c.ntFiveReader);
        EXPECT_EQ(isWindows10Or11(c.version), c.tenOrEleven);
    }
}

}  // namespace
}  // namespace ferro
