#pragma once
// File and folder names as plain text, split and joined the same way for
// every caller. Not std::filesystem: on Windows it drags the static C++
// runtime's locale and streams into the program, most of its size.
#include <cstdio>
#include <string>

namespace ferro {

// `name` inside `folder`, with the system's separator between them (none
// when `folder` is empty or already ends in one).
std::string joinPath(const std::string& folder, const std::string& name);

// The folder that holds `path`: "" for a bare name; a root keeps its
// separator ("/", "C:\").
std::string parentPath(const std::string& path);

// std::fopen for a path in UTF-8. On the NT family through the wide call, so
// that any name and a path longer than MAX_PATH open; on 95, 98 and Me in the
// ANSI code page, failing (EILSEQ) for a name that code page cannot hold.
std::FILE* openFile(const std::string& path, const char* mode);

}  // namespace ferro
