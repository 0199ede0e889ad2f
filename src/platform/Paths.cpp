#include "platform/Paths.h"

#include <string_view>

#ifdef _WIN32
#include "platform/WideText.h"
#endif

namespace ferro {
namespace {

#ifdef _WIN32
const char kSeparator = '\\';
const char* const kSeparators = "\\/";
#else
const char kSeparator = '/';
const char* const kSeparators = "/";
#endif

bool isSeparator(char c)
{
    return std::string_view(kSeparators).find(c) != std::string_view::npos;
}

// "C:": a drive with no folder named after it yet.
bool isDrive(const std::string& text)
{
#ifdef _WIN32
    return text.size() == 2 && text[1] == ':';
#else
    (void)text;
    return false;
#endif
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

std::FILE* openFile(const std::string& path, const char* mode)
{
#ifdef _WIN32
    const std::wstring wideMode(mode, mode + std::char_traits<char>::length(mode));
    return _wfopen(win32::widePath(path).c_str(), wideMode.c_str());
#else
    return std::fopen(path.c_str(), mode);
#endif
}

}  // namespace ferro
