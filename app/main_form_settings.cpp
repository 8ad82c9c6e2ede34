// The settings file beside the executable: read once when the window is created, written once
// when it is closed.

#include <QCheckBox>
#include <QFileInfo>
#include <exception>
#include <filesystem>

#include "app/drop_down_combo_box.h"
#include "app/guarded_application.h"
#include "app/main_form.h"
#include "config/settings.h"

namespace ethconf {

namespace {

std::filesystem::path ToPath(const QString& path) {
  return std::filesystem::path(path.toStdU16String());
}

}  // namespace

QString TMainForm::SettingsPath() const {
  return AppPath + QString::fromStdString(SettingsFileName(AppName.toStdString()));
}

void TMainForm::ReadSettings() {
  const QFileInfo executable(FServices.ExecutablePath);
  AppPath = executable.absolutePath() + QLatin1Char('/');
  AppName = executable.fileName();

  // A file that cannot be read leaves the defaults, like a missing one.
  TIniFile profile;
  bool found = false;
  LoadIniFile(ToPath(SettingsPath()), profile, found);
  const TStartupSettings settings = StartupSettings(profile);

  // The list is rebuilt exactly once: unticking the check box runs its click handling.
  try {
    if (settings.UntickDetection) {
      chbDetectCOMs->setChecked(false);
      chbDetectCOMsClick();
    } else {
      RefreshPortList();
    }
  } catch (...) {
    // No event loop runs yet to take the error to the application-wide handler; report it the
    // same way and go on with the window.
    ReportUnhandledError(UnhandledErrorText(std::current_exception()));
  }

  if (settings.SelectEntry) {
    const QString entry = QString::fromStdString(*settings.SelectEntry);
    for (int i = 0; i < cbCOMPort->count(); ++i) {
      if (cbCOMPort->itemText(i) == entry) {
        cbCOMPort->setCurrentIndex(i);
        break;
      }
    }
  }
  if (settings.WithDebug)
    WithDebug = *settings.WithDebug;
}

void TMainForm::WriteSettings() {
  const QString selected = cbCOMPort->currentIndex() < 0 ? QString() : cbCOMPort->currentText();
  // Failures are ignored: the program ends all the same, and the previous file stays whole.
  SaveClosingSettings(ToPath(SettingsPath()), selected.toStdString(), chbDetectCOMs->isChecked());
}

}  // namespace ethconf
