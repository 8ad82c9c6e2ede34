#pragma once
// The simulated module's records in a text file, so what was written survives a restart.
//
// One line per object: its name, a blank and its byte image in hexadecimal, for example
// "period 3C002C01". Lines starting with '#' and empty lines are skipped. Objects the file does
// not name keep their factory defaults.

#include <string>

#include "protocol/device_records.h"

namespace ethconf::sim {

// Fills records from the file's text; on a malformed line returns false and names the fault in
// error, with records unchanged.
bool ParseStateText(const std::string& text, TDeviceRecords& records, std::string& error);

std::string StateText(const TDeviceRecords& records);

// Reads the file over records. A missing file is not an error: records stay as they are.
bool LoadStateFile(const std::string& path, TDeviceRecords& records, std::string& error);

// Writes the file through a temporary file and a rename, so it is never left half-written.
bool SaveStateFile(const std::string& path, const TDeviceRecords& records, std::string& error);

}  // namespace ethconf::sim
