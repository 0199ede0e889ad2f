#include "platform/DefaultRegistry.h"

#include "platform/Paths.h"

#ifdef _WIN32
#include <windows.h>

#include "platform/WideText.h"
#include "registry/Advapi32Backend.h"
#else
#include <filesystem>

#include "registry/SqliteStore.h"
#endif

namespace ferro {

#ifdef _WIN32

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

#else

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

std::string storeFile(const std::string& storePath)
{
    return storePath.empty() ? defaultStorePath() : storePath;
}

std::string programFolder(const std::string& storePath)
{
    // A store named without a folder lives in the current one.
    const std::string folder = parentPath(storeFile(storePath));
    return folder.empty() ? "." : folder;
}

#endif

}  // namespace ferro
