#pragma once
// The protocol's constants: the frame's fixed bytes, then the request codes and object ids.

#include <cstddef>
#include <cstdint>

namespace ethconf {

inline constexpr std::uint8_t FrameFlag = 0x7E;
inline constexpr std::uint8_t FrameAddress = 0xFF;
inline constexpr std::uint8_t FrameControl = 0x03;
inline constexpr std::uint8_t FrameProtocol = 0x12;
inline constexpr std::uint16_t FcsInit = 0xFFFF;
inline constexpr std::uint16_t FcsGood = 0xF0B8;
inline constexpr std::uint8_t FrameEscape = 0x7D;

inline constexpr std::uint8_t CmdRead = 0x02;
inline constexpr std::uint8_t CmdWrite = 0x03;
inline constexpr std::uint8_t CmdReply = 0x04;

inline constexpr std::uint8_t ObjVersion = 0x00;
inline constexpr std::uint8_t ObjStatus = 0x01;
inline constexpr std::uint8_t ObjConfig = 0x02;
inline constexpr std::uint8_t ObjToken = 0x03;
inline constexpr std::uint8_t ObjREST = 0x04;
inline constexpr std::uint8_t ObjPeriod = 0x05;
inline constexpr std::uint8_t ObjNTP = 0x06;
inline constexpr std::uint8_t ObjPassword = 0x07;
inline constexpr std::uint8_t ObjFactorySettings = 0x08;

// The longest reply is a TEthREST image: code, object id and 240 data bytes, behind the three
// header bytes and ahead of the two FCS bytes. Stuffed in the worst case every one of those bytes
// doubles; the two flags come on top. Longer input can never be a reply of this module.
inline constexpr std::size_t kLongestReplyPayload = 2 + 240;
inline constexpr std::size_t kMaxFrameLength = 1 + 2 * (3 + kLongestReplyPayload + 2) + 1;
static_assert(kMaxFrameLength == 496);

// Shortest input that can hold a frame: two flags, three header bytes, two FCS bytes and one more.
inline constexpr std::size_t kMinFrameLength = 8;

}  // namespace ethconf
