// ethconf-bench-chains: how close the read, write and factory-reset chains come to what the line
// itself allows. Runs each chain through the real serial link against the simulated module on a
// pseudo-terminal paced at 115200 bit/s with a 1 ms turnaround, and prints the median wall time,
// the lower bound (every byte on the wire both ways at 86.8 us, plus one turnaround per reply)
// and where the time above the bound goes.

#include <stdlib.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <mutex>
#include <string>
#include <vector>

#include "protocol/exchange_sequencer.h"
#include "protocol/texts.h"
#include "serial/headless_event_loop.h"
#include "serial/headless_reply_timer.h"
#include "serial/port_names.h"
#include "serial/serial_link.h"
#include "tools/sim/sim_in_process.h"

namespace {

using namespace ethconf;
using namespace std::chrono_literals;
namespace fs = std::filesystem;
using TClock = std::chrono::steady_clock;
using TMs = std::chrono::duration<double, std::milli>;

constexpr unsigned kBaud = 115200;
constexpr auto kTurnaround = 1ms;
constexpr int kWarmUpRuns = 2;

// The sequencer's user side for a benchmark: notes when the link opened and closed and what the
// outcome was; shows nothing.
class TTimingUi final : public ISequencerUi {
 public:
  explicit TTimingUi(IMainThreadQueue& mainThread) : m_mainThread(mainThread) {}
  void SetStatusText(int panel, std::string_view text) override {
    if (panel != 4) {
      return;
    }
    if (text == texts::kPanelConnected) {
      openedAt = TClock::now();
    } else if (text == texts::kPanelDisconnecting) {
      closingAt = TClock::now();
    } else if (text == texts::kPanelDisconnected) {
      closedAt = TClock::now();
    }
  }
  void LockControls() override {}
  void UnlockControls() override {}
  void ShowBusyCursor() override { m_mainThread.ProcessPending(); }
  void RestoreCursor() override { m_mainThread.ProcessPending(); }
  void ResetCursor() override {}
  void ShowError(std::string_view text) override { outcome = text; }
  void ShowInformation(std::string_view text) override { outcome = text; }
  void RecordsToEditor() override {}
  void ProcessPendingEvents() override { m_mainThread.ProcessPending(); }

  TClock::time_point openedAt;   // the opened event
  TClock::time_point closingAt;  // CloseLink
  TClock::time_point closedAt;   // the closed event
  std::string outcome;

 private:
  IMainThreadQueue& m_mainThread;
};

// The serial link as the sequencer sees it, counting the data notifications on their way.
class TCountingPort final : public ISerialPort {
 public:
  explicit TCountingPort(ISerialPort& port) : m_port(port) {}
  void SetEvents(TLinkEvents events) override {
    if (events.OnTriggerAvail) {
      events.OnTriggerAvail = [this, handler = events.OnTriggerAvail](std::uint16_t count) {
        ++notifications;
        handler(count);
      };
    }
    m_port.SetEvents(std::move(events));
  }
  void SetComNumber(std::uint16_t port) override { m_port.SetComNumber(port); }
  void SetOpen(bool open) override { m_port.SetOpen(open); }
  bool Open() const override { return m_port.Open(); }
  bool CharReady() override { return m_port.CharReady(); }
  std::uint8_t GetChar() override { return m_port.GetChar(); }
  void PutString(ByteView data) override { m_port.PutString(data); }

  std::size_t notifications = 0;

