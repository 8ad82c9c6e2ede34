#pragma once
// The configuration as the window would hold it: what its editor makes of the records, and
// what it would save or write from them.

#include <optional>
#include <string>
#include <vector>

#include "config/editor_values.h"
#include "protocol/device_records.h"

namespace ethconf::cli {

// The window shows records (RecordsToEditor) and saves or writes what its editor then holds
// (EditorToRecords). This gives the records after that round: spin values clamped into the
// editor's limits, DHCP other than 1 stored as 0, bytes behind a text's terminator cleared.
// Empty when the editor refuses the records (a synchronisation time that is no time of day);
// the four file records and the password are filled, the version, status and token kept.
std::optional<TDeviceRecords> AsWindowSaves(const TDeviceRecords& records);

// Warnings about the file records' values that lie outside the window's limits, one per field,
// each naming the field: what the window would store instead, a time it cannot show, a text
// longer than the window lets one type.
std::vector<std::string> WindowLimitWarnings(const TDeviceRecords& records);

// The editor's values for the file records, with the given login password: what the window
// holds after loading these records and typing the password. Throws TConversionError for a
// synchronisation time that is no time of day.
TEditorValues EditorForWrite(const TDeviceRecords& records, const std::string& password);

}  // namespace ethconf::cli
