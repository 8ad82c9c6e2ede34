#pragma once
// The commands that talk to modules: read, write and reset, on every port given at once.

#include "tools/cli/command_line.h"
#include "tools/cli/console.h"

namespace ethconf::cli {

// Each returns the exit status: the highest of the ports' statuses.
int RunRead(const TCommandLine& line, const TConsole& console);
int RunWrite(const TCommandLine& line, const TConsole& console);
int RunReset(const TCommandLine& line, const TConsole& console);

}  // namespace ethconf::cli
