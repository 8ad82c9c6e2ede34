#include "tools/sim/request_receiver.h"

#include "protocol/constants.h"

namespace ethconf::sim {

std::vector<TReceivedFrame> TRequestReceiver::Feed(ByteView bytes, TSimClock::time_point arrived) {
  std::vector<TReceivedFrame> frames;
  for (const std::uint8_t b : bytes) {
    if (!m_inFrame) {
      if (b == FrameFlag) {
        m_inFrame = true;
        m_current.bytes.assign(1, b);
        m_current.firstByte = arrived;
      } else {
        ++m_discarded;
      }
      continue;
    }
    if (b == FrameFlag) {
      if (m_current.bytes.size() == 1) {
        // Two flags in a row: the first closed nothing, the second opens the frame.
        ++m_discarded;
        m_current.firstByte = arrived;
        continue;
      }
      m_current.bytes.push_back(b);
      m_current.lastByte = arrived;
      frames.push_back(std::move(m_current));
      m_current = {};
      m_inFrame = false;
      continue;
    }
    if (m_current.bytes.size() + 1 >= kMaxFrameLength) {
      // Cannot be a frame of this protocol any more; wait for the next flag.
      m_discarded += m_current.bytes.size() + 1;
      m_current = {};
      m_inFrame = false;
      continue;
    }
    m_current.bytes.push_back(b);
  }
  return frames;
}

std::size_t TRequestReceiver::TakeDiscarded() {
  const std::size_t count = m_discarded;
  m_discarded = 0;
  return count;
}

}  // namespace ethconf::sim
