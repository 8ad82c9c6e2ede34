#include "tools/cli/observed_port.h"

#include <exception>

namespace ethconf::cli {

TObservedPort::TObservedPort(ISerialPort& inner, std::function<void()> afterClose)
    : TForwardingPort(inner), m_afterClose(std::move(afterClose)) {}

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
  TForwardingPort::SetEvents(std::move(events));
}

void TObservedPort::SetOpen(bool open) {
  try {
    TForwardingPort::SetOpen(open);
  } catch (const std::exception& e) {
    m_lastError = e.what();
    if (!open) {
      m_afterClose();
    }
    throw;
  }
}

}  // namespace ethconf::cli
