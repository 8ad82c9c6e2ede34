#include <cstdint>
#include <string>

#include "config/char_field.h"
#include "config/editor_values.h"

namespace ethconf {
namespace {

// The field has brought a typed value into its limits by the time the editor is read, so the
// value is stored as it is.
std::uint16_t SpinToRecord(int value) {
  return static_cast<std::uint16_t>(value);
}

std::string TimeText(unsigned hour, unsigned minute) {
  return std::to_string(hour) + ":" + (minute < 10 ? "0" : "") + std::to_string(minute);
}

}  // namespace

void EditorToRecords(const TEditorValues& values, TDeviceRecords& records,
                     std::vector<TMachineState>& states) {
  states.push_back(msWriteConfig);
  TEthConfig& config = records.FEthConfig;
  config.DHCP = values.staticIp ? 0 : 1;
  config.IP = values.ip;
  config.Mask = values.mask;
  config.Gateway = values.gateway;
  config.DNS = values.dns;
  config.Port = SpinToRecord(values.port);

  states.push_back(msWriteREST);
  TEthREST& rest = records.FEthREST;
  TextToCharField(values.addr1, rest.Address1);
  rest.Port1 = SpinToRecord(values.port1);
  TextToCharField(values.addr2, rest.Address2);
  rest.Port2 = SpinToRecord(values.port2);
  TextToCharField(values.addrSel, rest.SELAddress);
  TextToCharField(values.key, rest.Key);

  states.push_back(msWriteNTP);
  TEthNTP& ntp = records.FEthNTP;
  TextToCharField(values.ntpAddress, ntp.Address);
  ntp.Port = SpinToRecord(values.ntpPort);
  ntp.SyncHour = static_cast<std::uint8_t>(values.syncHour);
  ntp.SyncMinute = static_cast<std::uint8_t>(values.syncMinute);

  states.push_back(msWritePeriod);
  TEthPeriod& period = records.FEthPeriod;
  period.DataInterval = SpinToRecord(values.dataInterval);
  // The hidden interval field still holds a value; it is sent only while the box is ticked.
  period.RESTInterval = values.restEnabled ? SpinToRecord(values.restInterval) : 0;

  states.push_back(msWriteLoginPassword);
  TextToCharField(values.loginPassword, records.FEthPassword.Password);
}

void RecordsToEditor(const TDeviceRecords& records, TEditorValues& values) {
  const TEthConfig& config = records.FEthConfig;
  values.staticIp = config.DHCP != 1;
  values.ip = config.IP;
  values.mask = config.Mask;
  values.gateway = config.Gateway;
  values.dns = config.DNS;
  values.port = ClampToLimits(config.Port, kPortLimits);

  const TEthREST& rest = records.FEthREST;
  values.addr1 = CharFieldToText(rest.Address1);
  values.port1 = ClampToLimits(rest.Port1, kPortLimits);
  values.addr2 = CharFieldToText(rest.Address2);
  values.port2 = ClampToLimits(rest.Port2, kPortLimits);
  values.addrSel = CharFieldToText(rest.SELAddress);
  values.key = CharFieldToText(rest.Key);

  const TEthNTP& ntp = records.FEthNTP;
  values.ntpAddress = CharFieldToText(ntp.Address);
  values.ntpPort = ClampToLimits(ntp.Port, kPortLimits);

  // Everything above stays shown when the time is refused; everything below keeps its old value.
  if (ntp.SyncHour > 23 || ntp.SyncMinute > 59) {
    throw TConversionError("synchronisation time " + TimeText(ntp.SyncHour, ntp.SyncMinute) +
                           " is not a time of day");
  }
  values.syncHour = ntp.SyncHour;
  values.syncMinute = ntp.SyncMinute;

  const TEthPeriod& period = records.FEthPeriod;
  values.dataInterval = ClampToLimits(period.DataInterval, kDataIntervalLimits);
  values.restEnabled = period.RESTInterval != 0;
  if (period.RESTInterval != 0) {
    values.restInterval = ClampToLimits(period.RESTInterval, kRestIntervalLimits);
  }

  values.loginPassword = CharFieldToText(records.FEthPassword.Password);
  values.token = CharFieldToText(records.FEthToken.Token);
}

}  // namespace ethconf
