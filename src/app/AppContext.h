#pragma once
// What the windows share: the OS services, the registry, the folder of the
// backup and the timings. Tests pass a fake and short intervals.
#include <QCoreApplication>
#include <QString>

#include <functional>
#include <string>

#include "platform/OsServices.h"
#include "registry/RegistryBackend.h"

namespace ferro {

struct AppContext {
    OsServices& os;
    RegistryBackend& registry;
    std::string programFolder;
    int stepIntervalMs = 3000;    // between two steps of the wizard's run
    int splashIntervalMs = 3000;  // the splash's display time
    // Ends the process's event loop once every window is gone.
    std::function<void()> endProgram = [] { QCoreApplication::exit(0); };
};

}  // namespace ferro
