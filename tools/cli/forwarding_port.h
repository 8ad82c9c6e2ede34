#pragma once
// Base of the tool's port decorators: every call passes on to the wrapped port, and a decorator
// overrides only the calls it watches.

#include <utility>

#include "protocol/sequencer_ports.h"

namespace ethconf::cli {

class TForwardingPort : public ISerialPort {
 public:
  explicit TForwardingPort(ISerialPort& inner) : m_inner(inner) {}

  void SetEvents(TLinkEvents events) override { m_inner.SetEvents(std::move(events)); }
  void SetComNumber(std::uint16_t port) override { m_inner.SetComNumber(port); }
  void SetOpen(bool open) override { m_inner.SetOpen(open); }
  bool Open() const override { return m_inner.Open(); }
  bool CharReady() override { return m_inner.CharReady(); }
  std::uint8_t GetChar() override { return m_inner.GetChar(); }
  void PutString(ByteView data) override { m_inner.PutString(data); }

 private:
  ISerialPort& m_inner;
};

}  // namespace ethconf::cli
