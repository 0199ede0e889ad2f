#include "cli/ChangeRecording.h"

#include "tuning/ChangeLog.h"

namespace ferro {

ChangeRecording::ChangeRecording(RegistryBackend& backend, std::vector<ValuePath> values)
    : backend_(backend), values_(std::move(values))
{
    std::vector<Failure> unreadable;  // left out of both captures: no change is known
    before_ = captureState(backend_, values_, unreadable);
}

void ChangeRecording::log(const std::string& programFolder, const std::string& command, TextSink& err)
{
    std::vector<Failure> unreadable;
    const std::vector<ValueChange> changes = changesBetween(before_, captureState(backend_, values_, unreadable));
    std::string why;
    if (!appendToChangeLog(programFolder, command, changes, why))
        err << "ferrowinder-cli: the change log could not be written (" << why << "); the "
            << changes.size() << (changes.size() == 1 ? " change was" : " changes were") << " made all the same.\n";
}

}  // namespace ferro
