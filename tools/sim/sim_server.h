#pragma once
// Serves the simulated module on a pseudo-terminal: cuts requests out of the byte stream, has
// the module answer them and sends the replies on the simulated line's schedule.

#include <atomic>
#include <chrono>
#include <cstddef>
#include <functional>
#include <optional>

#include "tools/sim/pty_endpoint.h"
#include "tools/sim/reply_wire.h"
#include "tools/sim/request_receiver.h"
#include "tools/sim/sim_module.h"
#include "tools/sim/sim_trace.h"

namespace ethconf::sim {

// Faults of the line as a whole.
struct TLineFaults {
  TWireFaults wire;
  // After this many replies the module answers nothing more.
  std::optional<std::size_t> silentAfter;
  // After this many reply bytes the module hangs up the line and the server ends.
  std::optional<std::size_t> hangUpAfterBytes;
};

// What the line carried, for measurements: a request as its closing flag arrived, and a reply as
// its last byte was written.
struct TLineEvent {
  enum class TKind { Request, ReplyDone };
  TKind kind;
  std::size_t bytes;  // the frame's length on the wire
  std::chrono::steady_clock::time_point at;
};
using TLineObserver = std::function<void(const TLineEvent&)>;

class TSimServer {
 public:
  enum class TEnd { Stopped, HungUp };

  // The observer, when given, is called on the serving thread.
  TSimServer(TSimulatedModule& module, TWireTiming timing, TLineFaults faults, TSimTrace& trace,
             TLineObserver observer = {});
  ~TSimServer();
  TSimServer(const TSimServer&) = delete;
  TSimServer& operator=(const TSimServer&) = delete;

  // Serves until Stop is called or the hang-up fault strikes. Throws std::runtime_error with the
  // system's text when the pseudo-terminal fails.
  TEnd Run(TPtyEndpoint& pty);

  // Ends Run. Safe from any thread and from a signal handler; a Stop before Run ends the next Run
  // at once.
  void Stop();

  std::size_t RepliesSent() const { return m_replies.load(); }

 private:
  struct TLineState;  // what one Run keeps between wake-ups

  // Reads what the tool sent and schedules the replies to the requests it completes.
  void ReadRequests(TLineState& line, TPtyEndpoint& pty);
  void Answer(TLineState& line, const TReceivedFrame& frame);
  // Writes the reply bytes that are due; false once the hang-up fault has struck.
  bool SendDue(TLineState& line, TPtyEndpoint& pty);

  TSimulatedModule& m_module;
  TWireTiming m_timing;
  TLineFaults m_faults;
  TSimTrace& m_trace;
  TLineObserver m_observer;
  int m_stopRead = -1;
  int m_stopWrite = -1;
  std::atomic<std::size_t> m_replies{0};
};

}  // namespace ethconf::sim
