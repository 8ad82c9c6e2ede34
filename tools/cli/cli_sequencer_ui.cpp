#include "tools/cli/cli_sequencer_ui.h"

#include "protocol/texts.h"

namespace ethconf::cli {

TCliSequencerUi::TCliSequencerUi(std::function<void(std::string_view)> warn)
    : m_warn(std::move(warn)) {}

void TCliSequencerUi::SetStatusText(int panel, std::string_view text) {
  if (panel >= 0 && panel < static_cast<int>(m_panels.size())) {
    m_panels[static_cast<std::size_t>(panel)] = std::string(text);
  }
}

void TCliSequencerUi::ShowError(std::string_view text) {
  if (text == texts::kFrameSize || text == texts::kFrameFormat || text == texts::kFrameChecksum) {
    m_warn(text);
    return;
  }
  // A close that fails after a reported success overrides it: the port is not in order.
  m_outcome.result = text == texts::kPortOpenError ? TResult::PortError : TResult::DeviceError;
  m_outcome.text = std::string(text);
}

void TCliSequencerUi::ShowInformation(std::string_view text) {
  m_outcome.result = TResult::Success;
  m_outcome.text = std::string(text);
}

}  // namespace ethconf::cli
