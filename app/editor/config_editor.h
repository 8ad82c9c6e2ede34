#pragma once
// The configuration editor: the four configuration groups and the password and token fields,
// placed on the window, and the moves between them and the device records.

#include <QRect>
#include <vector>

#include "config/editor_values.h"
#include "protocol/device_records.h"
#include "protocol/machine_state.h"

class QCheckBox;
class QLabel;
class QLineEdit;
class QTimeEdit;
class QWidget;

namespace ethconf {

class TConfigGroup;
class TIpAddressEdit;
class TLimitedLineEdit;
class TRadioGroup;
class TSpinEdit;

class TConfigEditor {
 public:
  // Creates the controls as direct children (groups, loose fields and labels) of the window and
  // lays them out in the area, showing the default values.
  TConfigEditor(QWidget* window, const QRect& area);
  TConfigEditor(const TConfigEditor&) = delete;
  TConfigEditor& operator=(const TConfigEditor&) = delete;

  // The fields as they stand; spin fields by their read rule.
  TEditorValues Values() const;
  // Takes the fields into the records and appends the five write states.
  void EditorToRecords(TDeviceRecords& records, std::vector<TMachineState>& states) const;
  // Shows the records. A synchronisation time that is no time of day throws TConversionError
  // after the network, data-server, NTP address and NTP port fields have been shown; the later
  // fields keep their contents.
  void RecordsToEditor(const TDeviceRecords& records);
  // Shows speRESTInterval exactly while chbRESTInterval is checked; runs on every change of the
  // check state.
  void chbRESTIntervalClick();

  TConfigGroup* jvgbConfig() const { return m_jvgbConfig; }
  TConfigGroup* jvgbREST() const { return m_jvgbREST; }
  TConfigGroup* jvgbNTP() const { return m_jvgbNTP; }
  TConfigGroup* jvgbPeriod() const { return m_jvgbPeriod; }

  TRadioGroup* rgConnectionType() const { return m_rgConnectionType; }
  TIpAddressEdit* jipaIP() const { return m_jipaIP; }
  TIpAddressEdit* jipaMask() const { return m_jipaMask; }
  TIpAddressEdit* jipaGateway() const { return m_jipaGateway; }
  TIpAddressEdit* jipaDNS() const { return m_jipaDNS; }
  TSpinEdit* spePort() const { return m_spePort; }

  TLimitedLineEdit* edtAddr1() const { return m_edtAddr1; }
  TSpinEdit* spePort1() const { return m_spePort1; }
  TLimitedLineEdit* edtAddr2() const { return m_edtAddr2; }
  TSpinEdit* spePort2() const { return m_spePort2; }
  TLimitedLineEdit* edtAddrSEL() const { return m_edtAddrSEL; }
  TLimitedLineEdit* edtKey() const { return m_edtKey; }

  TLimitedLineEdit* edtNTPAddress() const { return m_edtNTPAddress; }
  TSpinEdit* speNTPPort() const { return m_speNTPPort; }
  QTimeEdit* dtpSyncTime() const { return m_dtpSyncTime; }

  TSpinEdit* speDataInterval() const { return m_speDataInterval; }
  QCheckBox* chbRESTInterval() const { return m_chbRESTInterval; }
  TSpinEdit* speRESTInterval() const { return m_speRESTInterval; }

  QLabel* lblLoginPassword() const { return m_lblLoginPassword; }
  TLimitedLineEdit* edtLoginPassword() const { return m_edtLoginPassword; }
  QLabel* lblToken() const { return m_lblToken; }
  TLimitedLineEdit* edtToken() const { return m_edtToken; }

 private:
  void CreateConfigGroup(QWidget* window);
  void CreateRestGroup(QWidget* window);
  void CreateNtpGroup(QWidget* window);
  void CreatePeriodGroup(QWidget* window);
  void CreateLooseFields(QWidget* window);
  void LayOut(const QRect& area);
  // The fields that RecordsToEditor sets before the synchronisation time.
  void ShowUpToNtpPort(const TEditorValues& values);
  // The synchronisation time and every field after it.
  void ShowFromSyncTime(const TEditorValues& values);

  TConfigGroup* m_jvgbConfig = nullptr;
  TRadioGroup* m_rgConnectionType = nullptr;
  TIpAddressEdit* m_jipaIP = nullptr;
  TIpAddressEdit* m_jipaMask = nullptr;
  TIpAddressEdit* m_jipaGateway = nullptr;
  TIpAddressEdit* m_jipaDNS = nullptr;
  TSpinEdit* m_spePort = nullptr;

  TConfigGroup* m_jvgbREST = nullptr;
  TLimitedLineEdit* m_edtAddr1 = nullptr;
  TSpinEdit* m_spePort1 = nullptr;
  TLimitedLineEdit* m_edtAddr2 = nullptr;
  TSpinEdit* m_spePort2 = nullptr;
  TLimitedLineEdit* m_edtAddrSEL = nullptr;
  TLimitedLineEdit* m_edtKey = nullptr;

  TConfigGroup* m_jvgbNTP = nullptr;
  TLimitedLineEdit* m_edtNTPAddress = nullptr;
  TSpinEdit* m_speNTPPort = nullptr;
  QTimeEdit* m_dtpSyncTime = nullptr;

  TConfigGroup* m_jvgbPeriod = nullptr;
  TSpinEdit* m_speDataInterval = nullptr;
  QCheckBox* m_chbRESTInterval = nullptr;
  TSpinEdit* m_speRESTInterval = nullptr;

  QLabel* m_lblLoginPassword = nullptr;
  TLimitedLineEdit* m_edtLoginPassword = nullptr;
  QLabel* m_lblToken = nullptr;
  TLimitedLineEdit* m_edtToken = nullptr;
};

}  // namespace ethconf
