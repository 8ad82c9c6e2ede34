#pragma once
// The configuration editor's fields as plain values, and their mapping to and from the device
// records. The window's widgets and the command-line tool both go through these rules.

#include <stdexcept>
#include <string>
#include <vector>

#include "protocol/device_records.h"
#include "protocol/machine_state.h"

namespace ethconf {

// Raised when a record holds a synchronisation time that is no time of day.
class TConversionError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// Limits of the editor's spin fields: values are clamped into them when the program sets a
// field, and typed text is cut at the character limit.
struct TSpinLimits {
  int min;
  int max;
  int maxChars;
};
inline constexpr TSpinLimits kPortLimits{1, 65535, 5};
inline constexpr TSpinLimits kDataIntervalLimits{5, 600, 3};
inline constexpr TSpinLimits kRestIntervalLimits{10, 3600, 4};

// The value a spin field shows when the program sets it: clamped into the field's limits, unless
// the limits are one and the same value.
constexpr int ClampToLimits(int value, const TSpinLimits& limits) {
  if (limits.min == limits.max) {
    return value;
  }
  return value < limits.min ? limits.min : (value > limits.max ? limits.max : value);
}

// Typing limits of the text fields: one character less than the record's field, so typed text
// always keeps its terminating 0x00.
inline constexpr int kAddressMaxChars = 64;
inline constexpr int kKeyMaxChars = 40;
inline constexpr int kPasswordMaxChars = 20;
inline constexpr int kTokenMaxChars = 15;

// The values the editor's fields hold; the initializers are the fields' contents when the window
// opens. Spin fields hold the value as read from the field (already brought into its limits
// when the field lost the focus).
struct TEditorValues {
  // "Połączenie:"
  bool staticIp = false;  // rgConnectionType: "DHCP" (false) or "Statyczne IP" (true)
  TIpv4 ip{192, 168, 111, 111};
  TIpv4 mask{255, 255, 255, 0};
  TIpv4 gateway{192, 168, 111, 1};
  TIpv4 dns{192, 168, 111, 1};
  int port = 2222;
  // "Serwer danych:"
  std::string addr1 = "192.0.2.10";
  int port1 = 5056;
  std::string addr2 = "192.0.2.20";
  int port2 = 5056;
  std::string addrSel = "sel.example.com";
  std::string key = "3c8e5b21-7f04-4a9d-8e62-b51d09c4fa37";
  // "Serwer NTP:"
  std::string ntpAddress = "ntp.example.com";
  int ntpPort = 123;
  int syncHour = 12;
  int syncMinute = 0;
  // "Odczyt danych:"
  int dataInterval = 5;
  bool restEnabled = false;  // chbRESTInterval
  int restInterval = 15;     // speRESTInterval, kept while hidden
  // Loose fields.
  std::string loginPassword = "vokre";
  std::string token;

  friend bool operator==(const TEditorValues&, const TEditorValues&) = default;
};

// Overwrites FEthConfig, FEthREST, FEthNTP, FEthPeriod and FEthPassword from the values and
// appends the five write states to states, behind what it already holds. Never fails.
void EditorToRecords(const TEditorValues& values, TDeviceRecords& records,
                     std::vector<TMachineState>& states);

// Sets the values from the records, in the editor's order, clamping spin values into their
// limits. When the synchronisation time is no time of day it throws TConversionError after the
// NTP port has been set; the time, the intervals, the check box, the password and the token then
// keep their previous values. A REST interval of 0 clears restEnabled and keeps restInterval.
void RecordsToEditor(const TDeviceRecords& records, TEditorValues& values);

}  // namespace ethconf
