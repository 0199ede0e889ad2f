#include "registry/DefaultRegistry.h"

#include <filesystem>

#ifdef _WIN32
#include <windows.h>

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
    char path[MAX_PATH] = {};
    const DWORD length = GetModuleFileNameA(nullptr, path, MAX_PATH);
    return std::filesystem::path(std::string(path, length)).parent_path().string();
}

#else

std::unique_ptr<RegistryBackend> openRegistry(const std::string& storePath)
{
    return std::make_unique<SqliteStore>(storePath.empty() ? defaultStorePath() : storePath);
}

std::string programFolder(const std::string& storePath)
{
    // A store named without a folder lives in the current one.
    const auto folder = std::filesystem::path(storePath.empty() ? defaultStorePath() : storePath).parent_path();
    return folder.empty() ? "." : folder.string();
}

#endif

}  // namespace ferro
