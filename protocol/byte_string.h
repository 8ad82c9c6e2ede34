#pragma once
// Byte strings: frames, payloads and buffers of 8-bit bytes of any value, 0x00 included.

#include <cstdint>
#include <span>
#include <vector>

namespace ethconf {

using ByteString = std::vector<std::uint8_t>;
using ByteView = std::span<const std::uint8_t>;

}  // namespace ethconf
