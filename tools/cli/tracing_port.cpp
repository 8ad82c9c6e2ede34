#include "tools/cli/tracing_port.h"

#include "protocol/constants.h"
#include "protocol/hex_text.h"

namespace ethconf::cli {

TTracingPort::TTracingPort(ISerialPort& inner, std::string portName,
                           std::chrono::steady_clock::time_point start, std::FILE* out)
    : TForwardingPort(inner), m_portName(std::move(portName)), m_start(start), m_out(out) {}

void TTracingPort::SetEvents(TLinkEvents events) {
  if (events.OnPortClose) {
    events.OnPortClose = [this, onClose = std::move(events.OnPortClose)] {
      FlushReceived();
      PrintEvent("closed");
      onClose();
    };
  }
  TForwardingPort::SetEvents(std::move(events));
}

void TTracingPort::SetOpen(bool open) {
  if (open != Open()) {
    PrintEvent(open ? "opening" : "closing");
  }
  TForwardingPort::SetOpen(open);
}

std::uint8_t TTracingPort::GetChar() {
  const std::uint8_t byte = TForwardingPort::GetChar();
  m_received.push_back(byte);
  // A flag after other bytes closes a frame; a flag on its own opens the next one.
  if (byte == FrameFlag && m_received.size() > 1) {
    FlushReceived();
  }
  return byte;
}

void TTracingPort::PutString(ByteView data) {
  FlushReceived();
  Print(">", data);
  TForwardingPort::PutString(data);
}

void TTracingPort::FlushReceived() {
  if (!m_received.empty()) {
    Print("<", m_received);
    m_received.clear();
  }
}

double TTracingPort::Milliseconds() const {
  return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - m_start)
      .count();
}

void TTracingPort::PrintEvent(const char* what) {
  std::fprintf(m_out, "%10.3f ms %s %s\n", Milliseconds(), m_portName.c_str(), what);
  std::fflush(m_out);
}

void TTracingPort::Print(const char* direction, ByteView bytes) {
  const double ms = Milliseconds();
  const std::string hex = HexText(bytes, " ");
  std::fprintf(m_out, "%10.3f ms %s %s %s\n", ms, m_portName.c_str(), direction, hex.c_str());
  std::fflush(m_out);
}

}  // namespace ethconf::cli
