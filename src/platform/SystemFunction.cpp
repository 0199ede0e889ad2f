#include "platform/SystemFunction.h"

#include <string>

#include <windows.h>

namespace ferro {

AnyFunction loadedFunctionAddress(const char* module, const char* name)
{
    const HMODULE loaded = GetModuleHandleA(module);
    return loaded ? reinterpret_cast<AnyFunction>(GetProcAddress(loaded, name)) : nullptr;
}

AnyFunction systemFunctionAddress(const char* dll, const char* name)
{
    char folder[MAX_PATH];
    const UINT length = GetSystemDirectoryA(folder, MAX_PATH);
    if (length == 0 || length >= MAX_PATH)
        return nullptr;
    // After the first call the DLL is found loaded; it stays for the process.
    const std::string path = std::string(folder, length) + "\\" + dll;
    const HMODULE module = LoadLibraryA(path.c_str());
    return module ? reinterpret_cast<AnyFunction>(GetProcAddress(module, name)) : nullptr;
}

}  // namespace ferro
