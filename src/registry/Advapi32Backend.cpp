#include "registry/Advapi32Backend.h"

#include <windows.h>

namespace ferro {
namespace {

// Windows defines its predefined roots as the 32-bit number sign-extended to
// a pointer (HKEY_CURRENT_USER is 0xFFFFFFFF80000001 in a 64-bit program), so
// the number goes through LONG on its way to HKEY.
HKEY rootHandle(RootKey root)
{
    const auto number = static_cast<LONG>(static_cast<std::uint32_t>(root));
    return reinterpret_cast<HKEY>(static_cast<LONG_PTR>(number));
}

HKEY keyHandle(KeyHandle key)
{
    return reinterpret_cast<HKEY>(key);
}

KeyHandle toKeyHandle(HKEY key)
{
    return reinterpret_cast<KeyHandle>(key);
}

// A 32-bit program on 64-bit Windows sees a registry view of its own under
// HKLM\SOFTWARE (WOW64 redirects it to Wow6432Node): it takes the 64-bit view
// there, so that it reads and writes what the 64-bit program does (the About
// window's MSInfo path, say). The flag only where WOW64 runs this process:
// Windows 2000 refuses it, 98 and Me do not know it.
DWORD nativeView()
{
    static const DWORD view = [] {
        using IsWow64ProcessFn = BOOL(WINAPI*)(HANDLE, PBOOL);
        const HMODULE kernel = GetModuleHandleA("kernel32.dll");
        const auto isWow64Process = kernel ? reinterpret_cast<IsWow64ProcessFn>(reinterpret_cast<void (*)()>(
                                                 GetProcAddress(kernel, "IsWow64Process")))
                                           : nullptr;
        BOOL wow64 = FALSE;
        return isWow64Process && isWow64Process(GetCurrentProcess(), &wow64) && wow64 ? DWORD{KEY_WOW64_64KEY}
                                                                                      : DWORD{0};
    }();
    return view;
}

// The types whose data the "A" calls convert between the code page and UTF-16.
bool isTextType(std::uint32_t type)
{
    return type == REG_SZ || type == REG_EXPAND_SZ || type == REG_MULTI_SZ;
}

}  // namespace

Status Advapi32Backend::createKey(RootKey root, const std::string& path, KeyHandle& out)
{
    HKEY key = nullptr;
    DWORD disposition = 0;
    const LONG status = RegCreateKeyExA(rootHandle(root), path.c_str(), 0, nullptr,
                                        REG_OPTION_NON_VOLATILE, kKeyWriteAccess | nativeView(), nullptr, &key,
                                        &disposition);
    if (status == ERROR_SUCCESS)
        out = toKeyHandle(key);
    return status;
}

Status Advapi32Backend::openKey(RootKey root, const std::string& path, std::uint32_t access,
                                KeyHandle& out)
{
    HKEY key = nullptr;
    const LONG status = RegOpenKeyExA(rootHandle(root), path.c_str(), 0, access | nativeView(), &key);
    if (status == ERROR_SUCCESS)
        out = toKeyHandle(key);
    return status;
}

Status Advapi32Backend::setValue(KeyHandle key, const std::string& name, std::uint32_t type,
                                 const Bytes& data)
{
    if (isTextType(type) && !data.empty()) {
        // For text ending without a NUL, Windows looks at the byte after the
        // data and stores one NUL more when that byte is 0. A copy followed by
        // a byte that is not 0 keeps the stored bytes exactly as given, and
        // keeps Windows from reading past our buffer.
        Bytes guarded(data);
        guarded.push_back(0xFF);
        return RegSetValueExA(keyHandle(key), name.c_str(), 0, type, guarded.data(),
                              static_cast<DWORD>(data.size()));
    }
    return RegSetValueExA(keyHandle(key), name.c_str(), 0, type, data.data(),
                          static_cast<DWORD>(data.size()));
}

Status Advapi32Backend::queryValue(KeyHandle key, const std::string& name, std::uint32_t& type,
                                   Bytes& data)
{
    // Another writer may let the value grow between asking its size and
    // reading it; then ERROR_MORE_DATA says so and we ask again.
    DWORD size = 0;
    DWORD valueType = 0;
    LONG status = RegQueryValueExA(keyHandle(key), name.c_str(), nullptr, &valueType, nullptr, &size);
    while (status == ERROR_SUCCESS || status == ERROR_MORE_DATA) {
        data.resize(size);
        DWORD got = size;
        status = RegQueryValueExA(keyHandle(key), name.c_str(), nullptr, &valueType,
                                  data.empty() ? nullptr : data.data(), &got);
        if (status == ERROR_SUCCESS) {
            data.resize(got);
            type = valueType;
            return status;
        }
        if (status == ERROR_MORE_DATA && got <= size)
            got = size * 2 + 1;  // never ask again for the same size
        size = got;
    }
    data.clear();
    return status;
}

Status Advapi32Backend::deleteValue(KeyHandle key, const std::string& name)
{
    return RegDeleteValueA(keyHandle(key), name.c_str());
}

void Advapi32Backend::closeKey(KeyHandle key)
{
    (void)RegCloseKey(keyHandle(key));
}

}  // namespace ferro
