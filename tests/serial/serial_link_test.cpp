// The serial link against a pseudo-terminal: the test plays the module on the master side.

#include <fcntl.h>
#include <poll.h>
#include <pty.h>
#include <sys/file.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <condition_variable>
#include <cstring>
#include <filesystem>
#include <memory>
#include <mutex>
#include <stdexcept>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "serial/headless_event_loop.h"
#include "serial/link_texts.h"
#include "serial/serial_device.h"
#include "serial/serial_link.h"

namespace ethconf {
namespace {

using namespace std::chrono_literals;
using TClock = std::chrono::steady_clock;

constexpr std::uint16_t kPort = 7;

// The loop, counting what the link posts so a test can wait until a notification is on its way.
class TCountingQueue final : public IMainThreadQueue {
 public:
  explicit TCountingQueue(THeadlessEventLoop& loop) : m_loop(loop) {}
  void Post(std::function<void()> task) override {
    {
      std::lock_guard lock(m_mutex);
      ++m_posts;
    }
    m_posted.notify_all();
    m_loop.Post(std::move(task));
  }
  void ProcessPending() override { m_loop.ProcessPending(); }
  bool WaitForPosts(int count) {
    std::unique_lock lock(m_mutex);
    return m_posted.wait_for(lock, 10s, [&] { return m_posts >= count; });
  }

 private:
  THeadlessEventLoop& m_loop;
  std::mutex m_mutex;
  std::condition_variable m_posted;
  int m_posts = 0;
};

ByteString Bytes(std::string_view text) {
  return ByteString(text.begin(), text.end());
}

std::string LinkErrorOf(const std::function<void()>& call) {
  try {
    call();
  } catch (const TLinkError& error) {
    return error.what();
  }
  return "(no error)";
}

class SerialLinkTest : public ::testing::Test {
 protected:
  void SetUp() override {
    int slave = -1;
    ASSERT_EQ(::openpty(&m_master, &slave, nullptr, nullptr, nullptr), 0);
    // The test keeps its own slave descriptor, so the master stays usable between opens.
    m_slave = slave;
    m_slavePath = ::ttyname(slave);
    ASSERT_EQ(::fcntl(m_master, F_SETFL, ::fcntl(m_master, F_GETFL) | O_NONBLOCK), 0);
    m_link = std::make_unique<TSerialLink>(m_queue, [this](std::uint16_t port) {
      return port == kPort ? m_slavePath : std::string();
    });
    m_link->SetComNumber(kPort);
    TLinkEvents events;
    events.OnPortOpen = [this] { ++m_opened; };
    events.OnPortClose = [this] { ++m_closed; };
    events.OnTriggerAvail = [this](std::uint16_t count) { OnData(count); };
    m_link->SetEvents(events);
    m_link->SetOnFailure([this](const std::string& text) { m_failures.push_back(text); });
  }

  void TearDown() override {
    m_link.reset();
    if (m_master >= 0) {
      ::close(m_master);
    }
    ::close(m_slave);
  }

  // Takes up to m_takeLimit bytes of each notification (all when negative).
  void OnData(std::uint16_t count) {
    m_counts.push_back(count);
    int taken = 0;
    while ((m_takeLimit < 0 || taken < m_takeLimit) && m_link->CharReady()) {
      m_taken.push_back(static_cast<char>(m_link->GetChar()));
      ++taken;
    }
    if (m_takeLimit < 0) {
      m_emptyAfterAll = LinkErrorOf([this] { m_link->GetChar(); }) == link_texts::kBufferEmpty;
    }
  }

  // The module sends.
  void Send(std::string_view bytes) {
    ASSERT_EQ(::write(m_master, bytes.data(), bytes.size()), static_cast<ssize_t>(bytes.size()));
  }

