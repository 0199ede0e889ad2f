#include "platform/DefaultRegistry.h"

#include <pwd.h>
#include <unistd.h>

#include <cstdlib>

#include "platform/Paths.h"

// Elsewhere: where the embedded store lives. Apart from its opening, so that a
// program that only names the store's folder does not link the store.
namespace ferro {

std::string defaultStorePath()
{
    std::string base;
    if (const char* xdg = std::getenv("XDG_DATA_HOME"); xdg && *xdg) {
        base = xdg;
    } else {
        const char* home = std::getenv("HOME");
        if (!home || !*home) {
            const passwd* pw = getpwuid(getuid());
            home = pw ? pw->pw_dir : "/tmp";
        }
        base = std::string(home) + "/.local/share";
    }
    return base + "/FerroWinder/registry.db";
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

}  // namespace ferro
