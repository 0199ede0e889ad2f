// The module ferrowinder-registry: the registry's backend, loaded by the
// program at its first use of the registry.
#include <QtGlobal>

#include <exception>
#include <type_traits>

#include "platform/DefaultRegistry.h"
#include "ui/qt/ProgramModules.h"

extern "C" Q_DECL_EXPORT ferro::RegistryBackend* ferroOpenRegistry(std::string& whyNot)
{
    static_assert(std::is_same_v<decltype(&ferroOpenRegistry), ferro::qt::OpenRegistryEntry>);
    try {
        return ferro::openRegistry().release();
    } catch (const std::exception& e) {
        whyNot = e.what();
        return nullptr;
    }
}
