#pragma once
// The serial link's own error texts.

namespace ethconf::link_texts {

inline constexpr const char* kBadId = "ie_BadId - Specified comport doesn't exist";
inline constexpr const char* kAlreadyOpen = "ie_Open - device already open";
inline constexpr const char* kNotOpen = "ie_NOpen - device not open";
inline constexpr const char* kBufferEmpty = "Buffer is empty";
inline constexpr const char* kOutputTooSmall = "Output buffer too small for block";
inline constexpr const char* kReadError = "Device read error";
inline constexpr const char* kWriteError = "Device write error";

}  // namespace ethconf::link_texts
