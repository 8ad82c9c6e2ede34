#pragma once
// The status bar texts built from the version and status records the module sends.

#include <string>

#include "protocol/byte_string.h"
#include "protocol/records.h"

namespace ethconf {

// A received character field as text: converted over its full width from the module's code
// page, then stripped at both ends of every character with code 0x20 or less (spaces, control
// characters and the 0x00 bytes that pad the field).
std::string CharFieldText(ByteView field);

template <std::size_t N>
std::string CharFieldText(const TCharField<N>& field) {
  return CharFieldText(ByteView(field.bytes));
}

// Panel 0: "Wersja firmware: 01.05, Jan 15 2018 12:34:56".
std::string VersionPanelText(const TEthVersion& version);
// Panel 1: "Status połączenia: <StatusTxt>.".
std::string LinkStatusPanelText(const TEthStatus& status);
// Panel 2: "IP: 192.168.1.20".
std::string IpPanelText(const TEthStatus& status);
// Panel 3: "MAC: 00:1A:2B:3C:4D:5E".
std::string MacPanelText(const TEthStatus& status);

}  // namespace ethconf