  // What the module receives: waits on the master until count bytes came or the limit passed.
  std::string Receive(std::size_t count, std::chrono::milliseconds limit = 10s) {
    std::string got;
    const TClock::time_point deadline = TClock::now() + limit;
    while (got.size() < count) {
      const auto left =
          std::chrono::duration_cast<std::chrono::milliseconds>(deadline - TClock::now());
      pollfd fd{m_master, POLLIN, 0};
      if (left.count() <= 0 || ::poll(&fd, 1, static_cast<int>(left.count())) <= 0) {
        break;
      }
      char buffer[4096];
      const ssize_t n = ::read(m_master, buffer, sizeof buffer);
      if (n <= 0) {
        break;
      }
      got.append(buffer, static_cast<std::size_t>(n));
    }
    return got;
  }

  bool RunUntil(const std::function<bool()>& done, std::chrono::milliseconds limit = 10s) {
    return m_loop.RunUntil(done, limit);
  }

  THeadlessEventLoop m_loop;
  TCountingQueue m_queue{m_loop};
  int m_master = -1;
  int m_slave = -1;
  std::string m_slavePath;
  std::unique_ptr<TSerialLink> m_link;
  int m_opened = 0;
  int m_closed = 0;
  std::vector<std::uint16_t> m_counts;
  std::string m_taken;
  int m_takeLimit = -1;
  bool m_emptyAfterAll = false;
  std::vector<std::string> m_failures;
};

TEST_F(SerialLinkTest, OpenAndCloseRaiseTheirEventsInsideTheCalls) {
  bool openInsideHandler = false;
  bool closedInsideHandler = true;
  TLinkEvents events;
  events.OnPortOpen = [&] {
    ++m_opened;
    openInsideHandler = m_link->Open();
    m_link->PutString(Bytes("hello"));
  };
  events.OnPortClose = [&] {
    ++m_closed;
    closedInsideHandler = m_link->Open();
  };
  m_link->SetEvents(events);

  m_link->SetOpen(true);
  EXPECT_EQ(m_opened, 1);
  EXPECT_TRUE(openInsideHandler);
  EXPECT_TRUE(m_link->Open());
  EXPECT_EQ(Receive(5), "hello");

  m_link->SetOpen(true);
  EXPECT_EQ(m_opened, 1);

  m_link->SetOpen(false);
  EXPECT_EQ(m_closed, 1);
  EXPECT_FALSE(closedInsideHandler);
  EXPECT_FALSE(m_link->Open());

  m_link->SetOpen(false);
  EXPECT_EQ(m_closed, 1);
  EXPECT_EQ(m_opened, 1);

  // The port can be opened again after a close.
  m_link->SetOpen(true);
  EXPECT_EQ(Receive(5), "hello");
  m_link->SetOpen(false);
  EXPECT_EQ(m_opened, 2);
  EXPECT_EQ(m_closed, 2);
}

TEST_F(SerialLinkTest, PortNumberThroughTheLinkFolder) {
  char pattern[] = "/tmp/ethconf-linkmap-XXXXXX";
  ASSERT_NE(::mkdtemp(pattern), nullptr);
  const std::filesystem::path root = pattern;
  const TPortRoots roots{root / "ports", root / "dev"};
  std::filesystem::create_symlink(m_slavePath, PortFolder(roots) / "COM12");
  TSerialLink link(m_queue, [&](std::uint16_t port) { return DevicePathForPort(port, roots); });
  link.SetComNumber(12);
  link.SetOpen(true);
  link.PutString(Bytes("via link"));
  EXPECT_EQ(Receive(8), "via link");
  link.SetOpen(false);
  // A number without a link falls back to the (here missing) fixed device.
  link.SetComNumber(1);
  EXPECT_EQ(LinkErrorOf([&] { link.SetOpen(true); }), link_texts::kBadId);
  std::filesystem::remove_all(root);
}

TEST_F(SerialLinkTest, OpenFailuresLeaveThePortClosedWithoutEvents) {
  m_link->SetComNumber(0);
  EXPECT_EQ(LinkErrorOf([&] { m_link->SetOpen(true); }), link_texts::kBadId);
  m_link->SetComNumber(kPort + 1);
  EXPECT_EQ(LinkErrorOf([&] { m_link->SetOpen(true); }), link_texts::kBadId);

  TSerialLink missing(m_queue, [](std::uint16_t) { return std::string("/dev/ethconf-no-such"); });
  missing.SetComNumber(3);
  EXPECT_EQ(LinkErrorOf([&] { missing.SetOpen(true); }), link_texts::kBadId);
  EXPECT_FALSE(missing.Open());

  TSerialLink notSerial(m_queue, [](std::uint16_t) { return std::string("/dev/null"); });
  notSerial.SetComNumber(3);
  EXPECT_NE(LinkErrorOf([&] { notSerial.SetOpen(true); }).find("/dev/null"), std::string::npos);

  EXPECT_FALSE(m_link->Open());
  EXPECT_EQ(m_opened, 0);
  EXPECT_EQ(m_closed, 0);
  for (const auto& call :
       std::vector<std::function<void()>>{[&] { m_link->CharReady(); }, [&] { m_link->GetChar(); },
                                          [&] { m_link->PutString(Bytes("x")); }}) {
    EXPECT_EQ(LinkErrorOf(call), link_texts::kNotOpen);
  }
}

TEST_F(SerialLinkTest, PortHeldByAnotherProgramIsAlreadyOpen) {
  {
    const int other = ::open(m_slavePath.c_str(), O_RDWR | O_NOCTTY);
    ASSERT_GE(other, 0);
    ASSERT_EQ(::flock(other, LOCK_EX | LOCK_NB), 0);
    EXPECT_EQ(LinkErrorOf([&] { m_link->SetOpen(true); }), link_texts::kAlreadyOpen);
    EXPECT_FALSE(m_link->Open());
    ::close(other);
  }
  // The exclusive mode alone keeps out everyone but the superuser.
  if (::geteuid() != 0) {
    const int other = ::open(m_slavePath.c_str(), O_RDWR | O_NOCTTY);
    ASSERT_GE(other, 0);
    ASSERT_EQ(::ioctl(other, TIOCEXCL), 0);
    EXPECT_EQ(LinkErrorOf([&] { m_link->SetOpen(true); }), link_texts::kAlreadyOpen);
    ::ioctl(other, TIOCNXCL);
    ::close(other);
  }
  // A second link on the same port while the first holds it.
  m_link->SetOpen(true);
  TSerialLink second(m_queue, [this](std::uint16_t) { return m_slavePath; });
  second.SetComNumber(kPort);
  EXPECT_EQ(LinkErrorOf([&] { second.SetOpen(true); }), link_texts::kAlreadyOpen);
  m_link->SetOpen(false);
  second.SetOpen(true);
  EXPECT_TRUE(second.Open());
  second.SetOpen(false);
}

TEST_F(SerialLinkTest, ExclusiveModeLastsOnlyWhileOpen) {
  const auto exclusive = [this] {
    int value = -1;
    EXPECT_EQ(::ioctl(m_slave, TIOCGEXCL, &value), 0);
    return value;
  };
  EXPECT_EQ(exclusive(), 0);
  m_link->SetOpen(true);
  EXPECT_EQ(exclusive(), 1);
  m_link->SetOpen(false);
  EXPECT_EQ(exclusive(), 0);

  // A configuration the device refuses fails the open and leaves the device as it was.
  TLineSettings settings;
  settings.Baud = 12345;
  m_link->SetLineSettings(settings);
  const std::string error = LinkErrorOf([&] { m_link->SetOpen(true); });
  EXPECT_NE(error.find("12345"), std::string::npos) << error;
  EXPECT_FALSE(m_link->Open());
  EXPECT_EQ(exclusive(), 0);
  EXPECT_EQ(m_opened, 1);
}

TEST(SerialDeviceErrors, RefusalsHaveTheirOwnTexts) {
  EXPECT_EQ(OpenErrorText("/dev/ttyUSB0", ENOENT), link_texts::kBadId);
  EXPECT_EQ(OpenErrorText("/dev/ttyUSB0", ENXIO), link_texts::kBadId);
  EXPECT_EQ(OpenErrorText("/dev/ttyUSB0", EBUSY), link_texts::kAlreadyOpen);
  EXPECT_EQ(OpenErrorText("/dev/ttyUSB0", EWOULDBLOCK), link_texts::kAlreadyOpen);
  EXPECT_EQ(OpenErrorText("/dev/ttyUSB0", EACCES),
            "ie_Access - no permission to open /dev/ttyUSB0 (is the user in the dialout group?)");
  const std::string other = OpenErrorText("/dev/ttyUSB0", EIO);
  EXPECT_NE(other.find("/dev/ttyUSB0"), std::string::npos);
  EXPECT_NE(other, link_texts::kAlreadyOpen);
}

TEST(SerialDeviceErrors, PermissionRefusalNamesTheDevice) {
  if (::geteuid() == 0) {
    GTEST_SKIP() << "the superuser is never refused";
  }
  char path[] = "/tmp/ethconf-noaccess-XXXXXX";
  const int fd = ::mkstemp(path);
  ASSERT_GE(fd, 0);
  ::close(fd);
  ASSERT_EQ(::chmod(path, 0), 0);
  EXPECT_EQ(LinkErrorOf([&] { OpenSerialDevice(path, TLineSettings{}); }),
            OpenErrorText(path, EACCES));
  ::unlink(path);
}

TEST_F(SerialLinkTest, OpenHandlerErrorUndoesTheOpen) {
  TLinkEvents events;
  events.OnPortOpen = [] { throw std::runtime_error("handler failed"); };
  events.OnPortClose = [this] { ++m_closed; };
  m_link->SetEvents(events);
  EXPECT_THROW(m_link->SetOpen(true), std::runtime_error);
  EXPECT_FALSE(m_link->Open());
  EXPECT_EQ(m_closed, 0);
  // Nothing stays held.
  events.OnPortOpen = [this] { ++m_opened; };
  m_link->SetEvents(events);
  m_link->SetOpen(true);
  EXPECT_EQ(m_opened, 1);
  m_link->SetOpen(false);
}

TEST_F(SerialLinkTest, PiecesAreNotifiedWithAllUnreadBytes) {
  m_link->SetOpen(true);
  Send("ab");
  ASSERT_TRUE(RunUntil([&] { return m_counts.size() == 1; }));
  Send(std::string("c\0e", 3));
  ASSERT_TRUE(RunUntil([&] { return m_taken.size() == 5; }));
  EXPECT_EQ(m_counts, (std::vector<std::uint16_t>{2, 3}));
  EXPECT_EQ(m_taken, std::string("abc\0e", 5));
  EXPECT_TRUE(m_emptyAfterAll);
  EXPECT_FALSE(m_link->CharReady());
  EXPECT_EQ(LinkErrorOf([&] { m_link->GetChar(); }), link_texts::kBufferEmpty);
  m_link->SetOpen(false);
}

TEST_F(SerialLinkTest, UntakenBytesWaitForMoreAndAreCountedAgain) {
  m_link->SetOpen(true);
  m_takeLimit = 1;
  Send("abc");
  ASSERT_TRUE(RunUntil([&] { return m_counts.size() == 1; }));
  EXPECT_EQ(m_counts[0], 3);
  EXPECT_EQ(m_taken, "a");
  // Nothing new arrived, so nothing is notified.
  EXPECT_FALSE(RunUntil([&] { return m_counts.size() > 1; }, 300ms));
  m_takeLimit = -1;
  Send("d");
  ASSERT_TRUE(RunUntil([&] { return m_counts.size() == 2; }));
  EXPECT_EQ(m_counts[1], 3);
  EXPECT_EQ(m_taken, "abcd");
  m_link->SetOpen(false);
}

TEST_F(SerialLinkTest, LongReplyIsHandedOverCompletely) {
  m_link->SetOpen(true);
  std::string reply;
  for (int i = 0; i < 3000; ++i) {
    reply.push_back(static_cast<char>(i * 7));
  }
  Send(reply);
  ASSERT_TRUE(RunUntil([&] { return m_taken.size() == reply.size(); }));
  EXPECT_EQ(m_taken, reply);
  for (const std::uint16_t count : m_counts) {
    EXPECT_GE(count, 1);
  }
  m_link->SetOpen(false);
}

TEST_F(SerialLinkTest, FullReceiveBufferKeepsTheRestUntilThereIsRoom) {
  m_link->SetOpen(true);
  m_takeLimit = 0;
  std::string sent;
  for (int i = 0; i < 10000; ++i) {
    sent.push_back(static_cast<char>('a' + i % 26));
  }
  for (std::size_t done = 0; done < sent.size();) {
    pollfd fd{m_master, POLLOUT, 0};
    ASSERT_EQ(::poll(&fd, 1, 10000), 1);
    const ssize_t n = ::write(m_master, sent.data() + done, sent.size() - done);
    ASSERT_GT(n, 0);
    done += static_cast<std::size_t>(n);
  }
  ASSERT_TRUE(RunUntil([&] { return !m_counts.empty() && m_counts.back() == 8192; }));
  // The handler left everything; the next byte brings a notification of the full buffer, and
  // once it is taken the held-back rest follows.
  m_takeLimit = -1;
  Send("!");
  sent.push_back('!');
  ASSERT_TRUE(RunUntil([&] { return m_taken.size() == sent.size(); }));
  EXPECT_EQ(m_taken, sent);
  m_link->SetOpen(false);
}

TEST_F(SerialLinkTest, HandlerErrorsReachTheLoopAndTheLinkGoesOn) {
  TLinkEvents events;
  int calls = 0;
  events.OnTriggerAvail = [&](std::uint16_t count) {
    ++calls;
    for (std::uint16_t i = 0; i < count; ++i) {
      m_taken.push_back(static_cast<char>(m_link->GetChar()));
    }
    throw std::runtime_error("handler " + std::to_string(calls));
  };
  events.OnPortClose = [this] { ++m_closed; };
  m_link->SetEvents(events);
  m_link->SetOpen(true);
  Send("ab");
  EXPECT_THROW(RunUntil([&] { return false; }, 10s), std::runtime_error);
  EXPECT_EQ(m_taken, "ab");
  Send("c");
  EXPECT_THROW(RunUntil([&] { return false; }, 10s), std::runtime_error);
  EXPECT_EQ(m_taken, "abc");
  // An error of a handler that runs inside the close comes out of it after the close is done.
  Send("d");
  ASSERT_TRUE(m_queue.WaitForPosts(3));
  EXPECT_THROW(m_link->SetOpen(false), std::runtime_error);
  EXPECT_FALSE(m_link->Open());
  EXPECT_EQ(m_closed, 1);
  EXPECT_EQ(calls, 3);
}

TEST_F(SerialLinkTest, CloseInsideTheDataHandlerCompletesThere) {
  bool insideHandler = false;
  bool closedInsideHandler = false;
  int notifications = 0;
  TLinkEvents events;
  events.OnTriggerAvail = [&](std::uint16_t) {
    ++notifications;
    insideHandler = true;
    while (m_link->CharReady()) {
      m_link->GetChar();
    }
    m_link->SetOpen(false);
    insideHandler = false;
  };
  events.OnPortClose = [&] { closedInsideHandler = insideHandler; };
  m_link->SetEvents(events);
  m_link->SetOpen(true);
  Send("reply");
  const TClock::time_point sent = TClock::now();
  ASSERT_TRUE(RunUntil([&] { return !m_link->Open(); }, 30s));
  RecordProperty(
      "close_inside_handler_ms",
      static_cast<int>(
          std::chrono::duration_cast<std::chrono::milliseconds>(TClock::now() - sent).count()));
  EXPECT_TRUE(closedInsideHandler);
  EXPECT_EQ(notifications, 1);
  Send("late");
  EXPECT_FALSE(RunUntil([&] { return notifications > 1; }, 200ms));
}

TEST_F(SerialLinkTest, NotificationOnItsWayAtCloseFindsNothingReady) {
  bool ready = true;
  std::uint8_t byte = 0xFF;
  std::uint16_t notified = 0;
  bool closeBeforeHandler = false;
  TLinkEvents events;
  events.OnTriggerAvail = [&](std::uint16_t count) {
    notified = count;
    ready = m_link->CharReady();
    byte = m_link->GetChar();
  };
  events.OnPortClose = [&] { closeBeforeHandler = notified == 0; };
  m_link->SetEvents(events);
  m_link->SetOpen(true);
  Send("abc");
  ASSERT_TRUE(m_queue.WaitForPosts(1));
  m_link->SetOpen(false);
  EXPECT_EQ(notified, 3);
  EXPECT_FALSE(ready);
  EXPECT_EQ(byte, 0);
  EXPECT_FALSE(closeBeforeHandler);
}

TEST_F(SerialLinkTest, OutputBufferHoldsExactlyOutSize) {
  m_link->SetOpen(true);
  EXPECT_EQ(LinkErrorOf([&] { m_link->PutString(ByteString(4097, 'x')); }),
            link_texts::kOutputTooSmall);
  ByteString block(4096);
  for (std::size_t i = 0; i < block.size(); ++i) {
    block[i] = static_cast<std::uint8_t>(i % 251);
  }
  m_link->PutString(block);
  // The buffer is full until the writer has taken the block.
  m_link->PutString(ByteView());
  const std::string got = Receive(4096);
  ASSERT_EQ(got.size(), 4096u);
  EXPECT_TRUE(std::equal(block.begin(), block.end(), got.begin(),
                         [](std::uint8_t a, char b) { return a == static_cast<std::uint8_t>(b); }));
  // Nothing of the refused string follows.
  m_link->PutString(Bytes("Z"));
  EXPECT_EQ(Receive(1), "Z");
  m_link->SetOpen(false);
}

TEST_F(SerialLinkTest, CloseDiscardsUnsentOutputAndUnreadInput) {
  m_link->SetOpen(true);
  // Fill the line towards the module, so the link's output cannot leave.
  ASSERT_EQ(::fcntl(m_slave, F_SETFL, ::fcntl(m_slave, F_GETFL) | O_NONBLOCK), 0);
  const std::string filler(1024, 'F');
  while (::write(m_slave, filler.data(), filler.size()) > 0) {
  }
  ASSERT_EQ(errno, EAGAIN);
  m_link->PutString(ByteString(100, 'L'));
  // Received bytes that nobody takes.
  m_takeLimit = 0;
  Send("unread");
  ASSERT_TRUE(RunUntil([&] { return !m_counts.empty(); }));
  m_link->SetOpen(false);

  const std::string arrived = Receive(1 << 20, 500ms);
  EXPECT_FALSE(arrived.empty());
  EXPECT_EQ(arrived.find('L'), std::string::npos);

  // Input that came while the port was closed is not ours either.
  m_takeLimit = -1;
  m_counts.clear();
  Send("stale");
  m_link->SetOpen(true);
  Send("x");
  ASSERT_TRUE(RunUntil([&] { return !m_counts.empty(); }));
  EXPECT_EQ(m_counts[0], 1);
  EXPECT_EQ(m_taken, "x");
  m_link->SetOpen(false);
}

TEST_F(SerialLinkTest, VanishedDeviceIsReportedAtOnceAndTheCloseCompletes) {
  m_link->SetOpen(true);
  ::close(m_master);
  m_master = -1;
  ASSERT_TRUE(RunUntil([&] { return !m_failures.empty(); }, 4s));
  EXPECT_EQ(m_failures, (std::vector<std::string>{link_texts::kReadError}));
  EXPECT_TRUE(m_link->Open());
  m_link->SetOpen(false);
  EXPECT_FALSE(m_link->Open());
  EXPECT_EQ(m_closed, 1);
  EXPECT_EQ(m_failures.size(), 1u);
}

TEST_F(SerialLinkTest, DestroyingAnOpenLinkStopsItsThreads) {
  m_link->SetOpen(true);
  Send("abc");
  ASSERT_TRUE(m_queue.WaitForPosts(1));
  m_link.reset();
  // The notification still queued finds no link and does nothing.
  m_loop.ProcessPending();
  EXPECT_TRUE(m_counts.empty());
  EXPECT_EQ(m_closed, 0);
}

}  // namespace
}  // namespace ethconf
