#pragma once
// Windows only: functions that some Windows versions lack, looked up at run
// time so that the program still starts there (it imports only what
// Windows 98 exports: see tests/win32/ImportsCheck.cmake).
namespace ferro {

using AnyFunction = void (*)();

// `name` in `module`, a DLL every process of this program has loaded
// (kernel32, ntdll, user32, gdi32); nullptr when absent.
AnyFunction loadedFunctionAddress(const char* module, const char* name);

// `name` in the system DLL `dll`, loaded by its full path in the System
// folder: never searched for, so a DLL of that name planted beside the
// program is not the one loaded. nullptr when absent.
AnyFunction systemFunctionAddress(const char* dll, const char* name);

// Through AnyFunction: the one cast between function types GCC accepts silently.
template <class Function>
Function loadedFunction(const char* module, const char* name)
{
    return reinterpret_cast<Function>(loadedFunctionAddress(module, name));
}

template <class Function>
Function systemFunction(const char* dll, const char* name)
{
    return reinterpret_cast<Function>(systemFunctionAddress(dll, name));
}

}  // namespace ferro
