#pragma once
// The simulator's command line.

#include <string>
#include <vector>

#include "tools/sim/reply_wire.h"
#include "tools/sim/sim_module.h"
#include "tools/sim/sim_server.h"

namespace ethconf::sim {

struct TSimOptions {
  int port = 0;  // 0: the first free number from TPortLink::kFirstAutomaticPort up
  std::string stateFile;
  bool trace = false;
  bool help = false;
  TSimBehaviour behaviour;
  TWireTiming timing;
  TLineFaults faults;
};

// Parses the arguments after the program name. Returns false with a one-line reason in error on
// an unknown option, a missing value or a value out of range.
bool ParseSimOptions(const std::vector<std::string>& args, TSimOptions& options,
                     std::string& error);

std::string SimUsage();

}  // namespace ethconf::sim
