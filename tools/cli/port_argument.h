#pragma once
// The value of --port: "COM 5", "COM5", "5" or a device path.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace ethconf::cli {

struct TPortTarget {
  // How the tool names the port in its output: "COM 5", or the device path as given.
  std::string label;
  // The number the link is opened with. For a device path it only has to be valid.
  std::uint16_t number = 0;
  // Set for a device path: the link opens this device instead of the one the number maps to.
  std::string devicePath;

  // The label as a part of a file name: "COM5", or the path with its separators replaced.
  std::string FileLabel() const;
};

// A port number from 1 to 65535 written as "COM 5", "COM5" (letter case ignored) or "5"; any
// value with a "/" (or, on Windows, a "\") is a device path. Nothing for anything else.
std::optional<TPortTarget> ParsePortArgument(std::string_view text);

}  // namespace ethconf::cli
