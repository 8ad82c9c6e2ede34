// ethconf-sim: the Ethernet module simulated on a pseudo-terminal, reachable as a numbered port.

#include <csignal>
#include <cstdio>
#include <exception>
#include <string>
#include <vector>

#include "serial/port_names.h"
#include "tools/sim/pty_endpoint.h"
#include "tools/sim/sim_options.h"
#include "tools/sim/sim_server.h"
#include "tools/sim/sim_state_file.h"

namespace {

using namespace ethconf;
using namespace ethconf::sim;

std::atomic<TSimServer*> g_server{nullptr};

extern "C" void OnStopSignal(int) {
  if (TSimServer* server = g_server.load()) {
    server->Stop();
  }
}

void SetStopHandlers(void (*handler)(int)) {
  struct sigaction action {};
  action.sa_handler = handler;
  sigemptyset(&action.sa_mask);
  sigaction(SIGINT, &action, nullptr);
  sigaction(SIGTERM, &action, nullptr);
  sigaction(SIGHUP, &action, nullptr);
}

int Serve(const TSimOptions& options) {
  TDeviceRecords records = FactoryDefaults();
  std::string error;
  if (!options.stateFile.empty() && (!LoadStateFile(options.stateFile, records, error) ||
                                     !SaveStateFile(options.stateFile, records, error))) {
    std::fprintf(stderr, "ethconf-sim: %s\n", error.c_str());
    return 2;
  }
  TSimulatedModule module(records, options.behaviour);
  if (!options.stateFile.empty()) {
    module.SetChangeHandler([&options](const TDeviceRecords& changed) {
      std::string saveError;
      if (!SaveStateFile(options.stateFile, changed, saveError)) {
        std::fprintf(stderr, "ethconf-sim: %s\n", saveError.c_str());
      }
    });
  }
  TSimTrace trace(options.trace ? stderr : nullptr);

  TPtyEndpoint pty;
  const TPortLink link(PortFolder(), pty.SlaveName(), options.port);
  TSimServer server(module, options.timing, options.faults, trace);
  g_server.store(&server);
  SetStopHandlers(OnStopSignal);
  std::signal(SIGPIPE, SIG_IGN);

  std::printf("COM%d %s\n", link.Number(), pty.SlaveName().c_str());
  std::fflush(stdout);
  const TSimServer::TEnd end = server.Run(pty);

  SetStopHandlers(SIG_DFL);
  g_server.store(nullptr);
  if (end == TSimServer::TEnd::HungUp) {
    std::fprintf(stderr, "ethconf-sim: hung up the line as asked\n");
  }
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  const std::vector<std::string> args(argv + 1, argv + argc);
  TSimOptions options;
  std::string error;
  if (!ParseSimOptions(args, options, error)) {
    std::fprintf(stderr, "ethconf-sim: %s\nTry 'ethconf-sim --help'.\n", error.c_str());
    return 2;
  }
  if (options.help) {
    std::fputs(SimUsage().c_str(), stdout);
    return 0;
  }
  try {
    return Serve(options);
  } catch (const std::exception& e) {
    std::fprintf(stderr, "ethconf-sim: %s\n", e.what());
    return 1;
  }
}
