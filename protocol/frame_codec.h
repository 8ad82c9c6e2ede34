#pragma once
// Frame codec: HDLC-like framing with the 16-bit FCS of RFC 1662 and 0x7E/0x7D byte stuffing.
//
// Wire layout: 7E | FF 03 12 | payload | FCS low, FCS high | 7E, everything between the flags
// stuffed. The FCS covers header and payload, is computed before stuffing and is sent
// complemented, low byte first.

#include <array>
#include <cstdint>
#include <functional>
#include <string_view>

#include "protocol/byte_string.h"
#include "protocol/constants.h"

namespace ethconf {

// Entry i is i run through eight rounds of the reflected polynomial x^16 + x^12 + x^5 + 1
// (0x8408): the FCS-16 lookup table of RFC 1662.
constexpr std::array<std::uint16_t, 256> InitFcsTable() {
  std::array<std::uint16_t, 256> table{};
  for (unsigned i = 0; i < 256; ++i) {
    unsigned v = i;
    for (int round = 0; round < 8; ++round) {
      v = (v & 1U) != 0 ? (v >> 1) ^ 0x8408U : v >> 1;
    }
    table[i] = static_cast<std::uint16_t>(v);
  }
  return table;
}

// Built by the compiler, so it exists before any frame is built or decoded and never changes.
inline constexpr std::array<std::uint16_t, 256> FcsTable = InitFcsTable();

// Runs the FCS over the first count bytes of data, starting from fcs.
constexpr std::uint16_t Fcs16(std::uint16_t fcs, ByteView data, std::uint16_t count) {
  for (std::size_t i = 0; i < count && i < data.size(); ++i) {
    fcs = static_cast<std::uint16_t>((fcs >> 8) ^ FcsTable[(fcs ^ data[i]) & 0xFFU]);
  }
  return fcs;
}

ByteString StuffBytes(ByteView data);

// Reverses StuffBytes. Only 7D 5E and 7D 5D are escapes; 7D before any other byte drops both
// bytes, and a 7D at the very end is dropped.
ByteString UnstuffBytes(ByteView data);

ByteString EncodeFrame(ByteView payload);

// Why a received buffer is not one intact frame.
enum class TFrameCheck { Ok, BadSize, BadFormat, BadChecksum };

// Checks a received frame and, when it is intact, stores its payload (possibly empty).
// Decides without telling anyone; DecodeFrame adds the user's side.
TFrameCheck CheckFrame(ByteView frame, ByteString& payload);

// The user's text for a failed check.
std::string_view FrameCheckText(TFrameCheck check);

// Shows a decode failure to the user and returns only once the user has dealt with it.
using TFrameErrorNotifier = std::function<void(std::string_view message)>;

// Returns the payload of an intact frame. Otherwise reports the failure through notify and,
// after notify has returned, yields an empty byte string.
ByteString DecodeFrame(ByteView frame, const TFrameErrorNotifier& notify);

}  // namespace ethconf
