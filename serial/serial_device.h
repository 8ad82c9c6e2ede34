#pragma once
// The platform side of the serial link: one open serial device.

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <span>
#include <string>

#include "protocol/byte_string.h"
#include "serial/line_settings.h"

namespace ethconf {

// One serial device, opened exclusively and configured. Waits and transfers may run on several
// threads at once; Interrupt ends every wait, for good, so the link's threads can stop.
class ISerialDevice {
 public:
  enum class TWait { Ready, Interrupted, TimedOut, HungUp };
  struct TTransfer {
    std::size_t Count = 0;  // bytes moved; 0 when nothing could be moved right now
    bool Failed = false;
  };

  virtual ~ISerialDevice() = default;
  // Blocks until input has arrived (Ready), the line has gone (HungUp) or Interrupt was called.
  virtual TWait WaitForInput() = 0;
  // Blocks until output can be accepted, the limit has passed, the line has gone, or Interrupt
  // or WakeWriter was called (both Interrupted).
  virtual TWait WaitForOutput(std::chrono::milliseconds limit) = 0;
  // Reads what has arrived, without waiting.
  virtual TTransfer Read(std::span<std::uint8_t> into) = 0;
  // Writes what the driver accepts now, without waiting.
  virtual TTransfer Write(ByteView data) = 0;
  // Discard the driver's queued input or output.
  virtual void PurgeInput() = 0;
  virtual void PurgeOutput() = 0;
  // Ends the current and every later wait of any thread.
  virtual void Interrupt() = 0;
  // Ends the writer's current output wait once (a flush).
  virtual void WakeWriter() = 0;
};

// Opens and configures the named device. Throws TLinkError: "ie_BadId - Specified comport
// doesn't exist" when it does not exist, "ie_Open - device already open" when another program
// holds it, or a text naming the device and the cause for any other refusal.
std::unique_ptr<ISerialDevice> OpenSerialDevice(const std::string& name,
                                                const TLineSettings& settings);

// The error text for an open refused with the system error code (errno on POSIX).
std::string OpenErrorText(const std::string& name, int systemError);

}  // namespace ethconf
