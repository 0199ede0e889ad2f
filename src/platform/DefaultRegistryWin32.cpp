#include "platform/DefaultRegistry.h"

#include <windows.h>

#include "platform/Paths.h"
#include "platform/WindowsCalls.h"
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
    // By the road this Windows takes (WindowsCalls.h): on the NT family any
    // folder name survives; on 95, 98 and Me a name the ANSI code page cannot
    // hold is refused by every file call, which says why.
    return parentPath(win32::programFile());
}

}  // namespace ferro
