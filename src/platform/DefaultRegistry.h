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

// The same backend for reading only, which never creates a store or its
// folder. nullptr when there is no store to read yet (none at all, or one that
// another process is just creating and is still empty): every value is
// absent then, and `whyAbsent` says which. Throws StoreError as above.
std::unique_ptr<RegistryBackend> openRegistryToRead(const std::string& storePath, std::string& whyAbsent);

// The file of the embedded store the backend uses: storePath, or
// defaultStorePath() when it is empty; "" on Windows, which has no such file.
std::string storeFile(const std::string& storePath = {});

// Where the embedded store lives by default (not on Windows):
// $XDG_DATA_HOME/FerroWinder/registry.db, or ~/.local/share/FerroWinder/registry.db
// when XDG_DATA_HOME is unset.
std::string defaultStorePath();

// The folder that stands in for "the program folder" (the Backup folder lives
// there): on Windows the folder of the program file, elsewhere the folder of
// the store, since the program's own folder is usually read-only.
std::string programFolder(const std::string& storePath = {});

}  // namespace ferro
