#include "platform/DefaultRegistry.h"

#include <filesystem>

#include "registry/SqliteStore.h"

// Elsewhere: the embedded store, whose folder stands in for the program's.
namespace ferro {

std::unique_ptr<RegistryBackend> openRegistry(const std::string& storePath)
{
    return std::make_unique<SqliteStore>(storeFile(storePath));
}

std::unique_ptr<RegistryBackend> openRegistryToRead(const std::string& storePath, std::string& whyAbsent)
{
    const std::string path = storeFile(storePath);
    std::error_code ec;
    const bool missing = !std::filesystem::exists(path, ec) && !ec;
    if (missing || (std::filesystem::is_regular_file(path, ec) && std::filesystem::file_size(path, ec) == 0)) {
        whyAbsent = missing ? "does not exist" : "is empty";
        return nullptr;
    }
    return std::make_unique<SqliteStore>(path, SqliteStore::Mode::ReadOnly);
}

}  // namespace ferro
