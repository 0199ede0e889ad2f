#pragma once
// Windows only: the file, module, mutex and process calls of the program,
// each by the road this Windows offers. The NT family takes the wide ("W")
// calls, with any name and long paths; Windows 95, 98 and Me have only stubs
// of most of them (they fail with ERROR_CALL_NOT_IMPLEMENTED) and take the
// ANSI ("A") calls, in the system's ANSI code page. Paths are UTF-8.
#include <cstdio>
#include <optional>
#include <string>

#include <windows.h>

namespace ferro::win32 {

// True on the NT family; false on 95, 98 and Me. Decided once, at the first call.
bool wideRoad();

// Tests take the ANSI road where the wide one works as well (Wine set to 98
// still has it), or back; nullopt: the system's own answer again.
void setWideRoadForTesting(std::optional<bool> wide);

// `utf8` in the ANSI code page. False with ERROR_NO_UNICODE_TRANSLATION as
// the last error when a character has no place there, or the name holds '?',
// which the ANSI calls give for such a character (and no file name holds).
bool ansiName(const std::string& utf8, std::string& ansi);

HANDLE createFile(const std::string& path, DWORD access, DWORD share, DWORD disposition, DWORD flags);
DWORD fileAttributes(const std::string& path);
bool createDirectory(const std::string& path);
bool deleteFile(const std::string& path);
// Renames `from` to `to`, replacing `to`: in one step on the NT family; on
// 95, 98 and Me (no MoveFileEx) `to` is deleted first, then `from` renamed.
bool replaceFile(const std::string& from, const std::string& to);
std::FILE* openStdioFile(const std::string& path, const char* mode);

// This program's file, as UTF-8; empty on failure. On 95, 98 and Me a
// character of its path that the ANSI code page lacks is a '?'.
std::string programFile();

// A mutex of that name for every session (Global\ on the NT family; 95,
// 98 and Me have one namespace and refuse the prefix).
HANDLE createSharedMutex(const std::string& name);

// Starts `path` with its name as the whole command line; false with the last error set.
bool startProcess(const std::string& path);

}  // namespace ferro::win32
