#pragma once
// The line settings the link applies to its device at every open.

#include <cstdint>

namespace ethconf {

// Settings of the serial line. The defaults are the values this tool uses: 115200 bit/s, 8 data
// bits, no parity, 1 stop bit (fixed), no flow control, DTR held off and RTS held on.
struct TLineSettings {
  std::uint32_t Baud = 115200;
  bool DTR = false;
  bool RTS = true;
  // Requested driver queue sizes; OutSize is also the size of the link's output buffer.
  std::uint32_t InSize = 4096;
  std::uint32_t OutSize = 4096;
  // Least number of unread bytes for which a data notification is raised.
  std::uint16_t TriggerLength = 1;
};

}  // namespace ethconf
