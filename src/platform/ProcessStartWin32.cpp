#include "platform/ProcessStart.h"

#include <cstdio>

#include <fcntl.h>
#include <io.h>
#include <windows.h>
#include <shellapi.h>

#include "platform/WideText.h"

namespace ferro {

std::vector<std::string> commandLineArguments(int, char**)
{
    int count = 0;
    wchar_t** wide = CommandLineToArgvW(GetCommandLineW(), &count);
    std::vector<std::string> args;
    for (int i = 1; wide && i < count; ++i)
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
