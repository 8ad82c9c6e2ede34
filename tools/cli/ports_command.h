#pragma once
// The ports command: the port list the window would offer.

#include "tools/cli/console.h"

namespace ethconf::cli {

// Prints one line per entry of the window's port list (port detection on): the entry's text and
// the device behind it. Returns the exit status.
int RunPorts(const TConsole& console);

}  // namespace ethconf::cli
