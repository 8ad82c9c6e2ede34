#pragma once
// A serial port that remembers why the link refused to open or close, and tells its owner when
// a close has been handled or has failed.

#include <functional>
#include <string>

#include "tools/cli/forwarding_port.h"

namespace ethconf::cli {

// The sequencer turns a failed open into "Błąd otwarcia portu!" alone; this keeps the link's
// own text of the cause (missing device, busy, no permission) for the tool's message.
class TObservedPort final : public TForwardingPort {
 public:
  // afterClose runs after the sequencer's closed-event handler has returned, and after a close
  // that failed; it may run twice for one close.
  TObservedPort(ISerialPort& inner, std::function<void()> afterClose);

  // The text of the last failed open or close; empty when none failed since ClearError.
  const std::string& LastError() const { return m_lastError; }
  void ClearError() { m_lastError.clear(); }

  void SetEvents(TLinkEvents events) override;
  void SetOpen(bool open) override;

 private:
  std::function<void()> m_afterClose;
  std::string m_lastError;
};

}  // namespace ethconf::cli
