#include "tools/cli/ports_command.h"

#include <exception>

#include "serial/port_discovery.h"
#include "serial/port_names.h"
#include "serial/port_report.h"
#include "tools/cli/exit_codes.h"

namespace ethconf::cli {
namespace {

// The fixed list names no devices; the port map still tells which device a number opens.
std::string MappedDevice(std::int32_t number) {
  try {
    return DeviceNameForPort(static_cast<std::uint16_t>(number));
  } catch (const std::exception&) {
    return {};
  }
}

}  // namespace

int RunPorts(const TConsole& console) {
  std::vector<TPortEntry> entries;
  try {
    entries = NewPortList(true, [] { return ReadSystemPortReport(); });
  } catch (const std::exception& e) {
    console.Error(e.what());
    return kExitPort;
  }
  for (const TPortEntry& entry : entries) {
    std::string device = entry.Device;
    if (device.empty()) {
      const std::int32_t number = PortNumberOfEntry(entry.Text);
      if (number > 0) {
        device = MappedDevice(number);
      }
    }
    console.Print(entry.Text + (device.empty() ? "" : "  " + device) + "\n");
  }
  return kExitOk;
}

}  // namespace ethconf::cli
