#include "ui/qt/ProgramModules.h"

#include <QCoreApplication>

#include <stdexcept>

namespace ferro::qt {

QFunctionPointer moduleEntry(const QString& name, const char* entry, QString* whyNot)
{
    const QString programFolder = QCoreApplication::applicationDirPath();
    for (const QString& folder : {programFolder, programFolder + QStringLiteral("/" FERRO_MODULES_FROM_PROGRAM)}) {
        QLibrary module(folder + QLatin1Char('/') + name);
        if (const QFunctionPointer found = module.resolve(entry))
            return found;
        if (whyNot && folder == programFolder)
            *whyNot = module.errorString();  // the build folder's reason, as an installation has none there
    }
    return nullptr;
}

std::unique_ptr<RegistryBackend> openRegistryFromModule()
{
    QString whyNotLoaded;
    const auto open = reinterpret_cast<OpenRegistryEntry>(
        moduleEntry(QStringLiteral("ferrowinder-registry"), kOpenRegistryEntryName, &whyNotLoaded));
    if (!open)
        throw std::runtime_error("its module ferrowinder-registry cannot be loaded: " + whyNotLoaded.toStdString());
    std::string whyNot;
    std::unique_ptr<RegistryBackend> backend(open(whyNot));
    if (!backend)
        throw std::runtime_error(whyNot);
    return backend;
}

}  // namespace ferro::qt
