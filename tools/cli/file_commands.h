#pragma once
// The commands that work on configuration files only: show, convert and diff.

#include "tools/cli/command_line.h"
#include "tools/cli/console.h"

namespace ethconf::cli {

// Each returns the exit status.
int RunShow(const TCommandLine& line, const TConsole& console);
int RunConvert(const TCommandLine& line, const TConsole& console);
int RunDiff(const TCommandLine& line, const TConsole& console);

}  // namespace ethconf::cli
