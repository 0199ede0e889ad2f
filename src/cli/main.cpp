#include <cstdio>

#include "cli/Commands.h"
#include "platform/ProcessStart.h"

int main(int argc, char** argv)
{
    ferro::useBinaryStdio();
    ferro::StdioSource in(stdin);
    ferro::StdioSink out(stdout);
    ferro::StdioSink err(stderr);
    const int code =
        ferro::runCli(ferro::commandLineArguments(argc, argv), {in, out, err, ferro::standardInputIsTerminal()});
    // Output cut short is no success, whatever the command did.
    if (out.failure().empty())
        return code;
    err << "ferrowinder-cli: cannot write to standard output: " << out.failure()
        << "; the output is incomplete.\n";
    return code == ferro::kExitOk ? ferro::kExitFailed : code;
}
