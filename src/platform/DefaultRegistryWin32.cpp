#include "platform/DefaultRegistry.h"

#include <windows.h>

#include "platform/Paths.h"
#include "platform/WideText.h"
#include "registry/Advapi32Backend.h"

// Windows: the real registry, and the program's own folder.
namespace ferro {

std::unique_ptr<RegistryBackend> openRegistry(const std::string&)
{
    return std::make_unique<Advapi32Backend>();
}

std::unique_ptr<RegistryBackend> openRegistryToRead(const std::string& storePath, std::string&)
{
    return openRegistry(storePath);
}

std::string storeFile(const std::string&)
{
    return {};
}

std::string programFolder(const std::string&)
{
    // Wide, so that any folder name survives (the ANSI call turns what its
    // code page lacks into '?'). A program below a long path does not fit
    // MAX_PATH: grow the buffer until the whole name fits (a cut name would
    // fill the buffer exactly).
    std::wstring path(MAX_PATH, L'\0');
    for (;;) {
        const DWORD length = GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
        if (length == 0)
            return {};
        if (length < path.size()) {
            path.resize(length);
            break;
        }
        path.resize(path.size() * 2);
    }
    return parentPath(win32::utf8FromWide(path));
}

}  // namespace ferro
