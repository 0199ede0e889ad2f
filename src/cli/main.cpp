#include <iostream>

#include "cli/Commands.h"

#ifdef _WIN32
#include <io.h>
#define isatty _isatty
#define fileno _fileno
#else
#include <unistd.h>
#endif

int main(int argc, char** argv)
{
    const std::vector<std::string> args(argv + 1, argv + argc);
    return ferro::runCli(args, {std::cin, std::cout, std::cerr, isatty(fileno(stdin)) != 0});
}
