#include "app/qt_main_thread_queue.h"

#include <QCoreApplication>
#include <QMetaObject>
#include <utility>

namespace ethconf {

TQtMainThreadQueue::TQtMainThreadQueue(QObject* parent) : QObject(parent) {}

void TQtMainThreadQueue::Post(std::function<void()> task) {
  // A queued call through the event loop is safe from any thread and keeps the posting order.
  QMetaObject::invokeMethod(
      this, [task = std::move(task)] { task(); }, Qt::QueuedConnection);
}

void TQtMainThreadQueue::ProcessPending() {
  QCoreApplication::processEvents(QEventLoop::AllEvents);
}

}  // namespace ethconf
