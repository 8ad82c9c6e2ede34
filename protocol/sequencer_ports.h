#pragma once
// What the exchange sequencer needs of the world around it: the byte link to the module, the
// reply timer and the user's side. The window, the command-line tool and the tests each plug in
// their own.

#include <cstdint>
#include <functional>
#include <stdexcept>
#include <string_view>

#include "protocol/byte_string.h"

namespace ethconf {

// A failure of a link operation, carrying the link's own text.
class TLinkError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// The link's three events. All of them run on the main thread: OnPortOpen as the last step of
// the call that opens, OnPortClose as the last step of the call that closes, OnTriggerAvail
// whenever received bytes wait, with the count of unread bytes.
struct TLinkEvents {
  std::function<void()> OnPortOpen;
  std::function<void()> OnPortClose;
  std::function<void(std::uint16_t count)> OnTriggerAvail;
};

// The serial port as the sequencer uses it. Failing operations throw (TLinkError or whatever an
// event handler raised inside the call).
class ISerialPort {
 public:
  virtual ~ISerialPort() = default;
  virtual void SetEvents(TLinkEvents events) = 0;
  // The port to open next; set only while the port is closed.
  virtual void SetComNumber(std::uint16_t port) = 0;
  // True opens (OnPortOpen runs inside the call), false closes (OnPortClose runs inside the
  // call). Asking for the state the port is already in does nothing.
  virtual void SetOpen(bool open) = 0;
  virtual bool Open() const = 0;
  virtual bool CharReady() = 0;
  virtual std::uint8_t GetChar() = 0;
  // Queues the bytes for sending and returns without waiting for transmission.
  virtual void PutString(ByteView data) = 0;
};

// The one-second reply timer. Its ticks are delivered to the sequencer's tmMainTimer by the
// owner, on the main thread.
class IReplyTimer {
 public:
  virtual ~IReplyTimer() = default;
  // Enabling a disabled timer starts a fresh period; enabling an enabled one changes nothing.
  virtual void SetEnabled(bool enabled) = 0;
  virtual bool Enabled() const = 0;
};

// The user's side: status bar, busy state, message boxes and the editor.
class ISequencerUi {
 public:
  virtual ~ISequencerUi() = default;
  // Status panels 0 to 4.
  virtual void SetStatusText(int panel, std::string_view text) = 0;
  virtual void LockControls() = 0;
  virtual void UnlockControls() = 0;
  // Saves the current cursor, shows the busy one and processes pending events once.
  virtual void ShowBusyCursor() = 0;
  // Puts the saved cursor back and processes pending events once.
  virtual void RestoreCursor() = 0;
  // Puts the saved cursor back without processing any event (the time-out path).
  virtual void ResetCursor() = 0;
  // Modal boxes; they return once the user has closed them, and may run pending events meanwhile.
  virtual void ShowError(std::string_view text) = 0;
  virtual void ShowInformation(std::string_view text) = 0;
  // Shows the records in the editor; may throw a conversion error.
  virtual void RecordsToEditor() = 0;
  virtual void ProcessPendingEvents() = 0;
};

}  // namespace ethconf
