#include "tools/sim/sim_server.h"

#include <fcntl.h>
#include <poll.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <filesystem>
#include <future>
#include <mutex>
#include <thread>

#include "protocol/constants.h"
#include "protocol/frame_codec.h"
#include "protocol/records.h"

namespace ethconf::sim {
namespace {

using namespace std::chrono_literals;
using TClock = std::chrono::steady_clock;

// The simulator serving on its own thread, and the tool's end of the line opened by name.
class SimServer : public ::testing::Test {
 protected:
  void Start(TWireTiming timing = {}, TLineFaults faults = {}, TLineObserver observer = {}) {
    m_server.emplace(m_module, timing, faults, m_trace, std::move(observer));
    m_end = std::async(std::launch::async, [this] { return m_server->Run(m_pty); });
  }
  void TearDown() override {
    CloseTool();
    if (m_server) {
      m_server->Stop();
      m_end.wait();
    }
  }

  void OpenTool() {
    m_tool = open(m_pty.SlaveName().c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    ASSERT_GE(m_tool, 0);
  }
  void CloseTool() {
    if (m_tool >= 0) {
      close(m_tool);
      m_tool = -1;
    }
  }
  void Send(const ByteString& bytes) {
    ASSERT_EQ(write(m_tool, bytes.data(), bytes.size()), static_cast<ssize_t>(bytes.size()));
  }

  // Reads until count bytes have come, the line hangs up or the limit passes.
  ByteString ReadBytes(std::size_t count, std::chrono::milliseconds limit = 5000ms) {
    ByteString got;
    const auto deadline = TClock::now() + limit;
    while (got.size() < count && TClock::now() < deadline) {
      pollfd fd{m_tool, POLLIN, 0};
      const auto left =
          std::chrono::duration_cast<std::chrono::milliseconds>(deadline - TClock::now());
      if (poll(&fd, 1, static_cast<int>(left.count()) + 1) <= 0) {
        continue;
      }
      std::uint8_t buffer[512];
      const ssize_t n = read(m_tool, buffer, std::min(sizeof buffer, count - got.size()));
      if (n <= 0) {
        m_hungUp = n == 0 || errno == EIO;
        if (m_hungUp) {
          break;
        }
        continue;
      }
      m_reads.push_back(static_cast<std::size_t>(n));
      got.insert(got.end(), buffer, buffer + n);
    }
    return got;
  }

  // Whether anything arrives within the window.
  bool AnythingWithin(std::chrono::milliseconds window) {
    pollfd fd{m_tool, POLLIN, 0};
    return poll(&fd, 1, static_cast<int>(window.count())) > 0;
  }

  TSimulatedModule m_module;
  TSimTrace m_trace;
  TPtyEndpoint m_pty;
  std::optional<TSimServer> m_server;
  std::future<TSimServer::TEnd> m_end;
  int m_tool = -1;
  bool m_hungUp = false;
  std::vector<std::size_t> m_reads;
};

const ByteString kReadVersion = EncodeFrame(ByteString{CmdRead, ObjVersion});

ByteString VersionReplyFrame() {
  const auto image = ToImage(FactoryDefaults().FEthVersion);
  ByteString payload{CmdReply, ObjVersion};
  payload.insert(payload.end(), image.begin(), image.end());
  return EncodeFrame(payload);
}

TEST_F(SimServer, AnswersEachTimeTheToolOpensThePortAgain) {
  Start();
  const ByteString expected = VersionReplyFrame();
  for (int round = 0; round < 5; ++round) {
    SCOPED_TRACE(round);
    OpenTool();
    Send(kReadVersion);
    EXPECT_EQ(ReadBytes(expected.size()), expected);
    CloseTool();
  }
  EXPECT_EQ(m_server->RepliesSent(), 5U);
}

TEST_F(SimServer, IgnoresNoiseAndBrokenFramesFromTheTool) {
  Start();
  OpenTool();
  ByteString noisy{0x00, 0x41, 0x42};
  ByteString broken = EncodeFrame(ByteString{CmdRead, ObjToken});
  broken[5] ^= 0x01;  // now a read of another object with a wrong checksum
  noisy.insert(noisy.end(), broken.begin(), broken.end());
  noisy.insert(noisy.end(), kReadVersion.begin(), kReadVersion.end());
  Send(noisy);
  const ByteString expected = VersionReplyFrame();
  EXPECT_EQ(ReadBytes(expected.size()), expected);
  EXPECT_FALSE(AnythingWithin(200ms));
}

TEST_F(SimServer, FallsSilentAfterTheChosenNumberOfReplies) {
  TLineFaults faults;
  faults.silentAfter = 1;
  Start({}, faults);
  OpenTool();
  Send(kReadVersion);
  EXPECT_EQ(ReadBytes(VersionReplyFrame().size()), VersionReplyFrame());
  Send(kReadVersion);
  EXPECT_FALSE(AnythingWithin(300ms));
  EXPECT_EQ(m_server->RepliesSent(), 1U);
}

TEST_F(SimServer, HangsUpInTheMiddleOfAReply) {
  TLineFaults faults;
  faults.hangUpAfterBytes = 5;
  Start({}, faults);
  OpenTool();
  Send(kReadVersion);
  const ByteString got = ReadBytes(100);
  const ByteString reply = VersionReplyFrame();
  EXPECT_EQ(got, ByteString(reply.begin(), reply.begin() + 5));
  EXPECT_TRUE(m_hungUp);
  ASSERT_EQ(m_end.wait_for(5s), std::future_status::ready);
  EXPECT_EQ(m_end.get(), TSimServer::TEnd::HungUp);
  m_server.reset();
}

TEST_F(SimServer, PacesRequestAndReplyAtTheLineRate) {
  TWireTiming timing;
  timing.turnaround = 20ms;
  timing.baud = 9600;
  Start(timing);
  OpenTool();
  const ByteString expected = VersionReplyFrame();
  const auto sent = TClock::now();
  Send(kReadVersion);
  EXPECT_EQ(ReadBytes(expected.size()), expected);
  const auto elapsed = TClock::now() - sent;
  // Never sooner than both frames' wire time plus the turnaround; the schedule guarantees it.
  EXPECT_GE(elapsed, ByteTime(9600) * static_cast<long>(kReadVersion.size() + expected.size()) +
                         timing.turnaround);
}

TEST_F(SimServer, SendsRepliesInPiecesWithGaps) {
  TWireTiming timing;
  timing.chunk = 4;
  timing.gap = 100ms;
  Start(timing);
  OpenTool();
  const ByteString expected = VersionReplyFrame();
  const auto sent = TClock::now();
  Send(kReadVersion);
  EXPECT_EQ(ReadBytes(expected.size()), expected);
  const std::size_t pieces = (expected.size() + 3) / 4;
  EXPECT_GE(TClock::now() - sent, 100ms * static_cast<long>(pieces - 1));
  ASSERT_FALSE(m_reads.empty());
  EXPECT_LE(m_reads.front(), 4U);
}

TEST_F(SimServer, TellsTheObserverWhenARequestCameAndWhenItsReplyWasOut) {
  std::mutex mutex;
  std::vector<TLineEvent> events;
  TWireTiming timing;
  timing.baud = 9600;
  Start(timing, {}, [&](const TLineEvent& e) {
    const std::lock_guard lock(mutex);
    events.push_back(e);
  });
  OpenTool();
  const ByteString expected = VersionReplyFrame();
  Send(kReadVersion);
  ASSERT_EQ(ReadBytes(expected.size()), expected);
  m_server->Stop();
  m_end.wait();
  ASSERT_EQ(events.size(), 2U);
  EXPECT_EQ(events[0].kind, TLineEvent::TKind::Request);
  EXPECT_EQ(events[0].bytes, kReadVersion.size());
  EXPECT_EQ(events[1].kind, TLineEvent::TKind::ReplyDone);
  EXPECT_EQ(events[1].bytes, expected.size());
  EXPECT_GE(events[1].at - events[0].at,
            ByteTime(9600) * static_cast<long>(kReadVersion.size() + expected.size()));
}

TEST_F(SimServer, AStopBeforeRunEndsItAtOnce) {
  TSimServer server(m_module, {}, {}, m_trace);
  server.Stop();
  EXPECT_EQ(server.Run(m_pty), TSimServer::TEnd::Stopped);
}

}  // namespace
}  // namespace ethconf::sim

namespace ethconf::sim {
namespace {

namespace fs = std::filesystem;

class PortLink : public ::testing::Test {
 protected:
  void SetUp() override {
    std::string pattern = (fs::temp_directory_path() / "ethconf-portlink-XXXXXX").string();
    m_folder = mkdtemp(pattern.data());
  }
  void TearDown() override { fs::remove_all(m_folder); }
  fs::path m_folder;
  TPtyEndpoint m_pty;
};

TEST_F(PortLink, TakesTheFirstFreeNumberAndRemovesItsLinkOnly) {
  std::optional<TPortLink> first(std::in_place, m_folder, m_pty.SlaveName(), 0);
  EXPECT_EQ(first->Number(), TPortLink::kFirstAutomaticPort);
  EXPECT_EQ(fs::read_symlink(m_folder / "COM100"), m_pty.SlaveName());
  {
    const TPortLink second(m_folder, m_pty.SlaveName(), 0);
    EXPECT_EQ(second.Number(), 101);
  }
  EXPECT_FALSE(fs::exists(fs::symlink_status(m_folder / "COM101")));

  // Someone pointed COM100 elsewhere meanwhile: that link is not ours to remove.
  fs::remove(m_folder / "COM100");
  fs::create_symlink("/dev/null", m_folder / "COM100");
  first.reset();
  EXPECT_EQ(fs::read_symlink(m_folder / "COM100"), "/dev/null");
}

TEST_F(PortLink, ReplacesALinkWhoseDeviceIsGoneButNotALiveOne) {
  fs::create_symlink("/dev/pts/no-such-terminal", m_folder / "COM7");
  fs::create_symlink("/dev/null", m_folder / "COM8");
  const TPortLink stale(m_folder, m_pty.SlaveName(), 7);
  EXPECT_EQ(stale.Number(), 7);
  EXPECT_EQ(fs::read_symlink(m_folder / "COM7"), m_pty.SlaveName());
  try {
    const TPortLink taken(m_folder, m_pty.SlaveName(), 8);
    ADD_FAILURE() << "COM8 was taken over";
  } catch (const std::runtime_error& e) {
    EXPECT_NE(std::string(e.what()).find("COM8 is already taken"), std::string::npos);
  }
  EXPECT_EQ(fs::read_symlink(m_folder / "COM8"), "/dev/null");
}

}  // namespace
}  // namespace ethconf::sim
