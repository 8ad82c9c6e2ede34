#pragma once
// The hand-over of work from the link's background threads to the main thread.

#include <functional>

namespace ethconf {

// A queue of tasks that run on the main thread, in the order they were posted. The headless
// event loop implements it for the tests and the command-line tool, the Qt layer for the window.
class IMainThreadQueue {
 public:
  virtual ~IMainThreadQueue() = default;
  // Any thread: queues the task; it runs the next time the main thread takes its pending work.
  virtual void Post(std::function<void()> task) = 0;
  // Main thread: runs the work pending now (posted tasks and whatever else the loop has due, such
  // as timer ticks) once, and returns. May be called from inside a running task.
  virtual void ProcessPending() = 0;
};

}  // namespace ethconf
