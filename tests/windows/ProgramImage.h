#pragma once
// A program file loaded as data only: its resources can be read without
// running it.
#include <windows.h>

#include <string>

namespace ferro::test {

class ProgramImage {
public:
    explicit ProgramImage(const char* path) : module_(LoadLibraryExA(path, nullptr, LOAD_LIBRARY_AS_DATAFILE)) {}
    ~ProgramImage()
    {
        if (module_)
            FreeLibrary(module_);
    }
    ProgramImage(const ProgramImage&) = delete;
    ProgramImage& operator=(const ProgramImage&) = delete;

    bool loaded() const { return module_ != nullptr; }

    // The bytes of a resource, or "" when there is none.
    std::string resource(LPCSTR type, LPCSTR name) const
    {
        const HRSRC found = FindResourceA(module_, name, type);
        const HGLOBAL data = found ? LoadResource(module_, found) : nullptr;
        const auto* bytes = data ? static_cast<const char*>(LockResource(data)) : nullptr;
        return bytes ? std::string(bytes, SizeofResource(module_, found)) : std::string();
    }

    // Whether it carries an icon, by whatever name.
    bool hasIconGroup() const
    {
        bool any = false;
        EnumResourceNamesA(module_, RT_GROUP_ICON,
                           [](HMODULE, LPCSTR, LPSTR, LONG_PTR found) -> BOOL {
                               *reinterpret_cast<bool*>(found) = true;
                               return FALSE;
                           },
                           reinterpret_cast<LONG_PTR>(&any));
        return any;
    }

private:
    HMODULE module_;
};

}  // namespace ferro::test
