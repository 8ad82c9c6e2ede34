#pragma once
// The simulated module served on a thread of the calling process, for tests and benchmarks.

#include <filesystem>
#include <future>
#include <optional>

#include "protocol/device_records.h"
#include "tools/sim/pty_endpoint.h"
#include "tools/sim/sim_module.h"
#include "tools/sim/sim_options.h"
#include "tools/sim/sim_server.h"

namespace ethconf::sim {

// Opens a pseudo-terminal, links it as a numbered port in the given port folder and serves the
// module on its own thread until destroyed (or until the hang-up fault ends it). Takes the
// behaviour, timing, faults, port number and trace switch of the options; the state file is the
// program's business and is not used here.
class TSimInProcess {
 public:
  TSimInProcess(const std::filesystem::path& portFolder, const TSimOptions& options,
                const TDeviceRecords& records = FactoryDefaults(), TLineObserver observer = {});
  ~TSimInProcess();
  TSimInProcess(const TSimInProcess&) = delete;
  TSimInProcess& operator=(const TSimInProcess&) = delete;

  int PortNumber() const { return m_link.Number(); }
  const std::string& DeviceName() const { return m_pty.SlaveName(); }
  TSimulatedModule& Module() { return m_module; }
  std::size_t RepliesSent() const { return m_server.RepliesSent(); }

  // Waits until the server has ended by itself (the hang-up fault); false when the limit passes
  // first. Rethrows a failure of the server thread.
  bool WaitEnded(std::chrono::milliseconds limit);

 private:
  TSimulatedModule m_module;
  TSimTrace m_trace;
  TPtyEndpoint m_pty;
  TPortLink m_link;
  TSimServer m_server;
  std::future<TSimServer::TEnd> m_end;
};

}  // namespace ethconf::sim
