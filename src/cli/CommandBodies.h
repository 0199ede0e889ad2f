#pragma once
// The commands, one function each: what `help COMMAND` describes.
#include "cli/Commands.h"
#include "cli/Options.h"

namespace ferro {

int cmdPlan(const Options& o, CliStreams& io);
int cmdCheck(const Options& o, CliStreams& io);
int cmdShow(const Options& o, CliStreams& io);
int cmdExport(const Options& o, CliStreams& io);
int cmdApply(const Options& o, CliStreams& io);
int cmdImport(const Options& o, CliStreams& io);
int cmdRestore(const Options& o, CliStreams& io);
int cmdLeftovers(const Options& o, CliStreams& io);
int cmdLog(const Options& o, CliStreams& io);

}  // namespace ferro
