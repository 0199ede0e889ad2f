#include "platform/ProcessStart.h"

#include <unistd.h>

namespace ferro {

std::vector<std::string> commandLineArguments(int argc, char** argv)
{
    return {argv + 1, argv + argc};
}

void useBinaryStdio()
{
    // Bytes pass unchanged here already.
}

bool standardInputIsTerminal()
{
    return isatty(STDIN_FILENO) != 0;
}

}  // namespace ferro
