#include <cstdio>

#include "cli/Commands.h"

#ifdef _WIN32
#include <fcntl.h>
#include <io.h>
#include <windows.h>
#include <shellapi.h>

#include "platform/WideText.h"
#define isatty _isatty
#define fileno _fileno
#else
#include <unistd.h>
#endif

namespace {

// The arguments after the program's name, in UTF-8. On Windows from the wide
// command line: argv holds them in the ANSI code page, with '?' for every
// character it lacks (a file name in Cyrillic, say).
std::vector<std::string> arguments(int argc, char** argv)
{
#ifdef _WIN32
    (void)argc;
    (void)argv;
    int count = 0;
    wchar_t** wide = CommandLineToArgvW(GetCommandLineW(), &count);
    std::vector<std::string> args;
    for (int i = 1; wide && i < count; ++i)
        args.push_back(ferro::win32::utf8FromWide(wide[i]));
    LocalFree(wide);
    return args;
#else
    return {argv + 1, argv + argc};
#endif
}

}  // namespace

int main(int argc, char** argv)
{
#ifdef _WIN32
    // .reg text carries its own CR LF line ends: in text mode Windows would
    // turn them into CR CR LF on the way out, and end a piped-in file at its
    // first Ctrl-Z. Binary mode passes the same bytes as on every other system.
    _setmode(fileno(stdout), _O_BINARY);
    _setmode(fileno(stdin), _O_BINARY);
#endif
    ferro::StdioSource in(stdin);
    ferro::StdioSink out(stdout);
    ferro::StdioSink err(stderr);
    const int code = ferro::runCli(arguments(argc, argv), {in, out, err, isatty(fileno(stdin)) != 0});
    // Output cut short is no success, whatever the command did.
    if (out.failure().empty())
        return code;
    err << "ferrowinder-cli: cannot write to standard output: " << out.failure()
        << "; the output is incomplete.\n";
    return code == ferro::kExitOk ? ferro::kExitFailed : code;
}
