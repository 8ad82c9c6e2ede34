#include "tools/sim/pty_endpoint.h"

#include <fcntl.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <termios.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <stdexcept>

namespace ethconf::sim {
namespace {

[[noreturn]] void ThrowSystemError(const std::string& what) {
  throw std::runtime_error(what + ": " + std::strerror(errno));
}

}  // namespace

TPtyEndpoint::TPtyEndpoint() {
  m_master = posix_openpt(O_RDWR | O_NOCTTY | O_CLOEXEC);
  if (m_master < 0) {
    ThrowSystemError("posix_openpt");
  }
  char name[128];
  if (grantpt(m_master) != 0 || unlockpt(m_master) != 0 ||
      ptsname_r(m_master, name, sizeof name) != 0) {
    const int saved = errno;
    close(m_master);
    errno = saved;
    ThrowSystemError("pseudo-terminal set-up");
  }
  m_slaveName = name;
  m_slave = open(name, O_RDWR | O_NOCTTY | O_CLOEXEC);
  termios settings{};
  if (m_slave < 0 || tcgetattr(m_slave, &settings) != 0) {
    const int saved = errno;
    HangUp();
    errno = saved;
    ThrowSystemError(m_slaveName);
  }
  cfmakeraw(&settings);
  if (tcsetattr(m_slave, TCSANOW, &settings) != 0 ||
      fcntl(m_master, F_SETFL, fcntl(m_master, F_GETFL) | O_NONBLOCK) != 0) {
    const int saved = errno;
    HangUp();
    errno = saved;
    ThrowSystemError(m_slaveName);
  }
}

TPtyEndpoint::~TPtyEndpoint() {
  HangUp();
}

int TPtyEndpoint::UnreadAtSlave() const {
  int unread = 0;
  if (m_slave < 0 || ioctl(m_slave, FIONREAD, &unread) != 0) {
    return 0;
  }
  return unread;
}

void TPtyEndpoint::HangUp() {
  if (m_master >= 0) {
    close(m_master);
    m_master = -1;
  }
  if (m_slave >= 0) {
    close(m_slave);
    m_slave = -1;
  }
}

TPortLink::TPortLink(const std::filesystem::path& folder, const std::string& device, int port)
    : m_device(device) {
  if (port < 0 || port > 65535) {
    throw std::runtime_error("port number " + std::to_string(port) + " is outside 1 to 65535");
  }
  const int first = port == 0 ? kFirstAutomaticPort : port;
  const int last = port == 0 ? 65535 : port;
  for (int number = first; number <= last; ++number) {
    const std::filesystem::path path = folder / ("COM" + std::to_string(number));
    for (int attempt = 0; attempt < 2; ++attempt) {
      if (symlink(device.c_str(), path.c_str()) == 0) {
        m_path = path;
        m_number = number;
        return;
      }
      if (errno != EEXIST) {
        ThrowSystemError(path.string());
      }
      // A link whose device has gone was left by a simulator that did not end cleanly.
      struct stat target {};
      if (stat(path.c_str(), &target) == 0 || errno != ENOENT || unlink(path.c_str()) != 0) {
        break;
      }
    }
  }
  if (port != 0) {
    throw std::runtime_error("COM" + std::to_string(port) + " is already taken in " +
                             folder.string());
  }
  throw std::runtime_error("no free port number in " + folder.string());
}

TPortLink::~TPortLink() {
  char target[4096];
  const ssize_t length = readlink(m_path.c_str(), target, sizeof target - 1);
  if (length >= 0 && std::string(target, static_cast<std::size_t>(length)) == m_device) {
    unlink(m_path.c_str());
  }
}

}  // namespace ethconf::sim
