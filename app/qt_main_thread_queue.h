#pragma once
// The main-thread queue of the window: tasks posted from the link's threads run as queued calls
// in the Qt event loop of the thread that created the queue.

#include <QObject>

#include "serial/main_thread_queue.h"

namespace ethconf {

class TQtMainThreadQueue final : public QObject, public IMainThreadQueue {
  Q_OBJECT

 public:
  // Create on the UI thread; the tasks run on the thread the object lives in.
  explicit TQtMainThreadQueue(QObject* parent = nullptr);

  void Post(std::function<void()> task) override;
  // Lets the UI thread run its pending events once: posted tasks, timer ticks, painting and
  // input. Safe inside a running task, so a close started from a data handler can let a
  // notification already on its way through.
  void ProcessPending() override;
};

}  // namespace ethconf
