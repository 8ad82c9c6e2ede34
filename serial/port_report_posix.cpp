#include <cstdlib>
#include <fstream>
#include <map>
#include <stdexcept>
#include <string>
#include <system_error>
#include <utility>

#include "serial/port_report.h"

namespace ethconf {

namespace {

namespace fs = std::filesystem;

// The serial core gives each of its ports a "type" attribute; 0 (unknown) marks a port the
// driver registered although no hardware answers. Devices without the attribute count as real.
bool IsRealPort(const fs::path& sysClassTty, const std::string& deviceName) {
  std::ifstream typeFile(sysClassTty / deviceName / "type");
  if (!typeFile)
    return true;
  long type = 0;
  if (!(typeFile >> type))
    return true;
  return type != 0;
}

// Where a path finally leads, for the tooltip; the path itself when that cannot be found out.
std::string DeviceBehind(const fs::path& path) {
  std::error_code error;
  const fs::path target = fs::canonical(path, error);
  return error ? path.string() : target.string();
}

bool Exists(const fs::path& path) {
  std::error_code error;
  return fs::exists(path, error);
}

}  // namespace

TPortReport ReadPortReport(const TPortReportRoots& roots) {
  std::map<std::uint16_t, std::string> ports;  // port number -> device behind it
  std::map<std::uint16_t, bool> linked;        // numbers a COM<n> link claims, dangling or not

  std::error_code error;
  for (fs::directory_iterator it(roots.Ports.PortFolder, error), end; !error && it != end;
       it.increment(error)) {
    const std::uint16_t port = PortNumberForLinkName(it->path().filename().string());
    if (port == 0)
      continue;
    std::string path;
    try {
      path = DevicePathForPort(port, roots.Ports);
    } catch (const std::runtime_error&) {
      // An unsafe port folder is never used: its links are skipped here, and opening any port
      // reports the folder.
      linked.clear();
      ports.clear();
      break;
    }
    if (fs::path(path) != it->path())
      continue;
    linked[port] = true;
    if (Exists(path))
      ports[port] = DeviceBehind(path);
  }

  for (fs::directory_iterator it(roots.Ports.DeviceFolder, error), end; !error && it != end;
       it.increment(error)) {
    const std::string name = it->path().filename().string();
    const std::uint16_t port = PortNumberForDevice(name);
    if (port == 0 || DeviceFileForPort(port) != name || linked.contains(port))
      continue;
    if (!Exists(it->path()) || !IsRealPort(roots.SysClassTty, name))
      continue;
    ports[port] = it->path().string();
  }

  TPortReport report;
  report.Found = true;
  for (const auto& [port, device] : ports) {
    std::string data = "COM";
    data += std::to_string(port);
    report.Values.push_back({device, std::move(data), true});
  }
  return report;
}

TPortReport ReadSystemPortReport() {
  return ReadPortReport({DefaultPortRoots(), "/sys/class/tty"});
}

}  // namespace ethconf
