// The headless event loop: posted tasks and timers run on the thread that drives the loop.

#include "serial/headless_event_loop.h"

#include <algorithm>
#include <vector>

namespace ethconf {

void THeadlessEventLoop::Post(std::function<void()> task) {
  {
    std::lock_guard lock(m_mutex);
    m_tasks.push_back({m_nextTaskNumber++, std::move(task)});
  }
  m_wake.notify_all();
}

void THeadlessEventLoop::ProcessPending() {
  std::uint64_t last = 0;
  {
    std::lock_guard lock(m_mutex);
    last = m_nextTaskNumber;
  }
  // Tasks posted meanwhile, also by the tasks themselves, wait for the next call. A nested call
  // inside a task may run some of ours; each task still runs once.
  for (;;) {
    std::function<void()> task;
    {
      std::lock_guard lock(m_mutex);
      if (m_tasks.empty() || m_tasks.front().Number >= last) {
        break;
      }
      task = std::move(m_tasks.front().Run);
      m_tasks.pop_front();
    }
    task();
  }
  RunDueTimers();
}

THeadlessEventLoop::TTimerId THeadlessEventLoop::AddTimer(std::chrono::milliseconds period,
                                                          std::function<void()> tick) {
  const TTimerId id = m_nextTimerId++;
  m_timers.emplace(id, TTimer{period, TClock::now() + period, std::move(tick)});
  return id;
}

void THeadlessEventLoop::RemoveTimer(TTimerId id) {
  m_timers.erase(id);
}

void THeadlessEventLoop::RunDueTimers() {
  const TClock::time_point now = TClock::now();
  std::vector<TTimerId> due;
  for (const auto& [id, timer] : m_timers) {
    if (timer.Due <= now) {
      due.push_back(id);
    }
  }
  for (const TTimerId id : due) {
    const auto found = m_timers.find(id);
    // An earlier tick may have removed or restarted it.
    if (found == m_timers.end() || found->second.Due > now) {
      continue;
    }
    TTimer& timer = found->second;
    // A loop that fell behind skips the missed ticks rather than firing them in a burst.
    timer.Due = std::max(timer.Due + timer.Period, now);
    // The tick may remove its own timer, so it runs from a copy.
    const std::function<void()> tick = timer.Tick;
    tick();
  }
}

void THeadlessEventLoop::WaitForWork(TClock::time_point deadline) {
  TClock::time_point until = deadline;
  for (const auto& [id, timer] : m_timers) {
    until = std::min(until, timer.Due);
  }
  std::unique_lock lock(m_mutex);
  m_wake.wait_until(lock, until, [this] { return !m_tasks.empty() || m_quit; });
}

bool THeadlessEventLoop::RunUntil(const std::function<bool()>& done,
                                  std::chrono::milliseconds limit) {
  const TClock::time_point deadline = TClock::now() + limit;
  for (;;) {
    if (done()) {
      return true;
    }
    ProcessPending();
    if (done()) {
      return true;
    }
    if (TClock::now() >= deadline) {
      return false;
    }
    WaitForWork(deadline);
  }
}

void THeadlessEventLoop::Run() {
  for (;;) {
    {
      std::lock_guard lock(m_mutex);
      if (m_quit) {
        m_quit = false;
        return;
      }
    }
    ProcessPending();
    // A far deadline rather than the clock's end, which some waits cannot convert.
    WaitForWork(TClock::now() + std::chrono::hours(24));
  }
}

void THeadlessEventLoop::Quit() {
  {
    std::lock_guard lock(m_mutex);
    m_quit = true;
  }
  m_wake.notify_all();
}

}  // namespace ethconf
