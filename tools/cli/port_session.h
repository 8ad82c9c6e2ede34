#pragma once
// One port's device operations: its link, the sequencer and the tool's side of it, on the
// shared headless event loop.

#include <chrono>
#include <functional>
#include <memory>
#include <optional>
#include <string>

#include "config/editor_values.h"
#include "protocol/device_records.h"
#include "protocol/exchange_sequencer.h"
#include "serial/headless_event_loop.h"
#include "serial/headless_reply_timer.h"
#include "serial/serial_link.h"
#include "tools/cli/cli_sequencer_ui.h"
#include "tools/cli/observed_port.h"
#include "tools/cli/port_argument.h"
#include "tools/cli/tracing_port.h"

namespace ethconf::cli {

// How one read, write or reset ended.
struct TOperationResult {
  TCliSequencerUi::TResult result = TCliSequencerUi::TResult::None;
  // The system's outcome text, followed by the link's cause where it reported one.
  std::string message;
  bool Ok() const { return result == TCliSequencerUi::TResult::Success; }
};

struct TSessionOptions {
  // Where --trace lines go; null for none.
  std::FILE* trace = nullptr;
  std::chrono::steady_clock::time_point start = std::chrono::steady_clock::now();
  // Frame decode failures, with the port's name.
  std::function<void(const std::string& warning)> warn;
};

// Runs one operation at a time on its port. Everything runs on the loop's thread; an operation
// ends with its callback, posted to the loop once the port has closed (or failed to open).
class TPortSession {
 public:
  using TDone = std::function<void(const TOperationResult&)>;

  TPortSession(THeadlessEventLoop& loop, TPortTarget target, const TSessionOptions& options);
  TPortSession(const TPortSession&) = delete;
  TPortSession& operator=(const TPortSession&) = delete;

  const TPortTarget& Target() const { return m_target; }
  // "COM 5 (/dev/pts/3)", or the device path given.
  std::string Name() const;

  void StartRead(TDone done);
  // Writes what the editor would hold: the five steps of the window's write command.
  void StartWrite(const TEditorValues& values, TDone done);
  void StartFactoryReset(TDone done);

  // The records as the last operation left them; after a write, what was sent.
  const TDeviceRecords& Records() const { return m_records; }
  const TCliSequencerUi& Ui() const { return m_ui; }

 private:
  void Start(TDone done);
  void PostFinish();
  void Finish();

  THeadlessEventLoop& m_loop;
  TPortTarget m_target;
  std::function<void(const std::string&)> m_warn;
  TDeviceRecords m_records;
  TSerialLink m_link;
  std::optional<TTracingPort> m_tracing;
  TObservedPort m_observed;
  TCliSequencerUi m_ui;
  THeadlessReplyTimer m_timer;
  TExchangeSequencer m_sequencer;
  std::string m_linkFailure;
  TDone m_done;
  bool m_finishPosted = false;
};

}  // namespace ethconf::cli
