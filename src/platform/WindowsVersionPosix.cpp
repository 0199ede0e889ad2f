#include "platform/WindowsVersion.h"

namespace ferro {

std::optional<WindowsVersion> runningWindowsVersion()
{
    return std::nullopt;
}

}  // namespace ferro
