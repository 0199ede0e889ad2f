#include "platform/ProcessStart.h"

#include <cstdio>

#include <fcntl.h>
#include <io.h>
#include <windows.h>
#include <shellapi.h>

#include "platform/SystemFunction.h"
#include "platform/WideText.h"
#include "platform/WindowsCalls.h"

namespace ferro {

namespace {

// The C library's arguments, in the ANSI code page.
std::vector<std::string> ansiArguments(int argc, char** argv)
{
    std::vector<std::string> args;
    for (int i = 1; i < argc; ++i)
        args.push_back(win32::narrow(win32::widen(argv[i], CP_ACP), CP_UTF8));
    return args;
}

}  // namespace

std::vector<std::string> commandLineArguments(int argc, char** argv)
{
    // Looked up: shell32 is no import of the tool's (Windows loads it only
    // for this), and 95, 98 and Me have no wide command line.
    const auto toArgv = win32::wideRoad()
                            ? systemFunction<decltype(&CommandLineToArgvW)>("shell32.dll", "CommandLineToArgvW")
                            : nullptr;
    int count = 0;
    wchar_t** wide = toArgv ? toArgv(GetCommandLineW(), &count) : nullptr;
    if (!wide)
        return ansiArguments(argc, argv);
    std::vector<std::string> args;
    for (int i = 1; i < count; ++i)
        args.push_back(win32::utf8FromWide(wide[i]));
    LocalFree(wide);
    return args;
}

void useBinaryStdio()
{
    _setmode(_fileno(stdout), _O_BINARY);
    _setmode(_fileno(stdin), _O_BINARY);
}

bool standardInputIsTerminal()
{
    return _isatty(_fileno(stdin)) != 0;
}

}  // namespace ferro
