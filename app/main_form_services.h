#pragma once
// What the window asks of the system beyond its widgets: the serial port report, the modal file
// dialogs and the executable's own path. The tests put their own in place.

#include <QString>
#include <functional>

#include "serial/port_discovery.h"

class QFileDialog;

namespace ethconf {

struct TMainFormServices {
  // The system's serial port report; read only while port detection is on.
  std::function<TPortReport()> ReadPortReport;
  // Shows a file dialog that the command has set up; the chosen full path, empty on cancel.
  std::function<QString(QFileDialog& dialog)> RunFileDialog;
  // The executable's full path: the settings file and the configuration folder lie beside it.
  QString ExecutablePath;
};

// The platform's report, the modal dialog and the running program's path.
TMainFormServices SystemServices();

}  // namespace ethconf
