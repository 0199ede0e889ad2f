#pragma once
// How this system spells paths: each system's file (PathsWin32.cpp,
// PathsPosix.cpp) defines these for Paths.cpp.
#include <string>

namespace ferro::paths {

// The separator joinPath puts, and every character that separates.
extern const char kSeparator;
extern const char* const kSeparators;

// "C:": a drive with no folder named after it yet (never, off Windows).
bool isDrive(const std::string& text);

}  // namespace ferro::paths
