#include "platform/TextOutput.h"

#include <algorithm>
#include <cerrno>
#include <cstring>

#ifdef _WIN32
#include <io.h>
#include <windows.h>

#include "platform/WideText.h"
#endif

namespace ferro {
namespace {

#ifdef _WIN32
// The console behind `file`, or nullptr for a file or pipe.
HANDLE consoleOf(std::FILE* file)
{
    const auto handle = reinterpret_cast<HANDLE>(_get_osfhandle(_fileno(file)));
    DWORD mode = 0;
    return handle != INVALID_HANDLE_VALUE && GetConsoleMode(handle, &mode) ? handle : nullptr;
}

bool writeConsole(HANDLE console, std::string_view text, std::string& why)
{
    const std::wstring wide = win32::wideFromUtf8(std::string(text));
    // Older consoles refuse one large write (not enough memory): small pieces.
    constexpr std::size_t kPiece = 4096;
    for (std::size_t done = 0; done < wide.size();) {
        DWORD written = 0;
        const auto piece = static_cast<DWORD>(std::min(kPiece, wide.size() - done));
        if (!WriteConsoleW(console, wide.data() + done, piece, &written, nullptr) || written == 0) {
            why = win32::errorText(GetLastError());
            return false;
        }
        done += written;
    }
    return true;
}
#endif

}  // namespace

bool writeText(std::FILE* file, std::string_view text, std::string& why)
{
#ifdef _WIN32
    if (const HANDLE console = consoleOf(file)) {
        std::fflush(file);
        return writeConsole(console, text, why);
    }
#endif
    errno = 0;
#ifdef _WIN32
    SetLastError(0);
#endif
    if (std::fwrite(text.data(), 1, text.size(), file) == text.size() && std::fflush(file) == 0)
        return true;
#ifdef _WIN32
    // The system's own reason: the C library turns a closed pipe into EINVAL.
    if (const DWORD error = GetLastError()) {
        why = win32::errorText(error);
        return false;
    }
#endif
    why = errno ? std::strerror(errno) : "the write was cut short";
    return false;
}

}  // namespace ferro
