// The fixed part of the port map: device file names and link names to and from port numbers.

#include <charconv>
#include <string>

#include "serial/port_names.h"

namespace ethconf {
namespace {

struct TDeviceFamily {
  std::string_view Prefix;
  std::uint16_t FirstPort;
};

// Each family holds 32 devices.
constexpr TDeviceFamily kFamilies[] = {{"ttyS", 1}, {"ttyUSB", 33}, {"ttyACM", 65}};
constexpr unsigned kDevicesPerFamily = 32;

// A decimal number without sign or leading zeros; false for anything else.
bool ParsePlainNumber(std::string_view text, unsigned& value) {
  if (text.empty() || (text.size() > 1 && text.front() == '0')) {
    return false;
  }
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
  return error == std::errc() && end == text.data() + text.size();
}

}  // namespace

std::uint16_t PortNumberForDevice(std::string_view deviceName) {
  const auto slash = deviceName.rfind('/');
  if (slash != std::string_view::npos) {
    deviceName.remove_prefix(slash + 1);
  }
  for (const TDeviceFamily& family : kFamilies) {
    if (!deviceName.starts_with(family.Prefix)) {
      continue;
    }
    unsigned index = 0;
    // "ttyS" is a prefix of no other family, so the first match decides.
    if (ParsePlainNumber(deviceName.substr(family.Prefix.size()), index) &&
        index < kDevicesPerFamily) {
      return static_cast<std::uint16_t>(family.FirstPort + index);
    }
    return 0;
  }
  return 0;
}

std::string DeviceFileForPort(std::uint16_t port) {
  for (const TDeviceFamily& family : kFamilies) {
    if (port >= family.FirstPort && port < family.FirstPort + kDevicesPerFamily) {
      return std::string(family.Prefix) + std::to_string(port - family.FirstPort);
    }
  }
  return {};
}

std::uint16_t PortNumberForLinkName(std::string_view linkName) {
  constexpr std::string_view kPrefix = "COM";
  unsigned number = 0;
  if (!linkName.starts_with(kPrefix) ||
      !ParsePlainNumber(linkName.substr(kPrefix.size()), number) || number == 0 || number > 65535) {
    return 0;
  }
  return static_cast<std::uint16_t>(number);
}

}  // namespace ethconf
