#pragma once
// How a port number (ComNumber) names a serial device.
//
// On Windows port n is the device "\\.\COMn".
//
// On Linux and other POSIX systems port n is, in this order:
//   1. the symbolic link "COM<n>" in the user's port folder, which a user or the module
//      simulator creates to give any device a port number. The folder is
//      $XDG_RUNTIME_DIR/ethconf/ports/, or /tmp/ethconf-<uid>/ports/ when XDG_RUNTIME_DIR is
//      unset; it is created with mode 0700 and refused when another user owns it or group or
//      others may write to it;
//   2. otherwise a fixed device: /dev/ttyS<k> is port k+1, /dev/ttyUSB<k> is port 33+k and
//      /dev/ttyACM<k> is port 65+k, for k from 0 to 31. Other numbers name no device.

#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>

namespace ethconf {

// Where the POSIX map looks; the tests point both at a fake tree.
struct TPortRoots {
  std::filesystem::path PortFolder;    // holds the COM<n> links
  std::filesystem::path DeviceFolder;  // normally /dev
};

// The device name the link opens for port n with the platform's own map (the roots below on
// POSIX). Empty when the number names no device. Throws std::runtime_error when the port folder
// exists but is unsafe.
std::string DeviceNameForPort(std::uint16_t port);

// POSIX: the roots of the map for this user, read from the environment.
TPortRoots DefaultPortRoots();
// POSIX: creates the port folder (and its missing parents, mode 0700) when it does not exist
// and checks it is safe; returns its path. Throws std::runtime_error with a clear text when it
// cannot be created or is unsafe.
std::filesystem::path PortFolder(const TPortRoots& roots = DefaultPortRoots());
// POSIX: the path for port n: the COM<n> link when it exists in a safe port folder, otherwise
// the fixed device under DeviceFolder (whether or not it exists), otherwise empty. Does not
// create the port folder; throws std::runtime_error when it exists but is unsafe.
std::string DevicePathForPort(std::uint16_t port, const TPortRoots& roots = DefaultPortRoots());

// The fixed map, for discovery: the port number of a device name such as "ttyUSB0" (a path is
// accepted, only its last part counts); 0 for a name outside the map.
std::uint16_t PortNumberForDevice(std::string_view deviceName);
// The fixed map backwards: "ttyS0" for port 1, "ttyUSB0" for 33, "ttyACM0" for 65; empty
// outside the map.
std::string DeviceFileForPort(std::uint16_t port);
// The port number of a link name "COM<n>" (n from 1 to 65535, no leading zeros); 0 otherwise.
std::uint16_t PortNumberForLinkName(std::string_view linkName);

}  // namespace ethconf
