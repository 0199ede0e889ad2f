#pragma once
// Calls into Windows DLLs that are not among its KnownDLLs. The program runs
// elevated, often from a Downloads folder: a DLL it imported by name would be
// looked for beside the program first, so a file planted there would run as
// administrator. These are loaded at run time from the system folder only.
#include <windows.h>

namespace ferro::win32 {

// Makes the DLL search of this process (and of what it loads later) skip the
// program's folder and the current folder, where the system offers that.
void restrictDllSearchToSystem();

// UxTheme's SetWindowTheme; E_NOTIMPL when the DLL cannot be loaded.
HRESULT setWindowTheme(HWND window, const wchar_t* subAppName, const wchar_t* subIdList);

}  // namespace ferro::win32