 private:
  ISerialPort& m_port;
};

// One run of a chain, split where the time went.
struct TRun {
  double wall = 0;        // from OpenLink to the closed event
  double lowerBound = 0;  // the line's own time
  double open = 0;        // from OpenLink to the opened event: device and threads
  double send = 0;        // from the opened event until the first request reached the module
  double toolTurns = 0;   // from each reply's last byte until the next request reached the module
  double lineLate = 0;    // the module's replies beyond their wire time and turnaround
  double receive = 0;     // from the last reply's last byte until the sequencer closes the link
  double close = 0;       // from CloseLink to the closed event
  std::size_t bytes = 0;
  std::size_t exchanges = 0;
  std::size_t notifications = 0;  // data notifications the sequencer handled
};

double Median(std::vector<double> values) {
  std::sort(values.begin(), values.end());
  const std::size_t n = values.size();
  return n % 2 == 1 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2;
}

double WireMs(std::size_t bytes) {
  return static_cast<double>(bytes) * 10.0 * 1000.0 / kBaud;
}

class TBench {
 public:
  explicit TBench(const fs::path& portFolder)
      : m_sim(portFolder, Options(), sim::FactoryDefaults(),
              [this](const sim::TLineEvent& e) {
                const std::lock_guard lock(m_eventsMutex);
                m_events.push_back(e);
              }),
        m_link(m_loop, [portFolder](std::uint16_t port) {
          return DevicePathForPort(port, {portFolder, "/nonexistent-dev"});
        }) {}

  // Runs one chain and measures it; an empty result after a failed chain.
  std::optional<TRun> Run(const std::function<void(TExchangeSequencer&)>& prepare,
                          const char* expectedOutcome) {
    {
      const std::lock_guard lock(m_eventsMutex);
      m_events.clear();
    }
    m_ui.outcome.clear();
    m_port.notifications = 0;
    prepare(m_sequencer);
    const auto start = TClock::now();
    m_sequencer.OpenLink(m_sim.PortNumber());
    m_loop.RunUntil([this] { return !m_sequencer.Busy(); }, 30s);
    if (m_ui.outcome != expectedOutcome) {
      std::fprintf(stderr, "chain failed: %s\n", m_ui.outcome.c_str());
      return std::nullopt;
    }
    std::vector<sim::TLineEvent> events;
    {
      const std::lock_guard lock(m_eventsMutex);
      events = m_events;
    }
    TRun run;
    run.notifications = m_port.notifications;
    run.wall = TMs(m_ui.closedAt - start).count();
    run.open = TMs(m_ui.openedAt - start).count();
    auto previous = m_ui.openedAt;
    sim::TLineEvent request{};
    for (const sim::TLineEvent& e : events) {
      run.bytes += e.bytes;
      if (e.kind == sim::TLineEvent::TKind::Request) {
        (run.exchanges == 0 ? run.send : run.toolTurns) += TMs(e.at - previous).count();
        request = e;
      } else {
        ++run.exchanges;
        // The reply could not end before the request's and its own wire time and the turnaround.
        run.lineLate += TMs(e.at - request.at).count() - WireMs(request.bytes + e.bytes) -
                        TMs(kTurnaround).count();
        previous = e.at;
      }
    }
    run.receive = TMs(m_ui.closingAt - previous).count();
    run.close = TMs(m_ui.closedAt - m_ui.closingAt).count();
    run.lowerBound =
        WireMs(run.bytes) + static_cast<double>(run.exchanges) * TMs(kTurnaround).count();
    return run;
  }

  TDeviceRecords& Records() { return m_records; }

 private:
  static sim::TSimOptions Options() {
    sim::TSimOptions options;
    options.timing.baud = kBaud;
    options.timing.turnaround = kTurnaround;
    return options;
  }

