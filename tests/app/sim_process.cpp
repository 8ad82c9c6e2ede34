#include "tests/app/sim_process.h"

#include <stdexcept>
#include <string>

#include "tools/sim/sim_module.h"
#include "tools/sim/sim_state_file.h"

namespace ethconf::test {

TSimProcess::TSimProcess(const QStringList& options) {
  if (!m_runtimeDir.isValid()) {
    throw std::runtime_error("no temporary folder for the simulator");
  }
  qputenv("XDG_RUNTIME_DIR", m_runtimeDir.path().toLocal8Bit());
  m_stateFile = m_runtimeDir.filePath(QStringLiteral("module.state"));
  m_process.setProcessEnvironment(QProcessEnvironment::systemEnvironment());
  m_process.setProcessChannelMode(QProcess::ForwardedErrorChannel);
  m_process.start(QStringLiteral(ETHCONF_SIM_PATH),
                  QStringList{QStringLiteral("--state"), m_stateFile} + options);
  if (!m_process.waitForStarted(10000)) {
    throw std::runtime_error("ethconf-sim does not start");
  }
  // The simulator announces "COM<n> <device>" once its port is registered.
  QByteArray line;
  for (int i = 0; i < 100 && !line.contains('\n'); ++i) {
    if (m_process.waitForReadyRead(100)) {
      line += m_process.readAllStandardOutput();
    }
  }
  const QString first = QString::fromLocal8Bit(line).section(QLatin1Char('\n'), 0, 0);
  const QString name = first.section(QLatin1Char(' '), 0, 0);
  if (!name.startsWith(QStringLiteral("COM"))) {
    throw std::runtime_error("ethconf-sim did not announce its port: " + first.toStdString());
  }
  m_entry = QStringLiteral("COM ") + name.mid(3);
}

TSimProcess::~TSimProcess() {
  m_process.terminate();
  if (!m_process.waitForFinished(5000)) {
    m_process.kill();
    m_process.waitForFinished(5000);
  }
}

TDeviceRecords TSimProcess::Records() const {
  TDeviceRecords records = sim::FactoryDefaults();
  std::string error;
  if (!sim::LoadStateFile(m_stateFile.toStdString(), records, error)) {
    throw std::runtime_error("the simulator's state file cannot be read: " + error);
  }
  return records;
}

}  // namespace ethconf::test
