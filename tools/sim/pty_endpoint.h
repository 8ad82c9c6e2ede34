#pragma once
// The simulator's end of a pseudo-terminal, and the port number that lets the tool find the other
// end.

#include <filesystem>
#include <string>

namespace ethconf::sim {

// A pseudo-terminal pair. The simulator talks through the master; the tool opens the slave by
// its device name. The simulator keeps a descriptor of the slave open itself, so the master never
// sees the hang-up that would otherwise come each time the tool closes its port.
class TPtyEndpoint {
 public:
  // Opens the pair with the slave in raw mode and the master non-blocking. Throws
  // std::runtime_error with the system's text on failure.
  TPtyEndpoint();
  ~TPtyEndpoint();
  TPtyEndpoint(const TPtyEndpoint&) = delete;
  TPtyEndpoint& operator=(const TPtyEndpoint&) = delete;

  int Master() const { return m_master; }
  const std::string& SlaveName() const { return m_slaveName; }

  // Bytes sent through the master that the slave's reader has not taken yet.
  int UnreadAtSlave() const;

  // Closes both ends, so whoever holds the slave sees the line hang up.
  void HangUp();

 private:
  int m_master = -1;
  int m_slave = -1;
  std::string m_slaveName;
};

// The link "COM<n>" in the port folder that gives a device a port number; removed again on
// destruction if it still points at that device.
class TPortLink {
 public:
  // The first number tried when none is asked for.
  static constexpr int kFirstAutomaticPort = 100;

  // Links the device as port number port, or as the first free number from kFirstAutomaticPort
  // up when port is 0. A link left behind by an earlier run whose device is gone is replaced.
  // Throws std::runtime_error when the number is taken or the link cannot be made.
  TPortLink(const std::filesystem::path& folder, const std::string& device, int port);
  ~TPortLink();
  TPortLink(const TPortLink&) = delete;
  TPortLink& operator=(const TPortLink&) = delete;

  int Number() const { return m_number; }
  const std::filesystem::path& Path() const { return m_path; }

 private:
  std::filesystem::path m_path;
  std::string m_device;
  int m_number = 0;
};

}  // namespace ethconf::sim
