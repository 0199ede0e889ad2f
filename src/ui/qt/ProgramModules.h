#pragma once
// Modules of the program's own, loaded at their first use so that a start
// loads neither their code nor the libraries they need: the registry's
// backend (the embedded store and SQLite) and printing (Qt's print support).
#include <QLibrary>
#include <QString>

#include <memory>
#include <string>

#include "registry/RegistryBackend.h"

namespace ferro::qt {

// The entry point `entry` of the module `name`, from next to the program (its
// build folder) or from where an installation puts it. Nullptr when neither
// loads, with the loader's reason in `whyNot`. A module stays loaded.
QFunctionPointer moduleEntry(const QString& name, const char* entry, QString* whyNot = nullptr);

// The module ferrowinder-registry's one entry point, by this name: the
// backend openRegistry() makes, or nullptr with the reason in `whyNot`.
using OpenRegistryEntry = RegistryBackend* (*)(std::string& whyNot);
constexpr const char* kOpenRegistryEntryName = "ferroOpenRegistry";

// openRegistry() through that module; throws std::runtime_error, with the
// reason, when the registry cannot be opened or the module cannot be loaded.
std::unique_ptr<RegistryBackend> openRegistryFromModule();

}  // namespace ferro::qt
