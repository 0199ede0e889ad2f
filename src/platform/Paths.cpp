#include "platform/Paths.h"

#include <string_view>

#include "platform/PathsSystem.h"

namespace ferro {
using namespace paths;

namespace {

bool isSeparator(char c)
{
    return std::string_view(kSeparators).find(c) != std::string_view::npos;
}

}  // namespace

std::string joinPath(const std::string& folder, const std::string& name)
{
    if (folder.empty() || isSeparator(folder.back()) || isDrive(folder))
        return folder + name;
    return folder + kSeparator + name;
}

std::string parentPath(const std::string& path)
{
    const std::size_t last = path.find_last_of(kSeparators);
    if (last == std::string::npos)
        return isDrive(path.substr(0, 2)) ? path.substr(0, 2) : std::string();
    std::size_t end = last;
    while (end > 0 && isSeparator(path[end - 1]))
        --end;
    const std::string folder = path.substr(0, end);
    // The root itself: its separator is part of its name.
    if (folder.empty() || isDrive(folder))
        return path.substr(0, end + 1);
    return folder;
}

}  // namespace ferro
