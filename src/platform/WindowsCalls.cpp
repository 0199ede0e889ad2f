#include "platform/WindowsCalls.h"

#include <cerrno>

#include "platform/WideText.h"

namespace ferro::win32 {
namespace {

std::optional<bool> forcedWideRoad;

bool systemWideRoad()
{
    // The high bit of GetVersion is documented as set on 95, 98 and Me only.
    static const bool nt = (GetVersion() & 0x80000000u) == 0;
    return nt;
}

}  // namespace

bool wideRoad()
{
    return forcedWideRoad ? *forcedWideRoad : systemWideRoad();
}

void setWideRoadForTesting(std::optional<bool> wide)
{
    forcedWideRoad = wide;
}

bool ansiName(const std::string& utf8, std::string& ansi)
{
    const std::wstring wide = wideFromUtf8(utf8);
    ansi = narrow(wide, CP_ACP);
    // Whatever the code page lacks comes back as '?' or as a look-alike
    // (best fit): only a name that converts back unchanged is the same name.
    if ((!utf8.empty() && ansi.empty()) || widen(ansi, CP_ACP) != wide || ansi.find('?') != std::string::npos) {
        SetLastError(ERROR_NO_UNICODE_TRANSLATION);
        return false;
    }
    return true;
}

HANDLE createFile(const std::string& path, DWORD access, DWORD share, DWORD disposition, DWORD flags)
{
    if (wideRoad())
        return CreateFileW(widePath(path).c_str(), access, share, nullptr, disposition, flags, nullptr);
    std::string name;
    if (!ansiName(path, name))
        return INVALID_HANDLE_VALUE;
    // 95, 98 and Me know no reparse points and refuse the flag.
    return CreateFileA(name.c_str(), access, share, nullptr, disposition, flags & ~FILE_FLAG_OPEN_REPARSE_POINT,
                       nullptr);
}

DWORD fileAttributes(const std::string& path)
{
    if (wideRoad())
        return GetFileAttributesW(widePath(path).c_str());
    std::string name;
    return ansiName(path, name) ? GetFileAttributesA(name.c_str()) : INVALID_FILE_ATTRIBUTES;
}

bool createDirectory(const std::string& path)
{
    if (wideRoad())
        return CreateDirectoryW(widePath(path).c_str(), nullptr) != 0;
    std::string name;
    return ansiName(path, name) && CreateDirectoryA(name.c_str(), nullptr) != 0;
}

bool deleteFile(const std::string& path)
{
    if (wideRoad())
        return DeleteFileW(widePath(path).c_str()) != 0;
    std::string name;
    return ansiName(path, name) && DeleteFileA(name.c_str()) != 0;
}

bool replaceFile(const std::string& from, const std::string& to)
{
    if (wideRoad())
        return MoveFileExW(widePath(from).c_str(), widePath(to).c_str(),
                           MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) != 0;
    std::string source, target;
    if (!ansiName(from, source) || !ansiName(to, target))
        return false;
    // MoveFile refuses an existing target, and 95/98 have no MoveFileEx.
    if (!DeleteFileA(target.c_str()) && GetLastError() != ERROR_FILE_NOT_FOUND)
        return false;
    return MoveFileA(source.c_str(), target.c_str()) != 0;
}

std::FILE* openStdioFile(const std::string& path, const char* mode)
{
    if (wideRoad()) {
        const std::wstring wideMode(mode, mode + std::char_traits<char>::length(mode));
        return _wfopen(widePath(path).c_str(), wideMode.c_str());
    }
    std::string name;
    if (!ansiName(path, name)) {
        errno = EILSEQ;
        return nullptr;
    }
    return std::fopen(name.c_str(), mode);
}

std::string programFile()
{
    if (wideRoad()) {
        // A program below a long path does not fit MAX_PATH: grow the buffer
        // until the whole name fits (a cut name fills the buffer exactly).
        std::wstring path(MAX_PATH, L'\0');
        for (;;) {
            const DWORD length = GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
            if (length == 0)
                return {};
            if (length < path.size())
                return utf8FromWide(path.substr(0, length));
            path.resize(path.size() * 2);
        }
    }
    char path[MAX_PATH + 1];
    const DWORD length = GetModuleFileNameA(nullptr, path, MAX_PATH);
    if (length == 0 || length >= MAX_PATH)
        return {};
    // A character the code page lacks arrives as '?', which no file name
    // holds: every call on such a path fails (see ansiName), saying why.
    return narrow(widen(std::string(path, length), CP_ACP), CP_UTF8);
}

HANDLE createSharedMutex(const std::string& name)
{
    if (wideRoad())
        return CreateMutexW(nullptr, FALSE, wideFromUtf8("Global\\" + name).c_str());
    return CreateMutexA(nullptr, FALSE, name.c_str());
}

bool startProcess(const std::string& path)
{
    // The program is named as the application itself: no search along PATH,
    // no shell, and a path with blanks is not split.
    PROCESS_INFORMATION process{};
    const auto start = [&process](auto program, auto startup, auto create) {
        auto commandLine = decltype(program)(1, '"') + program + decltype(program)(1, '"');
        startup.cb = sizeof startup;
        startup.dwFlags = STARTF_USESHOWWINDOW;
        startup.wShowWindow = SW_SHOWNORMAL;
        return create(program.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                      &process) != 0;
    };
    std::string ansi;
    const bool started = wideRoad() ? start(wideFromUtf8(path), STARTUPINFOW{}, CreateProcessW)
                                    : ansiName(path, ansi) && start(ansi, STARTUPINFOA{}, CreateProcessA);
    if (!started)
        return false;
    // Not waited for and not watched.
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    return true;
}

}  // namespace ferro::win32
