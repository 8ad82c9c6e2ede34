#pragma once
// The tool as a function of its arguments, for main and the tests.

#include <string>
#include <vector>

#include "tools/cli/console.h"

namespace ethconf::cli {

// Parses the arguments after the program name, runs the command and returns the exit status.
int RunCli(const std::vector<std::string>& args, const TConsole& console);

}  // namespace ethconf::cli
