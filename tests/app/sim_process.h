#pragma once
// The module simulator ethconf-sim as a child process, registered as a numbered port in a
// temporary port folder of its own, so the window's link reaches it by its port number.

#include <QProcess>
#include <QStringList>
#include <QTemporaryDir>
#include <memory>

#include "protocol/device_records.h"

namespace ethconf::test {

class TSimProcess {
 public:
  // Points XDG_RUNTIME_DIR of this process at a fresh folder (the link resolves COM<n> there)
  // and starts the simulator with the given options and a state file in that folder.
  explicit TSimProcess(const QStringList& options = {});
  ~TSimProcess();
  TSimProcess(const TSimProcess&) = delete;
  TSimProcess& operator=(const TSimProcess&) = delete;

  // "COM 5": the port list entry that names the simulator's port.
  QString PortEntry() const { return m_entry; }
  // The records the simulated module holds now, read from its state file.
  TDeviceRecords Records() const;

 private:
  QTemporaryDir m_runtimeDir;
  QString m_stateFile;
  QProcess m_process;
  QString m_entry;
};

}  // namespace ethconf::test
