// The reply timer on the headless event loop.

#include "serial/headless_reply_timer.h"

namespace ethconf {

THeadlessReplyTimer::THeadlessReplyTimer(THeadlessEventLoop& loop, std::function<void()> onTick,
                                         std::chrono::milliseconds period)
    : m_loop(loop), m_onTick(std::move(onTick)), m_period(period) {}

THeadlessReplyTimer::~THeadlessReplyTimer() {
  SetEnabled(false);
}

void THeadlessReplyTimer::SetEnabled(bool enabled) {
  if (enabled && m_timer == 0) {
    m_timer = m_loop.AddTimer(m_period, [this] { m_onTick(); });
  } else if (!enabled && m_timer != 0) {
    m_loop.RemoveTimer(m_timer);
    m_timer = 0;
  }
}

bool THeadlessReplyTimer::Enabled() const {
  return m_timer != 0;
}

}  // namespace ethconf
