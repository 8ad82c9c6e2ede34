// The port list: its rebuild from the system's serial ports or the fixed sixteen, and the
// handlers that start a rebuild.

#include <QCheckBox>
#include <stdexcept>
#include <string>
#include <vector>

#include "app/drop_down_combo_box.h"
#include "app/main_form.h"
#include "serial/port_discovery.h"
#include "serial/port_names.h"

namespace ethconf {

namespace {

// The device an entry stands for: the one the report named, otherwise the one the port map
// gives its number; empty when there is none.
QString EntryTooltip(const TPortEntry& entry) {
  if (!entry.Device.empty())
    return QString::fromStdString(entry.Device);
  const std::int32_t port = PortNumberOfEntry(entry.Text);
  if (port < 0)
    return {};
  try {
    return QString::fromStdString(DeviceNameForPort(static_cast<std::uint16_t>(port)));
  } catch (const std::runtime_error&) {
    // An unsafe port folder; opening the port reports it.
    return {};
  }
}

}  // namespace

void TMainForm::RefreshPortList() {
  std::vector<std::string> current;
  for (int i = 0; i < cbCOMPort->count(); ++i)
    current.push_back(cbCOMPort->itemText(i).toStdString());
  const bool detect = chbDetectCOMs->isChecked();
  // A report value that is no text throws here, before the list is touched, and goes on to the
  // application-wide error handler.
  TPortListUpdate update = DecidePortListUpdate(
      current, cbCOMPort->currentIndex(), NewPortList(detect, FServices.ReadPortReport), detect);
  if (!update.Replace)
    return;

  // Filling and selecting from here raises no change event: that comes only from the user.
  cbCOMPort->clear();
  for (const TPortEntry& entry : update.Entries) {
    cbCOMPort->addItem(QString::fromStdString(entry.Text));
    cbCOMPort->setItemData(cbCOMPort->count() - 1, EntryTooltip(entry), Qt::ToolTipRole);
  }
  cbCOMPort->setCurrentIndex(update.Selected);

  if (update.RunDropDown)
    cbCOMPortDropDown();
}

void TMainForm::cbCOMPortChange() {
  RefreshPortList();
  ApplyDeviceCommandAvailability();
}

void TMainForm::cbCOMPortDropDown() {
  RefreshPortList();
  ApplyDeviceCommandAvailability();
}

void TMainForm::chbDetectCOMsClick() {
  RefreshPortList();
}

}  // namespace ethconf
