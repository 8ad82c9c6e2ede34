#pragma once
// The tool's readable output: a configuration field by field, the differences of two, and what
// a read found in a module.

#include <string>
#include <vector>

#include "protocol/device_records.h"

namespace ethconf::cli {

// One line per field of the four file records: its name, padded, and its one-line form.
std::string ConfigText(const TDeviceRecords& records);

// One line per field that differs: "REST.Port1: 5056 -> 5057".
std::vector<std::string> DiffLines(const TDeviceRecords& from, const TDeviceRecords& to);

// What a read brings besides the file records, in the window's status texts: firmware version,
// link status, IP, MAC, then the token and the password (one "*" a character, as the window
// shows it).
std::string ModuleText(const TDeviceRecords& records);

// The fields of the four file records and the password whose bytes differ, each with what was
// written and what the module returned; the password's contents are not shown.
std::vector<std::string> VerifyMismatches(const TDeviceRecords& written,
                                          const TDeviceRecords& returned);

}  // namespace ethconf::cli
