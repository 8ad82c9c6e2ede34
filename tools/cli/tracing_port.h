#pragma once
// A serial port that prints every frame sent and received, in hex, before passing it on.

#include <chrono>
#include <cstdio>
#include <string>

#include "tools/cli/forwarding_port.h"

namespace ethconf::cli {

// Wraps the port the sequencer uses. Sent byte strings are printed as they are queued; received
// bytes are gathered into frames (up to a closing 0x7E flag) and printed when a frame is
// complete, or as they stand before the next request goes out and when the port closes. Each
// line carries the milliseconds since start and the port's name. Opening and closing the port
// are traced too.
class TTracingPort final : public TForwardingPort {
 public:
  TTracingPort(ISerialPort& inner, std::string portName,
               std::chrono::steady_clock::time_point start, std::FILE* out);

  void SetEvents(TLinkEvents events) override;
  void SetOpen(bool open) override;
  std::uint8_t GetChar() override;
  void PutString(ByteView data) override;

 private:
  double Milliseconds() const;
  void Print(const char* direction, ByteView bytes);
  void PrintEvent(const char* what);
  void FlushReceived();

  std::string m_portName;
  std::chrono::steady_clock::time_point m_start;
  std::FILE* m_out;
  ByteString m_received;
};

}  // namespace ethconf::cli
