#include "platform/Paths.h"
#include "platform/PathsSystem.h"
#include "platform/WindowsCalls.h"

namespace ferro {

const char paths::kSeparator = '\\';
const char* const paths::kSeparators = "\\/";

bool paths::isDrive(const std::string& text)
{
    return text.size() == 2 && text[1] == ':';
}

std::FILE* openFile(const std::string& path, const char* mode)
{
    return win32::openStdioFile(path, mode);
}

}  // namespace ferro
