#pragma once
// Values read and written as lists: the state of several values, changes
// made as one, and the one shape of a failure from the registry up. A failure
// is data (what was tried, on which value, the status it got); only the top
// (the windows, the command-line tool) words it for a user.
#include <optional>
#include <string>
#include <vector>

#include "registry/RegistryBackend.h"

namespace ferro {

// One value to set to a type and bytes, or (no state) to delete; also one
// value's state as read.
struct RegEntry {
    ValuePath path;
    std::optional<ValueState> state;  // nullopt or !present: absent
};

struct Failure {
    enum class Operation {
        OpenKey,     // opening the value's key to write it
        SetValue,    // writing the value
        DeleteValue, // deleting the value
        ReadValue,   // reading the value
        Conversion,  // the datum cannot be stored as its type; no call was made
    };
    Operation operation;
    ValuePath path;
    Status status = kStatusOk;  // a conversion: kStatusInvalidData or kStatusOutOfRange
    std::string datum;          // a conversion: the datum refused
};

// Why it failed, without saying what was tried: the status's words, or for a
// conversion "cannot store "x" as REG_DWORD: not a whole number".
std::string failureReason(const Failure& failure);

// "HKEY_CURRENT_USER\Software\...\Name" as messages name a value.
std::string fullValuePath(const ValuePath& path);

struct ApplyResult {
    std::size_t entries = 0;
    std::vector<Failure> failures;  // the writes that failed
    Status whole = kStatusOk;       // the change as a whole could not be begun or kept
    bool allOrNothing = false;      // a failure means nothing at all was changed
    bool ok() const { return failures.empty() && whole == kStatusOk; }
};

// Applies entries one at a time as one change of the backend: on the store
// all of them or, after any failure, none; on the Windows registry one after
// another, and a failure does not stop the others. An absent value to delete
// counts as done.
class ChangeSet {
public:
    explicit ChangeSet(RegistryBackend& backend) : backend_(backend), begun_(backend.beginChanges()) {}
    void apply(const RegEntry& entry);
    ApplyResult finish();

private:
    RegistryBackend& backend_;
    const Status begun_;
    ApplyResult result_;
};

// Applies entries as a ChangeSet does. When the change as a whole fails,
// every entry is named with its status.
std::vector<Failure> applyRegEntries(RegistryBackend& backend, const std::vector<RegEntry>& entries);

// The current state of each value, in the order given, from one snapshot. A
// value that cannot be read (other than absent) is left out and named in
// `unreadable`, so that nobody mistakes it for absent.
std::vector<RegEntry> captureState(RegistryBackend& backend, const std::vector<ValuePath>& paths,
                                   std::vector<Failure>& unreadable);

}  // namespace ferro