  std::mutex m_eventsMutex;
  std::vector<sim::TLineEvent> m_events;
  sim::TSimInProcess m_sim;
  THeadlessEventLoop m_loop;
  TSerialLink m_link;
  TCountingPort m_port{m_link};
  TTimingUi m_ui{m_loop};
  THeadlessReplyTimer m_timer{m_loop, [this] { m_sequencer.tmMainTimer(); }};
  TDeviceRecords m_records = sim::FactoryDefaults();
  TExchangeSequencer m_sequencer{m_records, m_port, m_timer, m_ui};
};

struct TChain {
  const char* name;
  std::function<void(TExchangeSequencer&)> prepare;
  const char* outcome;
};

int Bench(int runs) {
  std::string pattern = (fs::temp_directory_path() / "ethconf-bench-XXXXXX").string();
  if (mkdtemp(pattern.data()) == nullptr) {
    std::perror("mkdtemp");
    return 1;
  }
  const fs::path root = pattern;
  const fs::path folder = PortFolder({root / "ports", "/nonexistent-dev"});
  int status = 0;
  {
    TBench bench(folder);
    const TChain chains[] = {
        {"read", [](TExchangeSequencer& s) { s.PrepareRead(); }, texts::kReadDone},
        {"write",
         [](TExchangeSequencer& s) {
           s.PrepareWrite([](std::vector<TMachineState>& states) {
             states = {msWriteConfig, msWriteREST, msWriteNTP, msWritePeriod, msWriteLoginPassword};
           });
         },
         texts::kWriteDone},
        {"factory reset", [](TExchangeSequencer& s) { s.PrepareFactoryReset(); },
         texts::kFactoryDone},
    };
    std::printf("Chains at %u bit/s, %lld ms turnaround, median of %d runs (times in ms)\n\n",
                kBaud, static_cast<long long>(kTurnaround.count()), runs);
    std::printf("%-14s %5s %5s %7s %7s %6s %6s | %5s %5s %6s %6s %6s %5s %6s\n", "chain", "exch.",
                "bytes", "median", "bound", "ratio", "best", "open", "send", "turns", "late",
                "recv", "close", "notif.");
    for (const TChain& chain : chains) {
      std::vector<TRun> measured;
      for (int i = 0; i < kWarmUpRuns + runs; ++i) {
        const std::optional<TRun> run = bench.Run(chain.prepare, chain.outcome);
        if (!run) {
          status = 1;
          break;
        }
        if (i >= kWarmUpRuns) {
          measured.push_back(*run);
        }
      }
      if (measured.empty()) {
        continue;
      }
      std::sort(measured.begin(), measured.end(),
                [](const TRun& a, const TRun& b) { return a.wall < b.wall; });
      std::vector<double> walls;
      for (const TRun& r : measured) {
        walls.push_back(r.wall);
      }
      const double wall = Median(walls);
      const double bound = measured.front().lowerBound;
      // The parts of one middle run add up to its wall time; medians of parts would not.
      const TRun& middle = measured[measured.size() / 2];
      std::printf(
          "%-14s %5zu %5zu %7.2f %7.2f %6.3f %6.3f | %5.2f %5.2f %6.2f %6.2f %6.2f %5.2f %6zu\n",
          chain.name, middle.exchanges, middle.bytes, wall, bound, wall / bound,
          measured.front().wall / bound, middle.open, middle.send, middle.toolTurns,
          middle.lineLate, middle.receive, middle.close, middle.notifications);
    }
    std::printf(
        "\nbound: bytes both ways x %.1f us + one turnaround per exchange; ratio: median / bound;\n"
        "best: fastest run / bound. Parts of the middle run: open: OpenLink to the opened event;\n"
        "send: opened event until the first request reached the module; turns: each reply's last\n"
        "byte until the next request reached the module; late: the module's replies beyond their\n"
        "own schedule; recv: the last reply's last byte until CloseLink; close: CloseLink to the\n"
        "closed event; notif.: data notifications the sequencer handled.\n",
        WireMs(1) * 1000.0);
  }
  fs::remove_all(root);
  return status;
}

}  // namespace

int main(int argc, char** argv) {
  int runs = 20;
  if (argc == 3 && std::strcmp(argv[1], "--runs") == 0) {
    runs = std::atoi(argv[2]);
  } else if (argc != 1) {
    std::fprintf(stderr, "Usage: ethconf-bench-chains [--runs N]\n");
    return 2;
  }
  if (runs < 1) {
    std::fprintf(stderr, "ethconf-bench-chains: --runs needs a number from 1 up\n");
    return 2;
  }
  try {
    return Bench(runs);
  } catch (const std::exception& e) {
    std::fprintf(stderr, "ethconf-bench-chains: %s\n", e.what());
    return 1;
  }
}
