#include "registry/DefaultRegistry.h"

#include "platform/Paths.h"

#ifdef _WIN32
#include <windows.h>

#include "platform/WideText.h"
#include "registry/Advapi32Backend.h"
#else
#include "registry/SqliteStore.h"
#endif

namespace ferro {

#ifdef _WIN32

std::unique_ptr<RegistryBackend> openRegistry(const std::string&)
{
    return std::make_unique<Advapi32Backend>();
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

#else

std::unique_ptr<RegistryBackend> openRegistry(const std::string& storePath)
{
    return std::make_unique<SqliteStore>(storePath.empty() ? defaultStorePath() : storePath);
}

std::string programFolder(const std::string& storePath)
{
    // A store named without a folder lives in the current one.
    const std::string folder = parentPath(storePath.empty() ? defaultStorePath() : storePath);
    return folder.empty() ? "." : folder;
}

#endif

}  // namespace ferro
