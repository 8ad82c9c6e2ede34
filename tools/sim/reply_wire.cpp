#include "tools/sim/reply_wire.h"

#include <algorithm>

#include "protocol/constants.h"
#include "protocol/frame_codec.h"

namespace ethconf::sim {

ByteString ReplyWire(ByteView payload, const TWireFaults& faults) {
  ByteString wire;
  if (faults.stray) {
    wire.assign(std::begin(kStrayBytes), std::end(kStrayBytes));
  }
  if (!faults.badFcs) {
    const ByteString frame = EncodeFrame(payload);
    wire.insert(wire.end(), frame.begin(), frame.end());
    return wire;
  }
  // Built by hand so that the wrong check sequence is still stuffed like a right one.
  ByteString body{FrameAddress, FrameControl, FrameProtocol};
  body.insert(body.end(), payload.begin(), payload.end());
  const auto fcs = static_cast<std::uint16_t>(
      Fcs16(FcsInit, body, static_cast<std::uint16_t>(body.size())) ^ 0xFFFFU ^ 0x0101U);
  body.push_back(static_cast<std::uint8_t>(fcs & 0xFFU));
  body.push_back(static_cast<std::uint8_t>(fcs >> 8));
  wire.push_back(FrameFlag);
  const ByteString stuffed = StuffBytes(body);
  wire.insert(wire.end(), stuffed.begin(), stuffed.end());
  wire.push_back(FrameFlag);
  return wire;
}

std::chrono::nanoseconds ByteTime(unsigned baud) {
  if (baud == 0) {
    return std::chrono::nanoseconds{0};
  }
  return std::chrono::nanoseconds{10'000'000'000LL / baud};
}

std::vector<std::chrono::nanoseconds> ArrivalOffsets(std::size_t replyLength,
                                                     const TWireTiming& timing) {
  const std::chrono::nanoseconds byteTime = ByteTime(timing.baud);
  const std::size_t piece =
      timing.chunk == 0 ? std::max<std::size_t>(replyLength, 1) : timing.chunk;
  std::vector<std::chrono::nanoseconds> offsets;
  offsets.reserve(replyLength);
  std::chrono::nanoseconds pieceStart{0};
  for (std::size_t i = 0; i < replyLength; ++i) {
    const std::size_t inPiece = i % piece;
    if (inPiece == 0 && i != 0) {
      pieceStart = offsets.back() + timing.gap;
    }
    const auto position = static_cast<std::chrono::nanoseconds::rep>(inPiece + 1);
    offsets.push_back(timing.baud == 0 ? pieceStart : pieceStart + byteTime * position);
  }
  return offsets;
}

std::chrono::steady_clock::time_point ReplyStart(std::chrono::steady_clock::time_point firstByte,
                                                 std::chrono::steady_clock::time_point lastByte,
                                                 std::size_t requestLength,
                                                 const TWireTiming& timing) {
  const auto requestWire =
      ByteTime(timing.baud) * static_cast<std::chrono::nanoseconds::rep>(requestLength);
  return std::max(lastByte, firstByte + requestWire) + timing.turnaround;
}

}  // namespace ethconf::sim
