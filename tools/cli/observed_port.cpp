#include "tools/cli/observed_port.h"

#include <exception>

namespace ethconf::cli {

TObservedPort::TObservedPort(ISerialPort& inner, std::function<void()> afterClose)
    : m_inner(inner), m_afterClose(std::move(afterClose)) {}

void TObservedPort::SetEvents(TLinkEvents events) {
  if (events.OnPortClose) {
    events.OnPortClose = [this, onClose = std::move(events.OnPortClose)] {
      // The owner hears of the close also when the handler fails.
      struct TAfter {
        const std::function<void()>& notify;
        ~TAfter() { notify(); }
      } after{m_afterClose};
      onClose();
    };
  }
  m_inner.SetEvents(std::move(events));
}

void TObservedPort::SetComNumber(std::uint16_t port) {
  m_inner.SetComNumber(port);
}

void TObservedPort::SetOpen(bool open) {
  try {
    m_inner.SetOpen(open);
  } catch (const std::exception& e) {
    m_lastError = e.what();
    if (!open) {
      m_afterClose();
    }
    throw;
  }
}

bool TObservedPort::Open() const {
  return m_inner.Open();
}

bool TObservedPort::CharReady() {
  return m_inner.CharReady();
}

std::uint8_t TObservedPort::GetChar() {
  return m_inner.GetChar();
}

void TObservedPort::PutString(ByteView data) {
  m_inner.PutString(data);
}

}  // namespace ethconf::cli
