#pragma once
// A small event loop without any widget set, for the command-line tool and the tests.

#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <deque>
#include <functional>
#include <map>
#include <mutex>

#include "serial/main_thread_queue.h"

namespace ethconf {

// The main thread's loop: posted tasks and periodic timers, all run on the thread that drives
// the loop (the "loop thread"). Post and Quit may be called from any thread.
class THeadlessEventLoop final : public IMainThreadQueue {
 public:
  using TClock = std::chrono::steady_clock;
  using TTimerId = std::uint64_t;

  THeadlessEventLoop() = default;
  THeadlessEventLoop(const THeadlessEventLoop&) = delete;
  THeadlessEventLoop& operator=(const THeadlessEventLoop&) = delete;

  // Any thread: queues a task for the loop thread.
  void Post(std::function<void()> task) override;
  // Loop thread: runs the tasks posted before the call and the timers that are due, once each.
  // A task that throws ends the call with its error; the tasks behind it stay queued.
  void ProcessPending() override;

  // Loop thread: a timer ticking every period, the first tick one period from now. Returns its id.
  TTimerId AddTimer(std::chrono::milliseconds period, std::function<void()> tick);
  // Loop thread: stops the timer; harmless for an unknown id and safe inside its own tick.
  void RemoveTimer(TTimerId id);

  // Loop thread: runs tasks and timers, sleeping while nothing is due, until done() is true
  // (checked before waiting and after every round) or the limit has passed. Returns done().
  bool RunUntil(const std::function<bool()>& done, std::chrono::milliseconds limit);
  // Loop thread: runs tasks and timers until Quit is called.
  void Run();
  // Any thread: ends Run (or a Run called later, once).
  void Quit();

 private:
  struct TTask {
    std::uint64_t Number;
    std::function<void()> Run;
  };
  struct TTimer {
    std::chrono::milliseconds Period;
    TClock::time_point Due;
    std::function<void()> Tick;
  };

  void RunDueTimers();
  // Sleeps until a task is posted, Quit is called, the next timer is due or the deadline passes.
  void WaitForWork(TClock::time_point deadline);

  std::mutex m_mutex;
  std::condition_variable m_wake;
  std::deque<TTask> m_tasks;
  std::uint64_t m_nextTaskNumber = 0;
  bool m_quit = false;
  // Timers belong to the loop thread only.
  std::map<TTimerId, TTimer> m_timers;
  TTimerId m_nextTimerId = 1;
};

}  // namespace ethconf
