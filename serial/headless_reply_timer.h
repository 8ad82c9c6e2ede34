#pragma once
// The sequencer's one-second reply timer on the headless event loop.

#include <chrono>
#include <functional>

#include "protocol/sequencer_ports.h"
#include "serial/headless_event_loop.h"

namespace ethconf {

// A reply timer whose ticks run on the loop thread and call the given callback (normally the
// sequencer's tmMainTimer). Enabling a disabled timer starts a fresh period.
class THeadlessReplyTimer final : public IReplyTimer {
 public:
  THeadlessReplyTimer(THeadlessEventLoop& loop, std::function<void()> onTick,
                      std::chrono::milliseconds period = std::chrono::milliseconds(1000));
  ~THeadlessReplyTimer() override;
  THeadlessReplyTimer(const THeadlessReplyTimer&) = delete;
  THeadlessReplyTimer& operator=(const THeadlessReplyTimer&) = delete;

  // Loop thread. Enabling an enabled timer changes nothing.
  void SetEnabled(bool enabled) override;
  bool Enabled() const override;

 private:
  THeadlessEventLoop& m_loop;
  std::function<void()> m_onTick;
  std::chrono::milliseconds m_period;
  THeadlessEventLoop::TTimerId m_timer = 0;  // 0 while disabled
};

}  // namespace ethconf
