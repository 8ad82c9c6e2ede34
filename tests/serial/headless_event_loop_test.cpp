// The headless event loop and the reply timer on it.

#include <atomic>
#include <chrono>
#include <thread>
#include <vector>

#include <gtest/gtest.h>

#include "serial/headless_event_loop.h"
#include "serial/headless_reply_timer.h"

namespace ethconf {
namespace {

using namespace std::chrono_literals;
using TClock = std::chrono::steady_clock;

TEST(HeadlessEventLoop, TasksFromOtherThreadsRunOnTheLoopThreadInOrder) {
  THeadlessEventLoop loop;
  const std::thread::id loopThread = std::this_thread::get_id();
  std::vector<int> order;
  bool allOnLoopThread = true;
  std::thread poster([&] {
    for (int i = 0; i < 100; ++i) {
      loop.Post([&, i] {
        order.push_back(i);
        allOnLoopThread = allOnLoopThread && std::this_thread::get_id() == loopThread;
      });
    }
  });
  EXPECT_TRUE(loop.RunUntil([&] { return order.size() == 100; }, 10s));
  poster.join();
  EXPECT_TRUE(allOnLoopThread);
  for (int i = 0; i < 100; ++i) {
    EXPECT_EQ(order[i], i);
  }
}

TEST(HeadlessEventLoop, ProcessPendingRunsOnlyWhatWasPendingOnce) {
  THeadlessEventLoop loop;
  std::vector<int> ran;
  loop.Post([&] {
    ran.push_back(1);
    loop.Post([&] { ran.push_back(3); });
  });
  loop.Post([&] {
    ran.push_back(2);
    // A nested call runs nothing twice.
    loop.ProcessPending();
  });
  loop.ProcessPending();
  EXPECT_EQ(ran, (std::vector<int>{1, 2, 3}));
  loop.Post([&] { ran.push_back(4); });
  loop.Post([&] { ran.push_back(5); });
  loop.Post([&] {
    loop.Post([&] { ran.push_back(7); });
    ran.push_back(6);
  });
  loop.ProcessPending();
  EXPECT_EQ(ran, (std::vector<int>{1, 2, 3, 4, 5, 6}));
  loop.ProcessPending();
  EXPECT_EQ(ran, (std::vector<int>{1, 2, 3, 4, 5, 6, 7}));
}

TEST(HeadlessEventLoop, ThrowingTaskLeavesTheRestQueued) {
  THeadlessEventLoop loop;
  int ran = 0;
  loop.Post([] { throw std::runtime_error("boom"); });
  loop.Post([&] { ++ran; });
  EXPECT_THROW(loop.ProcessPending(), std::runtime_error);
  EXPECT_EQ(ran, 0);
  loop.ProcessPending();
  EXPECT_EQ(ran, 1);
}

TEST(HeadlessEventLoop, TimersTickAndCanBeRemovedInsideTheirTick) {
  THeadlessEventLoop loop;
  int ticks = 0;
  THeadlessEventLoop::TTimerId id = 0;
  id = loop.AddTimer(5ms, [&] {
    if (++ticks == 3) {
      loop.RemoveTimer(id);
    }
  });
  EXPECT_TRUE(loop.RunUntil([&] { return ticks == 3; }, 10s));
  // The removed timer stays quiet; the limit ends the run.
  EXPECT_FALSE(loop.RunUntil([&] { return ticks > 3; }, 50ms));
  loop.RemoveTimer(12345);
}

TEST(HeadlessEventLoop, QuitFromAnotherThreadEndsRun) {
  THeadlessEventLoop loop;
  std::atomic<bool> ran{false};
  std::thread other([&] {
    loop.Post([&] { ran = true; });
    loop.Quit();
  });
  loop.Run();
  other.join();
  // Quit may land before the posted task ran; one more round runs it.
  loop.ProcessPending();
  EXPECT_TRUE(ran);
}

TEST(HeadlessReplyTimer, EnablingStartsAFreshPeriod) {
  THeadlessEventLoop loop;
  int ticks = 0;
  THeadlessReplyTimer timer(
      loop, [&] { ++ticks; }, 100ms);
  EXPECT_FALSE(timer.Enabled());
  const TClock::time_point enabledAt = TClock::now();
  timer.SetEnabled(true);
  EXPECT_TRUE(timer.Enabled());
  ASSERT_TRUE(loop.RunUntil([&] { return ticks == 1; }, 10s));
  EXPECT_GE(TClock::now() - enabledAt, 100ms);

  // Enabling again while enabled keeps the period; disabling stops the ticks.
  timer.SetEnabled(true);
  ASSERT_TRUE(loop.RunUntil([&] { return ticks == 2; }, 10s));
  timer.SetEnabled(false);
  EXPECT_FALSE(timer.Enabled());
  EXPECT_FALSE(loop.RunUntil([&] { return ticks > 2; }, 250ms));

  const TClock::time_point reenabledAt = TClock::now();
  timer.SetEnabled(true);
  ASSERT_TRUE(loop.RunUntil([&] { return ticks == 3; }, 10s));
  EXPECT_GE(TClock::now() - reenabledAt, 100ms);
}

TEST(HeadlessReplyTimer, DefaultPeriodIsOneSecond) {
  THeadlessEventLoop loop;
  int ticks = 0;
  THeadlessReplyTimer timer(loop, [&] { ++ticks; });
  const TClock::time_point enabledAt = TClock::now();
  timer.SetEnabled(true);
  ASSERT_TRUE(loop.RunUntil([&] { return ticks == 1; }, 10s));
  EXPECT_GE(TClock::now() - enabledAt, 1000ms);
}

}  // namespace
}  // namespace ethconf
