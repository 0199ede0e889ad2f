#pragma once
// The .reg text format the Windows registry editor exports and imports.
#include <functional>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#include "registry/ValueChanges.h"

namespace ferro {

// A .reg file's value lines are RegEntry: set a value to a type and bytes,
// or (no state, "Name"=-) delete it.

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

// Parses a whole file; throws RegParseError naming the first bad line. The
// programs stream a file (below) rather than hold its entries; this is for
// callers that compare what a file holds (the tests, the fuzzer).
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

// Checks the whole text, then applies it as one ChangeSet, without
// keeping its entries in memory. Throws RegParseError, with nothing changed,
// on bad input.
ApplyResult applyRegFile(RegistryBackend& backend, const std::string& text);

// A present value's data as a .reg file writes it: "text", dword:000005dc or hex(n):...
std::string regDataText(const ValueState& value);

}  // namespace ferro
