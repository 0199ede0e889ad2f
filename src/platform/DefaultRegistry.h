#pragma once
// The one place that picks the registry backend for this system.
#include <memory>
#include <string>

#include "registry/RegistryBackend.h"

namespace ferro {

// Windows: the real registry (storePath is ignored). Elsewhere: the embedded
// store at storePath, or at defaultStorePath() when storePath is empty.
// Throws StoreError when the store cannot be used.
std::unique_ptr<RegistryBackend> openRegistry(const std::string& storePath = {});

// The folder that stands in for "the program folder" (the Backup folder lives
// there): on Windows the folder of the program file, elsewhere the folder of
// the store, since the program's own folder is usually read-only.
std::string programFolder(const std::string& storePath = {});

}  // namespace ferro
