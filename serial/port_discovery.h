#pragma once
// Port discovery and selection without the window: the system's port report turned into the
// entries of the port list, the list's rebuild decision and the port number of an entry.
// The platform part (port_report.h) only gathers; every decision is made here.

#include <cstdint>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

namespace ethconf {

// One value of the system's serial port report, as the platform read it.
struct TPortReportValue {
  std::string Name;    // the system's name of the device behind the port
  std::string Data;    // the value's text, for instance "COM3"
  bool IsText = true;  // false: the value holds data that is neither empty nor text
};

// The system's serial port report.
struct TPortReport {
  bool Found = false;                    // false: the system keeps no report at all
  std::vector<TPortReportValue> Values;  // in the order the system enumerates them
};

// Reading a value that holds neither text nor empty data. It is meant to escape the handler
// that started the rebuild, to the application-wide error handler.
class TPortReportError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// One entry of the port list.
struct TPortEntry {
  std::string Text;    // "COM " and the port number in decimal
  std::string Device;  // the device behind it, for the entry's tooltip; empty when not known
  bool operator==(const TPortEntry&) const = default;
};

// The conversion of a port number text: leading blanks, an optional sign, then decimal digits
// within the signed 32-bit range, or up to eight hexadecimal digits after "$", "x", "X", "0x" or
// "0X" read as a 32-bit pattern. Nothing may follow. Empty when the text does not convert.
std::optional<std::int32_t> TextToInteger(std::string_view text);

// "COM " followed by the number in decimal.
std::string PortEntryText(std::int32_t number);

// The fixed list, COM 1 to COM 16, without devices.
std::vector<TPortEntry> FixedPortList();

// The entries the report names, sorted by port number, equal numbers all kept; empty when no
// value names a port. Empty optional when the list must fall back to the fixed one: no report, a
// report without values, or a value whose text after "COM" is no integer. Throws
// TPortReportError ("Invalid data type for '<name>'") at a value that is not text, unless the
// scan fell back before reaching it.
std::optional<std::vector<TPortEntry>> DetectedPortList(const TPortReport& report);

// The list a rebuild puts up: the detected one when detection is on and usable, otherwise the
// fixed one. The report is read only when detection is on.
template <typename ReadReport>
std::vector<TPortEntry> NewPortList(bool detect, ReadReport&& readReport) {
  if (detect) {
    if (auto detected = DetectedPortList(readReport()))
      return std::move(*detected);
  }
  return FixedPortList();
}

// What a rebuild of the port list does to the list.
struct TPortListUpdate {
  bool Replace = false;  // false: entries and selection stay as they are, nothing else happens
  std::vector<TPortEntry> Entries;
  int Selected = -1;         // the entry to select after the replacement; -1 none
  bool RunDropDown = false;  // the drop-down handling must follow (detection on)
};

// Compares the new list with the current entry texts (exactly, letter case included). On a
// change the previous text ("COM 1" for an empty list, else the selected entry's text, empty
// with nothing selected) stays selected when it is still there; otherwise the first entry is.
TPortListUpdate DecidePortListUpdate(const std::vector<std::string>& currentTexts,
                                     int currentSelected, std::vector<TPortEntry> newList,
                                     bool detect);

// The port number an entry names, 1 to 65535, or -1. A text containing "COM " loses its first
// four characters before the conversion. Nothing selected is an empty text.
std::int32_t PortNumberOfEntry(std::string_view entryText);

}  // namespace ethconf
