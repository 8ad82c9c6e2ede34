#pragma once
// The sequencer's reply timer tmMain on a QTimer: ticks every 1000 ms on the UI thread while
// enabled, and calls the given handler (the sequencer's tmMainTimer).

#include <QTimer>
#include <functional>

#include "protocol/sequencer_ports.h"

namespace ethconf {

class TQtReplyTimer final : public IReplyTimer {
 public:
  static constexpr int kIntervalMs = 1000;

  TQtReplyTimer();
  TQtReplyTimer(const TQtReplyTimer&) = delete;
  TQtReplyTimer& operator=(const TQtReplyTimer&) = delete;

  // The handler is bound after construction because the sequencer is built on this timer.
  void SetOnTick(std::function<void()> onTick);

  void SetEnabled(bool enabled) override;
  bool Enabled() const override;

  const QTimer& Timer() const { return m_timer; }

 private:
  QTimer m_timer;
  std::function<void()> m_onTick;
};

}  // namespace ethconf
