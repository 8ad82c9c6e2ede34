#pragma once
// A readable line per frame for the simulator's trace.

#include <chrono>
#include <cstdio>
#include <string>
#include <string_view>

#include "protocol/byte_string.h"

namespace ethconf::sim {

// What a frame means, e.g. "read config", "write period, 4 data bytes", "reply version, 23 data
// bytes", "ack config: accepted", or why it is no intact frame.
std::string DescribeFrame(ByteView frame);

// Writes trace lines stamped with the time since the trace began; does nothing when disabled.
class TSimTrace {
 public:
  explicit TSimTrace(std::FILE* out = nullptr) : m_out(out) {}
  bool Enabled() const { return m_out != nullptr; }
  // direction is "tool > sim" or "sim > tool".
  void Frame(std::string_view direction, ByteView frame);
  void Note(std::string_view text);

 private:
  std::FILE* m_out;
  std::chrono::steady_clock::time_point m_start = std::chrono::steady_clock::now();
};

}  // namespace ethconf::sim
