#include "ui/win32/SystemLibraries.h"

#include <string>

namespace ferro::win32 {
namespace {

// `name` from the system folder, never from the program's or the current one.
HMODULE loadSystemLibrary(const wchar_t* name)
{
    if (const HMODULE module = LoadLibraryExW(name, nullptr, LOAD_LIBRARY_SEARCH_SYSTEM32))
        return module;
    // Windows 7 without its loader update knows no such flag: name the file
    // by its full path in the system folder instead.
    wchar_t folder[MAX_PATH];
    const UINT length = GetSystemDirectoryW(folder, MAX_PATH);
    if (length == 0 || length >= MAX_PATH)
        return nullptr;
    return LoadLibraryW((std::wstring(folder, length) + L"\\" + name).c_str());
}

template <class Function>
Function systemFunction(const wchar_t* library, const char* name)
{
    const HMODULE module = loadSystemLibrary(library);
    // Through void* to the exact type: the function is declared in the headers.
    return module ? reinterpret_cast<Function>(reinterpret_cast<void*>(GetProcAddress(module, name))) : nullptr;
}

}  // namespace

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

HRESULT setWindowTheme(HWND window, const wchar_t* subAppName, const wchar_t* subIdList)
{
    using Function = HRESULT(WINAPI*)(HWND, LPCWSTR, LPCWSTR);
    static const Function function = systemFunction<Function>(L"uxtheme.dll", "SetWindowTheme");
    return function ? function(window, subAppName, subIdList) : E_NOTIMPL;
}

}  // namespace ferro::win32
