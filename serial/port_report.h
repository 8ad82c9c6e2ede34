#pragma once
// The platform's serial port report: the raw values the port list is built from. Gathering
// only; port_discovery.h decides what they mean.

#include <filesystem>

#include "serial/port_discovery.h"
#include "serial/port_names.h"

namespace ethconf {

// The system's report for this user. On Windows the values of the registry key
// HARDWARE\DEVICEMAP\SERIALCOMM. On Linux one value "COM<n>" for every port number whose
// device exists under the port map, named after the device.
TPortReport ReadSystemPortReport();

// Where the Linux report looks; the tests point them at a fake tree.
struct TPortReportRoots {
  TPortRoots Ports;                   // the port folder with its COM<n> links, and /dev
  std::filesystem::path SysClassTty;  // normally /sys/class/tty
};

// The Linux report under the given roots (Windows reads the registry and ignores them). A port
// number with a COM<n> link in a safe port folder is reported when the link leads to an existing
// file, named after the link's target; otherwise the fixed device of the number is reported when it
// exists: ttyUSB<k> and ttyACM<k> always, ttyS<k> only when it is a real port (the serial driver
// registers a fixed number of them whether the hardware is there or not).
TPortReport ReadPortReport(const TPortReportRoots& roots);

}  // namespace ethconf
