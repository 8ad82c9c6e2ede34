#include "tools/sim/sim_in_process.h"

namespace ethconf::sim {

TSimInProcess::TSimInProcess(const std::filesystem::path& portFolder, const TSimOptions& options,
                             const TDeviceRecords& records, TLineObserver observer)
    : m_module(records, options.behaviour),
      m_trace(options.trace ? stderr : nullptr),
      m_link(portFolder, m_pty.SlaveName(), options.port),
      m_server(m_module, options.timing, options.faults, m_trace, std::move(observer)),
      m_end(std::async(std::launch::async, [this] { return m_server.Run(m_pty); })) {}

TSimInProcess::~TSimInProcess() {
  m_server.Stop();
  if (m_end.valid()) {
    m_end.wait();
  }
}

bool TSimInProcess::WaitEnded(std::chrono::milliseconds limit) {
  if (m_end.wait_for(limit) != std::future_status::ready) {
    return false;
  }
  m_end.get();
  return true;
}

}  // namespace ethconf::sim
