#include "platform/TextOutput.h"

#include <algorithm>
#include <cerrno>
#include <cstring>

#include <io.h>
#include <windows.h>

#include "platform/WideText.h"
#include "platform/WindowsCalls.h"

namespace ferro {
namespace {

// The console behind `file`, or nullptr for a file or pipe.
HANDLE consoleOf(std::FILE* file)
{
    const auto handle = reinterpret_cast<HANDLE>(_get_osfhandle(_fileno(file)));
    DWORD mode = 0;
    return handle != INVALID_HANDLE_VALUE && GetConsoleMode(handle, &mode) ? handle : nullptr;
}

// Older consoles refuse one large write (not enough memory): small pieces.
template <class Text, class Write>
bool writeInPieces(const Text& text, Write write, std::string& why)
{
    constexpr std::size_t kPiece = 4096;
    for (std::size_t done = 0; done < text.size();) {
        DWORD written = 0;
        const auto piece = static_cast<DWORD>(std::min(kPiece, text.size() - done));
        if (!write(text.data() + done, piece, &written) || written == 0) {
            why = win32::errorText(GetLastError());
            return false;
        }
        done += written;
    }
    return true;
}

bool writeConsole(HANDLE console, std::string_view text, std::string& why)
{
    if (win32::wideRoad())
        return writeInPieces(win32::wideFromUtf8(std::string(text)),
                             [console](const wchar_t* piece, DWORD size, DWORD* written) {
                                 return WriteConsoleW(console, piece, size, written, nullptr);
                             },
                             why);
    // 95, 98 and Me: in the console's own code page, what it lacks as '?'.
    const std::string local = win32::narrow(win32::wideFromUtf8(std::string(text)), GetConsoleOutputCP());
    return writeInPieces(local,
                         [console](const char* piece, DWORD size, DWORD* written) {
                             return WriteConsoleA(console, piece, size, written, nullptr);
                         },
                         why);
}

}  // namespace

bool writeText(std::FILE* file, std::string_view text, std::string& why)
{
    if (const HANDLE console = consoleOf(file)) {
        std::fflush(file);
        return writeConsole(console, text, why);
    }
    errno = 0;
    SetLastError(0);
    if (std::fwrite(text.data(), 1, text.size(), file) == text.size() && std::fflush(file) == 0)
        return true;
    // The system's own reason: the C library turns a closed pipe into EINVAL.
    if (const DWORD error = GetLastError()) {
        why = win32::errorText(error);
        return false;
    }
    why = errno ? std::strerror(errno) : "the write was cut short";
    return false;
}

}  // namespace ferro
