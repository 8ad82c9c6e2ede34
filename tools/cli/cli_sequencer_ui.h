#pragma once
// The sequencer's user side for the command-line tool: no cursor, no controls and no boxes;
// outcomes are kept for the tool to report, frame errors passed on as warnings.

#include <array>
#include <functional>
#include <string>
#include <string_view>

#include "protocol/sequencer_ports.h"

namespace ethconf::cli {

class TCliSequencerUi final : public ISequencerUi {
 public:
  enum class TResult { None, Success, PortError, DeviceError };
  struct TOutcome {
    TResult result = TResult::None;
    std::string text;  // the system's own outcome text
  };

  // warn receives the texts of frames that could not be decoded, as they occur.
  explicit TCliSequencerUi(std::function<void(std::string_view)> warn);

  // Forgets the last outcome; called before each operation.
  void Begin() { m_outcome = {}; }
  const TOutcome& Outcome() const { return m_outcome; }
  // Status panels 0 to 3 as the last read left them.
  const std::string& Panel(int panel) const { return m_panels.at(static_cast<std::size_t>(panel)); }

  void SetStatusText(int panel, std::string_view text) override;
  void LockControls() override {}
  void UnlockControls() override {}
  void ShowBusyCursor() override {}
  void RestoreCursor() override {}
  void ResetCursor() override {}
  void ShowError(std::string_view text) override;
  void ShowInformation(std::string_view text) override;
  // The tool keeps the records as they are; it shows them itself once the read has ended.
  void RecordsToEditor() override {}
  void ProcessPendingEvents() override {}

 private:
  std::function<void(std::string_view)> m_warn;
  TOutcome m_outcome;
  std::array<std::string, 5> m_panels;
};

}  // namespace ethconf::cli
