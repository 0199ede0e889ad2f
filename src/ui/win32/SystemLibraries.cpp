#include "ui/win32/SystemLibraries.h"

#include <windows.h>

#include "platform/SystemFunction.h"

namespace ferro::win32 {

void restrictDllSearchToSystem()
{
    // Looked up, not imported: Windows 7 without its loader update lacks the
    // first, Windows 98, Me, 2000 and XP before SP1 the second.
    if (const auto setDefault = loadedFunction<BOOL(WINAPI*)(DWORD)>("kernel32.dll", "SetDefaultDllDirectories"))
        (void)setDefault(LOAD_LIBRARY_SEARCH_SYSTEM32);
    // The current folder may be the Downloads folder too.
    if (const auto setDllDirectory = loadedFunction<BOOL(WINAPI*)(LPCWSTR)>("kernel32.dll", "SetDllDirectoryW"))
        (void)setDllDirectory(L"");
}

}  // namespace ferro::win32
