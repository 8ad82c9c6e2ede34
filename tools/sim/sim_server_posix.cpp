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

TSimServer::TEnd TSimServer::Run(TPtyEndpoint& pty) {
  // A paced reply is one wake-up per byte; the default timer slack of 50 us would make each late.
  prctl(PR_SET_TIMERSLACK, 1UL);
  TRequestReceiver receiver;
  std::deque<TPendingByte> pending;
  TSimClock::time_point lineFreeAt{};
  std::size_t bytesSent = 0;
  ByteString batch;
  // Positions in the batch where a reply ends, with the reply's length.
  std::vector<std::pair<std::size_t, std::size_t>> batchEnds;

  for (;;) {
    const auto now = TSimClock::now();
    const bool dueNow = !pending.empty() && pending.front().due <= now;
    pollfd fds[2] = {{pty.Master(), POLLIN, 0}, {m_stopRead, POLLIN, 0}};
    if (dueNow) {
      fds[0].events |= POLLOUT;
    }
    timespec wait{};
    const timespec* timeout = nullptr;
    if (!pending.empty() && !dueNow) {
      wait = ToTimespec(pending.front().due - now);
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
      std::uint8_t buffer[4096];
      for (;;) {
        const ssize_t count = read(pty.Master(), buffer, sizeof buffer);
        if (count > 0) {
          const auto arrived = TSimClock::now();
          for (const TReceivedFrame& frame :
               receiver.Feed(ByteView(buffer, static_cast<std::size_t>(count)), arrived)) {
            m_trace.Frame("tool > sim", frame.bytes);
            if (m_observer) {
              m_observer({TLineEvent::TKind::Request, frame.bytes.size(), frame.lastByte});
            }
            ByteString payload;
            if (CheckFrame(frame.bytes, payload) != TFrameCheck::Ok) {
              continue;
            }
            if (m_faults.silentAfter && m_replies.load() >= *m_faults.silentAfter) {
              m_trace.Note("silent: no reply");
              continue;
            }
            const std::optional<ByteString> answer = m_module.Answer(payload);
            if (!answer) {
              m_trace.Note("no reply to this request");
              continue;
            }
            const ByteString wire = ReplyWire(*answer, m_faults.wire);
            const auto start = std::max(lineFreeAt, ReplyStart(frame.firstByte, frame.lastByte,
                                                               frame.bytes.size(), m_timing));
            const auto offsets = ArrivalOffsets(wire.size(), m_timing);
            for (std::size_t i = 0; i < wire.size(); ++i) {
              pending.push_back(
                  {start + offsets[i], wire[i], i + 1 == wire.size() ? wire.size() : 0});
            }
            lineFreeAt = pending.back().due;
            m_replies.fetch_add(1);
            if (m_faults.wire.stray) {
              m_trace.Note("stray bytes ahead of the next reply: " +
                           HexBytes(ByteView(kStrayBytes)));
            }
            m_trace.Frame("sim > tool",
                          ByteView(wire).subspan(m_faults.wire.stray ? std::size(kStrayBytes) : 0));
          }
          if (const std::size_t noise = receiver.TakeDiscarded(); noise > 0) {
            m_trace.Note(std::to_string(noise) + " bytes outside any frame ignored");
          }
          continue;
        }
        if (count < 0 && errno == EINTR) {
          continue;
        }
        if (count < 0 && errno != EAGAIN && errno != EWOULDBLOCK && errno != EIO) {
          ThrowSystemError("read from the pseudo-terminal");
        }
        break;
      }
    } else if ((fds[0].revents & (POLLHUP | POLLERR)) != 0) {
      // Only seen if the slave has no holder at all; wait instead of spinning until one appears.
      std::this_thread::sleep_for(5ms);
    }

    batch.clear();
    batchEnds.clear();
    const auto sendUntil = TSimClock::now();
    while (!pending.empty() && pending.front().due <= sendUntil) {
      if (pending.front().replyLength != 0) {
        batchEnds.push_back({batch.size(), pending.front().replyLength});
      }
      batch.push_back(pending.front().byte);
      pending.pop_front();
    }
    if (batch.empty()) {
      continue;
    }
    std::size_t allowed = batch.size();
    const bool hangUp =
        m_faults.hangUpAfterBytes && bytesSent + batch.size() >= *m_faults.hangUpAfterBytes;
    if (hangUp) {
      allowed = *m_faults.hangUpAfterBytes - bytesSent;
    }
    std::size_t written = 0;
    while (written < allowed) {
      const ssize_t count = write(pty.Master(), batch.data() + written, allowed - written);
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
    bytesSent += written;
    if (m_observer) {
      const auto writtenAt = TSimClock::now();
      for (const auto& [position, length] : batchEnds) {
        if (position < written) {
          m_observer({TLineEvent::TKind::ReplyDone, length, writtenAt});
        }
      }
    }
    if (hangUp && written == allowed) {
      WaitUntilTaken(pty);
      m_trace.Note("hanging up after " + std::to_string(bytesSent) + " reply bytes");
      pty.HangUp();
      return TEnd::HungUp;
    }
    // What the line could not take yet goes out first when it can.
    for (std::size_t i = batch.size(); i > written; --i) {
      const auto end = std::find_if(batchEnds.begin(), batchEnds.end(),
                                    [&](const auto& e) { return e.first == i - 1; });
      pending.push_front({sendUntil, batch[i - 1], end == batchEnds.end() ? 0 : end->second});
    }
  }
}

}  // namespace ethconf::sim
