// The three device commands, the busy state's control lock and the device command availability.

#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <vector>

#include "app/drop_down_combo_box.h"
#include "app/editor/config_editor.h"
#include "app/editor/config_group.h"
#include "app/editor/limited_line_edit.h"
#include "app/main_form.h"
#include "serial/port_discovery.h"

namespace ethconf {

namespace {

constexpr const char* kWriteQuestion = "Czy na pewno zapisać konfigurację do urządzenia?";
constexpr const char* kFactoryQuestion = "Czy na pewno przywrócić ustawienia domyślne?";

}  // namespace

bool TMainForm::DeviceCommandRunning() const {
  return FSequencer->Busy();
}

void TMainForm::btnReadDeviceClick() {
  if (DeviceCommandRunning()) {
    return;
  }
  const int port = SelectedPortNumber();
  if (port <= 0) {
    return;
  }
  FSequencer->PrepareRead();
  FSequencer->OpenLink(port);
}

void TMainForm::btnWriteDeviceClick() {
  if (DeviceCommandRunning()) {
    return;
  }
  if (!AskQuestion(kWriteQuestion)) {
    return;
  }
  const int port = SelectedPortNumber();
  if (port <= 0) {
    return;
  }
  FSequencer->PrepareWrite(
      [this](std::vector<TMachineState>& states) { FEditor->EditorToRecords(FRecords, states); });
  FSequencer->OpenLink(port);
}

void TMainForm::btnFactorySettingsClick() {
  if (DeviceCommandRunning()) {
    return;
  }
  if (!AskQuestion(kFactoryQuestion)) {
    return;
  }
  const int port = SelectedPortNumber();
  if (port <= 0) {
    return;
  }
  FSequencer->PrepareFactoryReset();
  FSequencer->OpenLink(port);
}

int TMainForm::SelectedPortNumber() const {
  if (cbCOMPort->currentIndex() < 0) {
    return -1;
  }
  return PortNumberOfEntry(cbCOMPort->currentText().toStdString());
}

void TMainForm::ApplyDeviceCommandAvailability() {
  const bool available = cbCOMPort->currentIndex() >= 0;
  btnReadDevice->setEnabled(available);
  btnWriteDevice->setEnabled(available);
  btnFactorySettings->setEnabled(available);
}

void TMainForm::LockControls() {
  // Disabling a plain group makes its buttons unusable without touching their own enabled
  // state, so unlocking brings back what the availability rule last set.
  for (QWidget* control : BusyControls()) {
    control->setEnabled(false);
  }
}

void TMainForm::UnlockControls() {
  for (QWidget* control : BusyControls()) {
    control->setEnabled(true);
  }
}

std::array<QWidget*, 10> TMainForm::BusyControls() const {
  return {gbConnection,
          gbCommands,
          FEditor->jvgbConfig(),
          FEditor->jvgbREST(),
          FEditor->jvgbNTP(),
          FEditor->jvgbPeriod(),
          FEditor->lblLoginPassword(),
          FEditor->edtLoginPassword(),
          FEditor->lblToken(),
          FEditor->edtToken()};
}

void TMainForm::RecordsToEditor() {
  FEditor->RecordsToEditor(FRecords);
}

}  // namespace ethconf
