#pragma once
// The .reg text format the Windows registry editor exports and imports.
#include <functional>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#include "registry/RegistryBackend.h"

namespace ferro {

// One line of a .reg file: set a value to a type and bytes, or (no state) delete it.
struct RegEntry {
    ValuePath path;
    std::optional<ValueState> state;  // nullopt or !present: "Name"=-
};

// Bad .reg input; line() is 1-based.
class RegParseError : public std::runtime_error {
public:
    RegParseError(int line, const std::string& what);
    int line() const { return line_; }

private:
    int line_;
};

// Writes the entries grouped by key in the order their keys first appear,
// with CR LF line ends.
std::string writeRegFile(const std::vector<RegEntry>& entries);

// Parses a whole file; throws RegParseError naming the first bad line.
std::vector<RegEntry> readRegFile(const std::string& text);
// The same, handing each entry to `take` in file order instead of keeping
// them (entries before a bad line have been handed over when it throws).
void readRegFile(const std::string& text, const std::function<void(const RegEntry&)>& take);

// A key or value line as the reader met it: its number, its text (continued
// hex lines joined), its key, and for a value line what it sets.
struct RegLine {
    int number;
    std::string_view text;
    RootKey root;
    const std::string& keyPath;
    const RegEntry* entry;  // nullptr on a [key] line
};
// The same parse, showing every key and value line to `visit` in file order.
void readRegLines(const std::string& text, const std::function<void(const RegLine&)>& visit);

// One entry that could not be applied and why.
struct ApplyFailure {
    ValuePath path;
    Status status;
};

struct ApplyResult {
    std::size_t entries = 0;
    std::vector<ApplyFailure> failures;  // the writes that failed
    Status whole = kStatusOk;            // the change as a whole could not be begun or kept
    bool allOrNothing = false;           // a failure means nothing at all was changed
    bool ok() const { return failures.empty() && whole == kStatusOk; }
};

// Applies entries in order as one change of the backend: on the store all of
// them or, after any failure, none; on the Windows registry one after another,
// and a failure does not stop the others. An absent value to delete counts as
// done. When the change as a whole fails, every entry is named with its status.
std::vector<ApplyFailure> applyRegEntries(RegistryBackend& backend,
                                          const std::vector<RegEntry>& entries);
// Checks the whole text, then applies it as applyRegEntries does, without
// keeping its entries in memory. Throws RegParseError, with nothing changed,
// on bad input.
ApplyResult applyRegFile(RegistryBackend& backend, const std::string& text);

// The current state of each value, in the order given (for show and backup).
// A value that cannot be read (other than absent) is left out and named in
// `unreadable`, so that nobody mistakes it for absent.
std::vector<RegEntry> captureState(RegistryBackend& backend, const std::vector<ValuePath>& paths,
                                   std::vector<ApplyFailure>& unreadable);

// "HKEY_CURRENT_USER\Software\...\Name" as messages name a value.
std::string fullValuePath(const ValuePath& path);

// A present value's data as a .reg file writes it: "text", dword:000005dc or hex(n):...
std::string regDataText(const ValueState& value);

}  // namespace ferro
