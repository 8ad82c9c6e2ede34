// The serial device on POSIX systems: a terminal device in raw mode, waited on with poll().

#include <fcntl.h>
#include <poll.h>
#include <sys/eventfd.h>
#include <sys/file.h>
#include <sys/ioctl.h>
#include <termios.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <utility>

#include "protocol/sequencer_ports.h"
#include "serial/link_texts.h"
#include "serial/serial_device.h"

namespace ethconf {
namespace {

// A file descriptor closed when it goes.
class TFd {
 public:
  explicit TFd(int fd = -1) : m_fd(fd) {}
  ~TFd() {
    if (m_fd >= 0) {
      ::close(m_fd);
    }
  }
  TFd(const TFd&) = delete;
  TFd& operator=(const TFd&) = delete;
  int Get() const { return m_fd; }
  int Release() { return std::exchange(m_fd, -1); }

 private:
  int m_fd;
};

speed_t SpeedFor(std::uint32_t baud) {
  switch (baud) {
    case 1200:
      return B1200;
    case 2400:
      return B2400;
    case 4800:
      return B4800;
    case 9600:
      return B9600;
    case 19200:
      return B19200;
    case 38400:
      return B38400;
    case 57600:
      return B57600;
    case 115200:
      return B115200;
    case 230400:
      return B230400;
    case 460800:
      return B460800;
    case 921600:
      return B921600;
    default:
      return B0;
  }
}

std::string SystemErrorText(const std::string& what, const std::string& name, int error) {
  return what + " " + name + ": " + std::strerror(error);
}

// An event descriptor that stays readable once signalled, until drained.
void Signal(int eventFd) {
  const std::uint64_t one = 1;
  while (::write(eventFd, &one, sizeof one) < 0 && errno == EINTR) {
  }
}

void Drain(int eventFd) {
  std::uint64_t value = 0;
  while (::read(eventFd, &value, sizeof value) < 0 && errno == EINTR) {
  }
}

class TPosixSerialDevice final : public ISerialDevice {
 public:
  TPosixSerialDevice(int fd, int stopFd, int writerFd)
      : m_fd(fd), m_stopFd(stopFd), m_writerFd(writerFd) {}
  // The exclusive mode belongs to the terminal, not to our descriptor, and a pseudo-terminal
  // outlives us: hand the device back as we found it.
  ~TPosixSerialDevice() override { ::ioctl(m_fd.Get(), TIOCNXCL); }

  int Fd() const { return m_fd.Get(); }

  TWait WaitForInput() override {
    pollfd fds[2] = {{m_fd.Get(), POLLIN, 0}, {m_stopFd.Get(), POLLIN, 0}};
    for (;;) {
      const int ready = ::poll(fds, 2, -1);
      if (ready < 0 && errno == EINTR) {
        continue;
      }
      if (ready < 0 || (fds[1].revents & POLLIN) != 0) {
        return TWait::Interrupted;
      }
      // A line that has gone stays readable (with nothing to read) for good. The reader still
      // takes whatever arrived before it reports the failure.
      if ((fds[0].revents & (POLLHUP | POLLERR | POLLNVAL)) != 0) {
        return TWait::HungUp;
      }
      return TWait::Ready;
    }
  }

  TWait WaitForOutput(std::chrono::milliseconds limit) override {
    pollfd fds[3] = {
        {m_fd.Get(), POLLOUT, 0}, {m_stopFd.Get(), POLLIN, 0}, {m_writerFd.Get(), POLLIN, 0}};
    int ready = ::poll(fds, 3, static_cast<int>(limit.count()));
    if (ready < 0 && errno == EINTR) {
      return TWait::TimedOut;
    }
    if (ready < 0 || (fds[1].revents & POLLIN) != 0) {
      return TWait::Interrupted;
    }
    if ((fds[2].revents & POLLIN) != 0) {
      Drain(m_writerFd.Get());
      return TWait::Interrupted;
    }
    if (ready == 0) {
      return TWait::TimedOut;
    }
    if ((fds[0].revents & POLLOUT) != 0) {
      return TWait::Ready;
    }
    return TWait::HungUp;
  }

  TTransfer Read(std::span<std::uint8_t> into) override {
    for (;;) {
      const ssize_t count = ::read(m_fd.Get(), into.data(), into.size());
      if (count >= 0) {
        return {static_cast<std::size_t>(count), false};
      }
      if (errno == EINTR) {
        continue;
      }
      if (errno == EAGAIN || errno == EWOULDBLOCK) {
        return {};
      }
      return {0, true};
    }
  }

