#include "platform/TextOutput.h"

#include <cerrno>
#include <cstring>

namespace ferro {

bool writeText(std::FILE* file, std::string_view text, std::string& why)
{
    errno = 0;
    if (std::fwrite(text.data(), 1, text.size(), file) == text.size() && std::fflush(file) == 0)
        return true;
    why = errno ? std::strerror(errno) : "the write was cut short";
    return false;
}

}  // namespace ferro
