#include "ui/win32/SystemLibraries.h"

#include <windows.h>

namespace ferro::win32 {

void restrictDllSearchToSystem()
{
    using SetDefaultDllDirectoriesFunction = BOOL(WINAPI*)(DWORD);
    // Looked up, not imported: Windows 7 without its loader update lacks it.
    const HMODULE kernel = GetModuleHandleW(L"kernel32.dll");
    const auto setDefault = kernel ? reinterpret_cast<SetDefaultDllDirectoriesFunction>(
                                         reinterpret_cast<void*>(GetProcAddress(kernel, "SetDefaultDllDirectories")))
                                   : nullptr;
    if (setDefault)
        (void)setDefault(LOAD_LIBRARY_SEARCH_SYSTEM32);
    // The current folder may be the Downloads folder too.
    (void)SetDllDirectoryW(L"");
}

}  // namespace ferro::win32
