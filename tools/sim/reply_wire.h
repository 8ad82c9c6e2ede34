#pragma once
// What the simulated module puts on the wire for a reply and when each byte arrives at the
// tool's end, including the deliberate faults.

#include <chrono>
#include <cstddef>
#include <vector>

#include "protocol/byte_string.h"

namespace ethconf::sim {

// Faults in the bytes of every reply.
struct TWireFaults {
  bool stray = false;   // a few bytes that belong to no frame go out ahead of the reply
  bool badFcs = false;  // the frame check sequence is wrong
};

// The bytes the stray-byte fault sends ahead of a reply.
inline constexpr std::uint8_t kStrayBytes[] = {0x00, 0xA5};

ByteString ReplyWire(ByteView payload, const TWireFaults& faults);

// The pace of the simulated line and the module's habits in sending.
struct TWireTiming {
  std::chrono::microseconds turnaround{0};  // from the request's end to the reply's start
  unsigned baud = 0;                        // 0: bytes arrive as fast as the host takes them
  std::size_t chunk = 0;                    // 0: the reply goes out in one piece
  std::chrono::microseconds gap{0};         // pause between pieces
};

// Time one byte takes on the line at the given rate: a start bit, eight data bits, a stop bit.
std::chrono::nanoseconds ByteTime(unsigned baud);

// Offsets from the reply's start at which each reply byte has fully arrived at the tool's end.
// On a paced line byte i of a piece arrives (i + 1) byte times after the piece starts; unpaced,
// a piece arrives at once. The next piece starts a gap after the previous one arrived.
std::vector<std::chrono::nanoseconds> ArrivalOffsets(std::size_t replyLength,
                                                     const TWireTiming& timing);

// When the reply starts: after the request has been fully on the line (its own wire time counted
// from its first byte on a paced line, its last byte otherwise) and the turnaround on top.
std::chrono::steady_clock::time_point ReplyStart(std::chrono::steady_clock::time_point firstByte,
                                                 std::chrono::steady_clock::time_point lastByte,
                                                 std::size_t requestLength,
                                                 const TWireTiming& timing);

}  // namespace ethconf::sim
