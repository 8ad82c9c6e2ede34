#pragma once
// Cuts the byte stream from the tool into frames, the way the module's receiver does: a frame
// runs from one flag to the next; bytes outside a frame are noise.

#include <chrono>
#include <cstddef>
#include <vector>

#include "protocol/byte_string.h"

namespace ethconf::sim {

using TSimClock = std::chrono::steady_clock;

struct TReceivedFrame {
  ByteString bytes;                 // from the opening flag to the closing flag, both included
  TSimClock::time_point firstByte;  // when the opening flag arrived
  TSimClock::time_point lastByte;   // when the closing flag arrived
};

class TRequestReceiver {
 public:
  // Takes bytes that arrived at the given time and returns the frames they completed.
  std::vector<TReceivedFrame> Feed(ByteView bytes, TSimClock::time_point arrived);

  // Bytes dropped since the last call because they lay outside any frame or overran the
  // longest frame; the count is reset by the call.
  std::size_t TakeDiscarded();

 private:
  bool m_inFrame = false;
  TReceivedFrame m_current;
  std::size_t m_discarded = 0;
};

}  // namespace ethconf::sim
