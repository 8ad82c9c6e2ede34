#include "app/main_form_services.h"

#include <QCoreApplication>
#include <QFileDialog>
#include <QStringList>

#include "serial/port_report.h"

namespace ethconf {

TMainFormServices SystemServices() {
  TMainFormServices services;
  services.ReadPortReport = ReadSystemPortReport;
  services.RunFileDialog = [](QFileDialog& dialog) {
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
      return QString();
    return dialog.selectedFiles().constFirst();
  };
  services.ExecutablePath = QCoreApplication::applicationFilePath();
  return services;
}

}  // namespace ethconf