  TTransfer Write(ByteView data) override {
    for (;;) {
      const ssize_t count = ::write(m_fd.Get(), data.data(), data.size());
      if (count >= 0) {
        return {static_cast<std::size_t>(count), false};
      }
      if (errno == EINTR) {
        continue;
      }
      if (errno == EAGAIN || errno == EWOULDBLOCK) {
        return {};
      }
      return {0, true};
    }
  }

  void PurgeInput() override { ::tcflush(m_fd.Get(), TCIFLUSH); }
  void PurgeOutput() override { ::tcflush(m_fd.Get(), TCOFLUSH); }
  void Interrupt() override { Signal(m_stopFd.Get()); }
  void WakeWriter() override { Signal(m_writerFd.Get()); }

 private:
  TFd m_fd;
  TFd m_stopFd;
  TFd m_writerFd;
};

// Raw 8N1 at the given speed, no flow control of any kind, reads that return at once.
void Configure(int fd, const std::string& name, const TLineSettings& settings) {
  const speed_t speed = SpeedFor(settings.Baud);
  if (speed == B0) {
    throw TLinkError("ie_Baudrate - unsupported baud rate " + std::to_string(settings.Baud) +
                     " for " + name);
  }
  termios tio{};
  if (::tcgetattr(fd, &tio) != 0) {
    throw TLinkError(SystemErrorText("ie_Config - cannot configure", name, errno));
  }
  ::cfmakeraw(&tio);
  tio.c_cflag &= ~static_cast<tcflag_t>(CSIZE | PARENB | CSTOPB | CRTSCTS);
  tio.c_cflag |= CS8 | CREAD | CLOCAL;
  tio.c_iflag &= ~static_cast<tcflag_t>(IXON | IXOFF | IXANY | INPCK);
  tio.c_iflag |= IGNBRK;
  tio.c_cc[VMIN] = 0;
  tio.c_cc[VTIME] = 0;
  tio.c_cc[VSTART] = 0x11;
  tio.c_cc[VSTOP] = 0x13;
  ::cfsetispeed(&tio, speed);
  ::cfsetospeed(&tio, speed);
  if (::tcsetattr(fd, TCSANOW, &tio) != 0) {
    throw TLinkError(SystemErrorText("ie_Config - cannot configure", name, errno));
  }
  // The modem lines are plain levels. A pseudo-terminal has none, so a refusal is ignored.
  int dtr = TIOCM_DTR;
  int rts = TIOCM_RTS;
  ::ioctl(fd, settings.DTR ? TIOCMBIS : TIOCMBIC, &dtr);
  ::ioctl(fd, settings.RTS ? TIOCMBIS : TIOCMBIC, &rts);
  // The port starts empty: whatever arrived before the line was configured is not ours.
  ::tcflush(fd, TCIOFLUSH);
}

}  // namespace

std::string OpenErrorText(const std::string& name, int systemError) {
  switch (systemError) {
    case ENOENT:
    case ENOTDIR:
    case ENXIO:
    case ENODEV:
      return link_texts::kBadId;
    case EBUSY:
    case EWOULDBLOCK:
      return link_texts::kAlreadyOpen;
    case EACCES:
    case EPERM:
      return "ie_Access - no permission to open " + name + " (is the user in the dialout group?)";
    default:
      return SystemErrorText("ie_Open - cannot open", name, systemError);
  }
}

std::unique_ptr<ISerialDevice> OpenSerialDevice(const std::string& name,
                                                const TLineSettings& settings) {
  if (name.empty()) {
    throw TLinkError(link_texts::kBadId);
  }
  TFd fd(::open(name.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC));
  if (fd.Get() < 0) {
    throw TLinkError(OpenErrorText(name, errno));
  }
  if (::isatty(fd.Get()) == 0) {
    throw TLinkError("ie_Open - " + name + " is not a serial device");
  }
  // Not shared: the advisory lock keeps out other programs that respect it (and holds even for
  // the superuser, whom the exclusive mode does not stop); the exclusive mode keeps out the rest.
  if (::flock(fd.Get(), LOCK_EX | LOCK_NB) != 0) {
    throw TLinkError(OpenErrorText(name, errno));
  }
  TFd stopFd(::eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK));
  TFd writerFd(::eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK));
  if (stopFd.Get() < 0 || writerFd.Get() < 0) {
    throw TLinkError(SystemErrorText("ie_Open - cannot open", name, errno));
  }
  if (::ioctl(fd.Get(), TIOCEXCL) != 0) {
    throw TLinkError(OpenErrorText(name, errno));
  }
  // From here on the device object owns the descriptor, so a failed configuration still hands
  // the exclusive mode back.
  auto device =
      std::make_unique<TPosixSerialDevice>(fd.Release(), stopFd.Release(), writerFd.Release());
  Configure(device->Fd(), name, settings);
  return device;
}

}  // namespace ethconf
