#include <cstdio>

#include "cli/Commands.h"

#ifdef _WIN32
#include <fcntl.h>
#include <io.h>
#define isatty _isatty
#define fileno _fileno
#else
#include <unistd.h>
#endif

int main(int argc, char** argv)
{
#ifdef _WIN32
    // .reg text carries its own CR LF line ends: in text mode Windows would
    // turn them into CR CR LF on the way out, and end a piped-in file at its
    // first Ctrl-Z. Binary mode passes the same bytes as on every other system.
    _setmode(fileno(stdout), _O_BINARY);
    _setmode(fileno(stdin), _O_BINARY);
#endif
    const std::vector<std::string> args(argv + 1, argv + argc);
    ferro::StdioSource in(stdin);
    ferro::StdioSink out(stdout);
    ferro::StdioSink err(stderr);
    return ferro::runCli(args, {in, out, err, isatty(fileno(stdin)) != 0});
}
