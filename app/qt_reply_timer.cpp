#include "app/qt_reply_timer.h"

#include <utility>

namespace ethconf {

TQtReplyTimer::TQtReplyTimer() {
  m_timer.setObjectName(QStringLiteral("tmMain"));
  m_timer.setInterval(kIntervalMs);
  m_timer.setTimerType(Qt::PreciseTimer);
  QObject::connect(&m_timer, &QTimer::timeout, &m_timer, [this] {
    if (m_onTick) {
      m_onTick();
    }
  });
}

void TQtReplyTimer::SetOnTick(std::function<void()> onTick) {
  m_onTick = std::move(onTick);
}

void TQtReplyTimer::SetEnabled(bool enabled) {
  if (!enabled) {
    m_timer.stop();
  } else if (!m_timer.isActive()) {
    m_timer.start();
  }
}

bool TQtReplyTimer::Enabled() const {
  return m_timer.isActive();
}

}  // namespace ethconf
