#pragma once
// The byte link to the module over a numbered serial port.

#include <cstdint>
#include <functional>
#include <memory>
#include <string>

#include "protocol/byte_string.h"
#include "protocol/sequencer_ports.h"
#include "serial/line_settings.h"
#include "serial/main_thread_queue.h"
#include "serial/port_names.h"

namespace ethconf {

// TSerialLink opens the serial port numbered ComNumber, sends byte strings without waiting for
// them to be transmitted, collects received bytes on four background threads (TReadThread,
// TStatusThread, TWriteThread, TDispThread) and hands them to the main thread as OnTriggerAvail
// notifications through the main-thread queue, waiting for each handler at most 3000 ms.
// Every call is made on the main thread, and every event and failure report runs there.
// Errors are thrown as TLinkError with the link's own text.
class TSerialLink final : public ISerialPort {
 public:
  // Names the device to open for a port number; empty when the number names no device.
  using TDeviceNamer = std::function<std::string(std::uint16_t port)>;
  // Called on the main thread with "Device read error" or "Device write error".
  using TFailureHandler = std::function<void(const std::string& text)>;

  // The queue must outlive the link. The namer defaults to the platform's port map.
  explicit TSerialLink(IMainThreadQueue& mainThread, TDeviceNamer deviceName = DeviceNameForPort);
  // Closes an open port without raising OnPortClose.
  ~TSerialLink() override;
  TSerialLink(const TSerialLink&) = delete;
  TSerialLink& operator=(const TSerialLink&) = delete;

  void SetEvents(TLinkEvents events) override;
  // Set only while the port is closed; 0 (the default) names no port.
  void SetComNumber(std::uint16_t port) override;
  std::uint16_t ComNumber() const { return m_comNumber; }
  // Set only while the port is closed; used from the next open on.
  void SetLineSettings(const TLineSettings& settings);
  const TLineSettings& LineSettings() const { return m_settings; }
  // The handler of a background failure (the device failed while open). It runs on the main
  // thread as soon as the failure is seen; the threads have stopped then, the port stays open
  // until it is closed, and no further notification comes.
  void SetOnFailure(TFailureHandler handler);

  // True opens (OnPortOpen runs inside the call, with Open() already true), false closes
  // (OnPortClose runs inside the call, after the device has been released). Asking for the
  // state the port is in does nothing. A failed open, or an OnPortOpen handler that throws,
  // leaves the port closed and throws, without OnPortClose. While closing, pending main-thread
  // work runs inside the call.
  void SetOpen(bool open) override;
  bool Open() const override { return m_open; }
  // Whether an unread byte is available; false while closing. Throws when closed.
  bool CharReady() override;
  // Takes the next unread byte; 0 while closing. Throws when closed or with no unread byte.
  std::uint8_t GetChar() override;
  // Queues the whole string for sending; nothing while closing. Throws when closed or when the
  // output buffer lacks the room (then nothing is queued).
  void PutString(ByteView data) override;

 private:
  class TSession;  // what exists only while the port is open: device, buffers, threads
  class TNotification;
  struct TTarget;

  void DoOpen();
  void DoClose();
  void RunNotification(const std::shared_ptr<TNotification>& notification);
  void ReportFailure(const std::string& text);

  IMainThreadQueue& m_mainThread;
  TDeviceNamer m_deviceName;
  TLinkEvents m_events;
  TFailureHandler m_onFailure;
  std::uint16_t m_comNumber = 0;
  TLineSettings m_settings;
  bool m_open = false;
  bool m_closing = false;
  std::unique_ptr<TSession> m_session;
  std::shared_ptr<TTarget> m_target;
};

}  // namespace ethconf
