#include "platform/Paths.h"
#include "platform/PathsSystem.h"

namespace ferro {

const char paths::kSeparator = '/';
const char* const paths::kSeparators = "/";

bool paths::isDrive(const std::string&)
{
    return false;
}

std::FILE* openFile(const std::string& path, const char* mode)
{
    return std::fopen(path.c_str(), mode);
}

}  // namespace ferro
