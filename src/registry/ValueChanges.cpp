#include "registry/ValueChanges.h"

namespace ferro {
namespace {

Failure changeFailure(const RegEntry& e, Status status)
{
    const bool present = e.state && e.state->present;
    return {present ? Failure::Operation::SetValue : Failure::Operation::DeleteValue, e.path, status, {}};
}

}  // namespace

std::string failureReason(const Failure& failure)
{
    if (failure.operation != Failure::Operation::Conversion)
        return statusText(failure.status);
    return "cannot store \"" + failure.datum + "\" as REG_DWORD: " +
           (failure.status == kStatusOutOfRange ? "outside -2147483648 to 2147483647" : "not a whole number");
}

std::string fullValuePath(const ValuePath& path)
{
    return std::string(rootName(path.root)) + "\\" + path.keyPath + "\\" + path.valueName;
}

void ChangeSet::apply(const RegEntry& e)
{
    ++result_.entries;
    if (begun_ != kStatusOk)
        return;
    const bool present = e.state && e.state->present;
    const Status status =
        present ? writeValue(backend_, e.path, e.state->type, e.state->data) : deleteValue(backend_, e.path);
    // Going on after a failure names every value that cannot be set.
    if (status != kStatusOk)
        result_.failures.push_back(changeFailure(e, status));
}

ApplyResult ChangeSet::finish()
{
    result_.allOrNothing = backend_.changesAreAllOrNothing();
    if (begun_ != kStatusOk)
        result_.whole = begun_;
    else if (!result_.failures.empty())
        backend_.discardChanges();
    else
        result_.whole = backend_.commitChanges();
    return std::move(result_);
}

std::vector<Failure> applyRegEntries(RegistryBackend& backend, const std::vector<RegEntry>& entries)
{
    ChangeSet changes(backend);
    for (const RegEntry& e : entries)
        changes.apply(e);
    ApplyResult result = changes.finish();
    if (result.whole != kStatusOk)
        for (const RegEntry& e : entries)
            result.failures.push_back(changeFailure(e, result.whole));
    return std::move(result.failures);
}

std::vector<RegEntry> captureState(RegistryBackend& backend, const std::vector<ValuePath>& paths,
                                   std::vector<Failure>& unreadable)
{
    std::vector<RegEntry> entries;
    // A state that existed, never a mix of two writers' values.
    const ReadSnapshot snapshot(backend);
    for (const ValuePath& path : paths) {
        ValueState state;
        const Status status = readValue(backend, path, state);
        if (status == kStatusOk || status == kStatusNotFound)
            entries.push_back({path, state});
        else
            unreadable.push_back({Failure::Operation::ReadValue, path, status, {}});
    }
    return entries;
}

}  // namespace ferro
