#pragma once
// A user side for the sequencer that writes down everything it is shown, in order.

#include <array>
#include <string>
#include <string_view>
#include <vector>

#include "protocol/sequencer_ports.h"
#include "serial/main_thread_queue.h"

namespace ethconf::e2e {

class TRecordingUi final : public ISequencerUi {
 public:
  explicit TRecordingUi(IMainThreadQueue& mainThread) : m_mainThread(mainThread) {}

  void SetStatusText(int panel, std::string_view text) override {
    m_panels.at(static_cast<std::size_t>(panel)) = text;
    if (panel == 4) {
      m_panel4History.emplace_back(text);
    }
  }
  void LockControls() override { m_log.emplace_back("lock"); }
  void UnlockControls() override { m_log.emplace_back("unlock"); }
  void ShowBusyCursor() override {
    m_log.emplace_back("busy");
    m_mainThread.ProcessPending();
  }
  void RestoreCursor() override {
    m_log.emplace_back("restore");
    m_mainThread.ProcessPending();
  }
  void ResetCursor() override { m_log.emplace_back("reset"); }
  void ShowError(std::string_view text) override {
    m_errors.emplace_back(text);
    m_log.push_back("error: " + std::string(text));
  }
  void ShowInformation(std::string_view text) override {
    m_infos.emplace_back(text);
    m_log.push_back("info: " + std::string(text));
  }
  void RecordsToEditor() override { m_log.emplace_back("editor"); }
  void ProcessPendingEvents() override { m_mainThread.ProcessPending(); }

  // The link's report of a background failure, kept in the same log.
  void LinkFailure(const std::string& text) {
    m_failures.push_back(text);
    m_log.push_back("failure: " + text);
  }

  const std::vector<std::string>& Errors() const { return m_errors; }
  const std::vector<std::string>& Infos() const { return m_infos; }
  const std::vector<std::string>& Failures() const { return m_failures; }
  const std::string& Panel(int panel) const { return m_panels.at(static_cast<std::size_t>(panel)); }
  const std::vector<std::string>& Panel4History() const { return m_panel4History; }
  const std::vector<std::string>& Log() const { return m_log; }

  void Clear() {
    m_errors.clear();
    m_infos.clear();
    m_failures.clear();
    m_panel4History.clear();
    m_log.clear();
  }

 private:
  IMainThreadQueue& m_mainThread;
  std::array<std::string, 5> m_panels;
  std::vector<std::string> m_panel4History;
  std::vector<std::string> m_errors;
  std::vector<std::string> m_infos;
  std::vector<std::string> m_failures;
  std::vector<std::string> m_log;
};

}  // namespace ethconf::e2e
