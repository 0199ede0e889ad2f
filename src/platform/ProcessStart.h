#pragma once
// What a command-line program needs of its system before it starts work.
#include <string>
#include <vector>

namespace ferro {

// The arguments after the program's name, in UTF-8. On Windows from the wide
// command line: argv holds them in the ANSI code page, with '?' for every
// character it lacks (a file name in Cyrillic, say).
std::vector<std::string> commandLineArguments(int argc, char** argv);

// Standard input and output pass bytes unchanged: .reg text carries its own
// CR LF line ends, which Windows' text mode would turn into CR CR LF on the
// way out, and a piped-in file would end at its first Ctrl-Z.
void useBinaryStdio();

bool standardInputIsTerminal();

}  // namespace ferro
