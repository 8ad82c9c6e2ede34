#include "tools/sim/sim_server.h"

#include <fcntl.h>
#include <poll.h>
#include <sys/prctl.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <deque>
#include <stdexcept>
#include <thread>

#include "protocol/constants.h"
#include "protocol/frame_codec.h"
#include "protocol/hex_text.h"
#include "tools/sim/request_receiver.h"

namespace ethconf::sim {
namespace {

using namespace std::chrono_literals;

[[noreturn]] void ThrowSystemError(const char* what) {
  throw std::runtime_error(std::string(what) + ": " + std::strerror(errno));
}

struct TPendingByte {
  TSimClock::time_point due;
  std::uint8_t byte;
  std::size_t replyLength;  // set on a reply's last byte only
};

timespec ToTimespec(std::chrono::nanoseconds wait) {
  const auto seconds = std::chrono::duration_cast<std::chrono::seconds>(wait);
  return timespec{static_cast<time_t>(seconds.count()),
                  static_cast<long>((wait - seconds).count())};
}

// Lets the tool take what is already on its side of the line before the line goes dead, as a
// real module's last bytes would have reached it: a hang-up discards what the tool has not read.
// The kernel moves written bytes to the tool's side a little later, so an empty queue only
// counts once the bytes were seen there or a short while has passed; nobody reading ends the
// wait after a longer while.
void WaitUntilTaken(const TPtyEndpoint& pty) {
  const auto start = TSimClock::now();
  bool seen = false;
  for (;;) {
    const int unread = pty.UnreadAtSlave();
    seen = seen || unread > 0;
    const auto elapsed = TSimClock::now() - start;
    if ((unread == 0 && (seen || elapsed >= 20ms)) || elapsed >= 200ms) {
      return;
    }
    std::this_thread::sleep_for(1ms);
  }
}

}  // namespace

TSimServer::TSimServer(TSimulatedModule& module, TWireTiming timing, TLineFaults faults,
                       TSimTrace& trace, TLineObserver observer)
    : m_module(module),
      m_timing(timing),
      m_faults(faults),
      m_trace(trace),
      m_observer(std::move(observer)) {
  int fds[2];
  if (pipe2(fds, O_CLOEXEC | O_NONBLOCK) != 0) {
    ThrowSystemError("pipe2");
  }
  m_stopRead = fds[0];
  m_stopWrite = fds[1];
}

TSimServer::~TSimServer() {
  close(m_stopRead);
  close(m_stopWrite);
}

void TSimServer::Stop() {
  const char wake = 1;
  // A full pipe already holds a stop request; nothing else can go wrong here.
  [[maybe_unused]] const ssize_t written = write(m_stopWrite, &wake, 1);
}

struct TSimServer::TLineState {
  TRequestReceiver receiver;
  std::deque<TPendingByte> pending;
  TSimClock::time_point lineFreeAt{};
  std::size_t bytesSent = 0;
};

TSimServer::TEnd TSimServer::Run(TPtyEndpoint& pty) {
  // A paced reply is one wake-up per byte; the default timer slack of 50 us would make each late.
  prctl(PR_SET_TIMERSLACK, 1UL);
  TLineState line;
  for (;;) {
    const auto now = TSimClock::now();
    const bool dueNow = !line.pending.empty() && line.pending.front().due <= now;
    pollfd fds[2] = {{pty.Master(), POLLIN, 0}, {m_stopRead, POLLIN, 0}};
    if (dueNow) {
      fds[0].events |= POLLOUT;
    }
    timespec wait{};
    const timespec* timeout = nullptr;
    if (!line.pending.empty() && !dueNow) {
      wait = ToTimespec(line.pending.front().due - now);
      timeout = &wait;
    }
    if (ppoll(fds, 2, timeout, nullptr) < 0) {
      if (errno == EINTR) {
        continue;
      }
      ThrowSystemError("ppoll");
    }
    if ((fds[1].revents & POLLIN) != 0) {
      return TEnd::Stopped;
    }
    if ((fds[0].revents & POLLIN) != 0) {
      ReadRequests(line, pty);
    } else if ((fds[0].revents & (POLLHUP | POLLERR)) != 0) {
      // Only seen if the slave has no holder at all; wait instead of spinning until one appears.
      std::this_thread::sleep_for(5ms);
    }
    if (!SendDue(line, pty)) {
      return TEnd::HungUp;
    }
  }
}

void TSimServer::ReadRequests(TLineState& line, TPtyEndpoint& pty) {
  std::uint8_t buffer[4096];
  for (;;) {
    const ssize_t count = read(pty.Master(), buffer, sizeof buffer);
    if (count < 0 && errno == EINTR) {
      continue;
    }
    if (count <= 0) {
      if (count < 0 && errno != EAGAIN && errno != EWOULDBLOCK && errno != EIO) {
        ThrowSystemError("read from the pseudo-terminal");
      }
      return;
    }
    const auto arrived = TSimClock::now();
    for (const TReceivedFrame& frame :
         line.receiver.Feed(ByteView(buffer, static_cast<std::size_t>(count)), arrived)) {
      Answer(line, frame);
    }
    if (const std::size_t noise = line.receiver.TakeDiscarded(); noise > 0) {
      m_trace.Note("ignored, outside any frame: " + std::to_string(noise) + " bytes");
    }
  }
}

void TSimServer::Answer(TLineState& line, const TReceivedFrame& frame) {
  m_trace.Frame("tool > sim", frame.bytes);
  if (m_observer) {
    m_observer({TLineEvent::TKind::Request, frame.bytes.size(), frame.lastByte});
  }
  ByteString payload;
  if (CheckFrame(frame.bytes, payload) != TFrameCheck::Ok) {
    return;
  }
  if (m_faults.silentAfter && m_replies.load() >= *m_faults.silentAfter) {
    m_trace.Note("silent: no reply");
    return;
  }
  const std::optional<ByteString> answer = m_module.Answer(payload);
  if (!answer) {
    m_trace.Note("no reply to this request");
    return;
  }
  const ByteString wire = ReplyWire(*answer, m_faults.wire);
  // Replies never overlap on the line: one that is due earlier waits for the previous one.
  const auto start = std::max(
      line.lineFreeAt, ReplyStart(frame.firstByte, frame.lastByte, frame.bytes.size(), m_timing));
  const auto offsets = ArrivalOffsets(wire.size(), m_timing);
  for (std::size_t i = 0; i < wire.size(); ++i) {
    line.pending.push_back({start + offsets[i], wire[i], i + 1 == wire.size() ? wire.size() : 0});
  }
  line.lineFreeAt = line.pending.back().due;
  m_replies.fetch_add(1);
  if (m_faults.wire.stray) {
    m_trace.Note("stray bytes ahead of the next reply: " + HexText(ByteView(kStrayBytes), " "));
  }
  m_trace.Frame("sim > tool",
                ByteView(wire).subspan(m_faults.wire.stray ? std::size(kStrayBytes) : 0));
}

bool TSimServer::SendDue(TLineState& line, TPtyEndpoint& pty) {
  const auto now = TSimClock::now();
  std::vector<TPendingByte> batch;
  ByteString bytes;
  while (!line.pending.empty() && line.pending.front().due <= now) {
    batch.push_back(line.pending.front());
    bytes.push_back(line.pending.front().byte);
    line.pending.pop_front();
  }
  if (batch.empty()) {
    return true;
  }
  std::size_t allowed = batch.size();
  const bool hangUp =
      m_faults.hangUpAfterBytes && line.bytesSent + batch.size() >= *m_faults.hangUpAfterBytes;
  if (hangUp) {
    allowed = *m_faults.hangUpAfterBytes - line.bytesSent;
  }
  std::size_t written = 0;
  while (written < allowed) {
    const ssize_t count = write(pty.Master(), bytes.data() + written, allowed - written);
    if (count > 0) {
      written += static_cast<std::size_t>(count);
    } else if (count < 0 && errno == EINTR) {
      continue;
    } else if (count < 0 && (errno == EAGAIN || errno == EWOULDBLOCK)) {
      break;
    } else {
      ThrowSystemError("write to the pseudo-terminal");
    }
  }
  line.bytesSent += written;
  if (m_observer) {
    const auto writtenAt = TSimClock::now();
    for (std::size_t i = 0; i < written; ++i) {
      if (batch[i].replyLength != 0) {
        m_observer({TLineEvent::TKind::ReplyDone, batch[i].replyLength, writtenAt});
      }
    }
  }
  if (hangUp && written == allowed) {
    WaitUntilTaken(pty);
    m_trace.Note("hanging up after " + std::to_string(line.bytesSent) + " reply bytes");
    pty.HangUp();
    return false;
  }
  // What the line could not take yet goes out first when it can.
  line.pending.insert(line.pending.begin(), batch.begin() + static_cast<long>(written),
                      batch.end());
  return true;
}

}  // namespace ethconf::sim
