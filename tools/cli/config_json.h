#pragma once
// The configuration file's four records as JSON text, without losing a byte either way.
//
// {"format": "ethconf-config", "version": 1,
//  "Config": {"DHCP": 1, "IP": "192.168.111.111", ..., "Port": 2222},
//  "REST": {"Address1": "192.0.2.10", "Port1": 5056, ...},
//  "NTP": {"Address": "...", "Port": 123, "SyncHour": 12, "SyncMinute": 0},
//  "Period": {"DataInterval": 5, "RESTInterval": 0}}
//
// Members carry the records' own field names. 8- and 16-bit fields are numbers, addresses
// dotted quads. A character field is a string when it is a clean text: its bytes up to the
// first 0x00 (or all of them when it has none) read in the module's code page, and only 0x00
// after that. Any other field, one with bytes behind its terminator, is {"hex": "..."} with
// every byte of the field as two hexadecimal digits.

#include <stdexcept>
#include <string>
#include <string_view>

#include "protocol/device_records.h"
#include "tools/cli/json_value.h"

namespace ethconf::cli {

inline constexpr const char* kConfigFormatName = "ethconf-config";
inline constexpr int kConfigFormatVersion = 1;

// JSON input that is not a valid configuration; the message names the field ("REST.Port1: ...")
// or the syntax fault's line and column.
class TConfigFormError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// FEthConfig, FEthREST, FEthNTP and FEthPeriod as a JSON document.
TJsonValue ConfigToJson(const TDeviceRecords& records);
std::string ConfigToJsonText(const TDeviceRecords& records);

// Fills FEthConfig, FEthREST, FEthNTP and FEthPeriod from a JSON document; every member must be
// present, known and within its field's width and form. The other records are left alone.
// Throws TConfigFormError and changes nothing then.
void ConfigFromJson(const TJsonValue& document, TDeviceRecords& records);
void ConfigFromJsonText(std::string_view text, TDeviceRecords& records);

}  // namespace ethconf::cli
