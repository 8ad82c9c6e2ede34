#pragma once
// Stand-ins for the sequencer's surroundings: a scripted link, a timer ticked by hand and a user
// side that records everything shown to the user.

#include <gtest/gtest.h>

#include <array>
#include <deque>
#include <functional>
#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

#include "protocol/exchange_sequencer.h"
#include "protocol/frame_codec.h"
#include "protocol/sequencer_ports.h"

namespace ethconf::testing {

// A link whose received bytes are handed in by the test and whose opened and closed events run
// inside SetOpen, as the real link's do. A failing opened handler undoes the open without a
// closed event.
class TScriptedLink : public ISerialPort {
 public:
  bool failOpen = false;
  bool failClose = false;
  bool failSend = false;
  std::uint16_t comNumber = 0;
  int closes = 0;
  std::vector<ByteString> sent;  // frames, in the order they were queued
  // Pending main-thread events the link lets run while it closes, before the closed event.
  std::function<void()> whileClosing;

  void SetEvents(TLinkEvents events) override { m_events = std::move(events); }
  void SetComNumber(std::uint16_t port) override { comNumber = port; }

  void SetOpen(bool open) override {
    if (open == m_open) {
      return;
    }
    if (open) {
      if (failOpen) {
        throw TLinkError("ie_BadId - Specified comport doesn't exist");
      }
      m_open = true;
      try {
        m_events.OnPortOpen();
      } catch (...) {
        m_open = false;
        throw;
      }
      return;
    }
    if (failClose) {
      throw TLinkError("close failed");
    }
    if (whileClosing) {
      whileClosing();
    }
    m_open = false;
    m_received.clear();
    ++closes;
    m_events.OnPortClose();
  }

  bool Open() const override { return m_open; }
  bool CharReady() override { return !m_received.empty(); }

  std::uint8_t GetChar() override {
    if (m_received.empty()) {
      return 0;
    }
    const std::uint8_t b = m_received.front();
    m_received.pop_front();
    return b;
  }

  void PutString(ByteView data) override {
    if (failSend) {
      throw TLinkError("Output buffer too small for block");
    }
    sent.emplace_back(data.begin(), data.end());
  }

  // Raises the data event for bytes the module sent.
  void Receive(ByteView bytes) {
    m_received.insert(m_received.end(), bytes.begin(), bytes.end());
    m_events.OnTriggerAvail(static_cast<std::uint16_t>(m_received.size()));
  }

  // The payloads of the frames sent so far.
  std::vector<ByteString> SentPayloads() const {
    std::vector<ByteString> payloads;
    for (const ByteString& frame : sent) {
      ByteString payload;
      EXPECT_EQ(CheckFrame(frame, payload), TFrameCheck::Ok);
      payloads.push_back(payload);
    }
    return payloads;
  }

 private:
  TLinkEvents m_events;
  bool m_open = false;
  std::deque<std::uint8_t> m_received;
};

// A timer that ticks only when the test says so, and only while enabled, like the real one.
class TManualTimer : public IReplyTimer {
 public:
  // Fresh periods started: enabling a disabled timer starts one, enabling an enabled one not.
  int starts = 0;

  void SetEnabled(bool enabled) override {
    starts += enabled && !m_enabled ? 1 : 0;
    m_enabled = enabled;
  }
  bool Enabled() const override { return m_enabled; }

  void Tick(TExchangeSequencer& sequencer) {
    ASSERT_TRUE(m_enabled) << "a disabled timer does not tick";
    sequencer.tmMainTimer();
  }

 private:
  bool m_enabled = false;
};

// Records every call as one line of a log, keeps the panels, and can run events inside an error
// box the way a modal box's nested loop does.
class TRecordingUi : public ISequencerUi {
 public:
  std::vector<std::string> log;
  std::array<std::string, 5> panels;
  bool editorThrows = false;
  // Run once, inside the next error box.
  std::function<void()> insideNextError;

  void SetStatusText(int panel, std::string_view text) override {
    panels.at(static_cast<std::size_t>(panel)) = text;
    log.push_back("panel" + std::to_string(panel) + " " + std::string(text));
  }
  void LockControls() override { log.emplace_back("lock"); }
  void UnlockControls() override { log.emplace_back("unlock"); }
  void ShowBusyCursor() override { log.emplace_back("busy cursor"); }
  void RestoreCursor() override { log.emplace_back("restore cursor"); }
  void ResetCursor() override { log.emplace_back("reset cursor"); }
  void ShowError(std::string_view text) override {
    log.push_back("error " + std::string(text));
    if (insideNextError) {
      auto nested = std::exchange(insideNextError, nullptr);
      nested();
    }
  }
  void ShowInformation(std::string_view text) override {
    log.push_back("info " + std::string(text));
  }
  void RecordsToEditor() override {
    log.emplace_back("editor");
    if (editorThrows) {
      throw std::runtime_error("synchronisation time out of range");
    }
  }
  void ProcessPendingEvents() override { log.emplace_back("pending"); }

  // The log lines that begin with prefix ("error", "info", "panel4", ...).
  std::vector<std::string> Lines(const std::string& prefix) const {
    std::vector<std::string> lines;
    for (const std::string& line : log) {
      if (line.starts_with(prefix)) {
        lines.push_back(line);
      }
    }
    return lines;
  }
};

}  // namespace ethconf::testing
