#include "tools/cli/port_session.h"

#include <exception>
#include <filesystem>

#include "serial/link_texts.h"
#include "serial/port_names.h"

namespace ethconf::cli {
namespace {

TSerialLink::TDeviceNamer NamerFor(const TPortTarget& target) {
  if (target.devicePath.empty()) {
    return DeviceNameForPort;
  }
  return [path = target.devicePath](std::uint16_t) { return path; };
}

// The link's own text, with a plain word on the two causes it names by code.
std::string CauseText(const std::string& linkText) {
  if (linkText == link_texts::kBadId) {
    return linkText + ": no such device";
  }
  if (linkText == link_texts::kAlreadyOpen) {
    return linkText + ": the port is busy, another program holds it";
  }
  return linkText;
}

}  // namespace

TPortSession::TPortSession(THeadlessEventLoop& loop, TPortTarget target,
                           const TSessionOptions& options)
    : m_loop(loop),
      m_target(std::move(target)),
      m_warn(options.warn),
      m_link(loop, NamerFor(m_target)),
      m_tracing(options.trace != nullptr
                    ? std::optional<TTracingPort>(std::in_place, m_link, m_target.label,
                                                  options.start, options.trace)
                    : std::nullopt),
      m_observed(m_tracing ? static_cast<ISerialPort&>(*m_tracing) : m_link,
                 [this] { PostFinish(); }),
      m_ui([this](std::string_view text) {
        if (m_warn) {
          m_warn(m_target.label + ": " + std::string(text));
        }
      }),
      m_timer(loop, [this] { m_sequencer.tmMainTimer(); }),
      m_sequencer(m_records, m_observed, m_timer, m_ui) {
  m_link.SetOnFailure([this](const std::string& text) {
    m_linkFailure = text;
    if (m_warn) {
      m_warn(m_target.label + ": " + text);
    }
  });
}

std::string TPortSession::Name() const {
  if (!m_target.devicePath.empty()) {
    return m_target.label;
  }
  try {
    const std::string device = DeviceNameForPort(m_target.number);
    if (device.empty()) {
      return m_target.label;
    }
    // A port link in the user's port folder is named after the device it leads to.
    std::error_code error;
    const std::filesystem::path resolved = std::filesystem::canonical(device, error);
    return m_target.label + " (" + (error ? device : resolved.string()) + ")";
  } catch (const std::exception&) {
    return m_target.label;
  }
}

void TPortSession::StartRead(TDone done) {
  m_sequencer.PrepareRead();
  Start(std::move(done));
}

void TPortSession::StartWrite(const TEditorValues& values, TDone done) {
  m_sequencer.PrepareWrite(
      [&](std::vector<TMachineState>& states) { EditorToRecords(values, m_records, states); });
  Start(std::move(done));
}

void TPortSession::StartFactoryReset(TDone done) {
  m_sequencer.PrepareFactoryReset();
  Start(std::move(done));
}

void TPortSession::Start(TDone done) {
  m_done = std::move(done);
  m_finishPosted = false;
  m_ui.Begin();
  m_observed.ClearError();
  m_linkFailure.clear();
  m_sequencer.OpenLink(m_target.number);
  if (!m_sequencer.Busy()) {
    PostFinish();  // the port did not open; no closed event follows
  }
}

void TPortSession::PostFinish() {
  if (!m_finishPosted) {
    m_finishPosted = true;
    m_loop.Post([this] { Finish(); });
  }
}

void TPortSession::Finish() {
  const TCliSequencerUi::TOutcome& outcome = m_ui.Outcome();
  TOperationResult result;
  result.result = outcome.result;
  result.message = outcome.text;
  if (outcome.result == TCliSequencerUi::TResult::None) {
    result.result = TCliSequencerUi::TResult::DeviceError;
    result.message = "the port closed before the exchange ended";
  }
  std::string cause = m_observed.LastError();
  if (cause.empty()) {
    cause = m_linkFailure;
  }
  if (!result.Ok() && !cause.empty()) {
    result.message += " (" + CauseText(cause) + ")";
  }
  TDone done = std::move(m_done);
  m_done = nullptr;
  if (done) {
    done(result);
  }
}

}  // namespace ethconf::cli
