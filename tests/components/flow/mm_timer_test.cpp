#include "components/flow/mm_timer.h"

#include <gtest/gtest.h>

#include <chrono>
#include <condition_variable>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

#include "core/dispatch.h"
#include "core/scheme_lock.h"
#include "tests/support/test_points.h"

namespace vn {
namespace {

using namespace std::chrono_literals;

constexpr auto kPatience = 5s;  // generous: failing means the event never came

// Counts timer events from any thread and lets the test wait for them.
struct EventCounter {
  std::mutex mutex;
  std::condition_variable changed;
  int ticks = 0;
  int stops = 0;

  void doTick(TData&, std::uint16_t) { Bump(ticks); }
  void doStop(TData&, std::uint16_t) { Bump(stops); }
  void Bump(int& n) {
    std::lock_guard lock(mutex);
    ++n;
    changed.notify_all();
  }
  bool WaitFor(const int& n, int atLeast) {
    std::unique_lock lock(mutex);
    return changed.wait_for(lock, kPatience, [&] { return n >= atLeast; });
  }
  int Get(const int& n) {
    std::lock_guard lock(mutex);
    return n;
  }
};

class MMTimerTest : public test::LiveDispatchTest {
 protected:
  void Wire(TVNMMTimer& timer) {
    timer.onTimer = MakePoint<&EventCounter::doTick>(0, &events);
    timer.onStop = MakePoint<&EventCounter::doStop>(0, &events);
  }
  EventCounter events;
  TData none;
};

TEST_F(MMTimerTest, CountOneGivesOneTickThenStops) {
  TVNMMTimer timer;
  Wire(timer);
  timer.SetInterval(5);
  timer.SetCount(1);
  timer.doStart(none, 0);
  ASSERT_TRUE(events.WaitFor(events.stops, 1));
  EXPECT_EQ(events.Get(events.ticks), 1);
  SchemeChain chain;
  EXPECT_FALSE(timer.Running());
}

TEST_F(MMTimerTest, CountZeroRunsUntilStoppedAndEveryStopFires) {
  TVNMMTimer timer;
  Wire(timer);
  timer.SetInterval(2);
  timer.doStart(none, 0);
  ASSERT_TRUE(events.WaitFor(events.ticks, 3));
  timer.doStop(none, 0);
  timer.doStop(none, 0);
  EXPECT_EQ(events.Get(events.stops), 2);
  const int ticks = events.Get(events.ticks);
  std::this_thread::sleep_for(20ms);
  EXPECT_EQ(events.Get(events.ticks), ticks);  // nothing after the stop
  EXPECT_EQ(timer.RemainingTicks(), -1);
}

TEST_F(MMTimerTest, TickLimitAndRestartCountedFromDoStart) {
  // A long interval keeps the real timer out of the way; ticks are delivered
  // by hand as the timer's thread would.
  TVNMMTimer timer;
  Wire(timer);
  timer.SetInterval(3'600'000);
  timer.SetCount(3);
  timer.doStart(none, 0);
  timer.Tick();
  timer.Tick();
  EXPECT_EQ(timer.RemainingTicks(), 1);
  timer.doStart(none, 0);  // running: the remaining ticks are reloaded
  for (int i = 0; i < 3; ++i) timer.Tick();
  EXPECT_EQ(events.Get(events.ticks), 5);
  EXPECT_EQ(events.Get(events.stops), 1);
  EXPECT_FALSE(timer.Running());
}

TEST_F(MMTimerTest, AutoStartNeitherReloadsNorFiresStop) {
  TVNMMTimer timer;
  Wire(timer);
  timer.SetInterval(3'600'000);
  timer.SetCount(2);
  timer.SetAutoStart(true);
  EXPECT_TRUE(timer.Running());
  timer.Tick();
  timer.SetAutoStart(false);
  EXPECT_FALSE(timer.Running());
  EXPECT_EQ(timer.RemainingTicks(), 1);
  EXPECT_EQ(events.Get(events.stops), 0);
  timer.SetInterval(3'600'000);  // same value: still stopped
  EXPECT_FALSE(timer.Running());
}

// Re-enters the timer's tick from inside onTimer.
struct Reentrant {
  TVNMMTimer* timer;
  int calls = 0;
  void doTick(TData&, std::uint16_t) {
    ++calls;
    timer->Tick();
  }
};

TEST_F(MMTimerTest, TickArrivingDuringATickIsDropped) {
  TVNMMTimer timer;
  timer.SetInterval(3'600'000);
  timer.SetCount(5);
  Reentrant reentrant{&timer};
  timer.onTimer = MakePoint<&Reentrant::doTick>(0, &reentrant);
  timer.doStart(none, 0);
  timer.Tick();
  EXPECT_EQ(reentrant.calls, 1);
  EXPECT_EQ(timer.RemainingTicks(), 4);
}

// The tick's receiver takes its time, or stops or destroys the timer.
struct SlowTick {
  std::unique_ptr<TVNMMTimer>* owner = nullptr;
  std::atomic<bool> entered{false};
  std::chrono::milliseconds pause{0};
  bool destroy = false;
  bool stop = false;
  void doTick(TData& data, std::uint16_t) {
    entered = true;
    std::this_thread::sleep_for(pause);
    if (stop) (*owner)->doStop(data, 0);
    if (destroy) owner->reset();
  }
};

TEST_F(MMTimerTest, DestroyingWhileATickRunsWaitsForIt) {
  auto timer = std::make_unique<TVNMMTimer>();
  SlowTick slow{&timer};
  slow.pause = 100ms;
  timer->onTimer = MakePoint<&SlowTick::doTick>(0, &slow);
  timer->SetInterval(1);
  timer->doStart(none, 0);
  while (!slow.entered) std::this_thread::yield();
  timer.reset();  // ASan reports a tick that outlives its timer
  SUCCEED();
}

TEST_F(MMTimerTest, ATickMayStopOrDestroyItsOwnTimer) {
  auto timer = std::make_unique<TVNMMTimer>();
  SlowTick slow{&timer};
  slow.stop = true;
  slow.destroy = true;
  timer->onTimer = MakePoint<&SlowTick::doTick>(0, &slow);
  timer->onStop = MakePoint<&EventCounter::doStop>(0, &events);
  timer->SetInterval(1);
  timer->doStart(none, 0);
  ASSERT_TRUE(events.WaitFor(events.stops, 1));
  bool gone = false;
  for (int i = 0; i < 1000 && !gone; ++i) {
    {
      SchemeChain chain;  // the timer thread resets the pointer inside its chain
      gone = timer == nullptr;
    }
    std::this_thread::sleep_for(5ms);
  }
  EXPECT_TRUE(gone);
}

TEST_F(MMTimerTest, StoppingWhileATickWaitsForTheLockDoesNotDeadlock) {
  TVNMMTimer timer;
  Wire(timer);
  timer.SetInterval(1);
  {
    SchemeChain held;  // ticks now queue up behind the lock
    timer.doStart(none, 0);
    std::this_thread::sleep_for(20ms);
    timer.doStop(none, 0);
  }
  EXPECT_EQ(events.Get(events.ticks), 0);
  EXPECT_EQ(events.Get(events.stops), 1);
}

}  // namespace
}  // namespace vn
