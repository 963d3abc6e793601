#include "components/flow/mm_timer.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <memory>
#include <thread>

#include "components/flow/sleep.h"
#include "core/dispatch.h"
#include "core/scheme_lock.h"
#include "tests/support/test_points.h"

namespace vn {
namespace {

using namespace std::chrono_literals;

constexpr auto kPatience = 5s;  // generous: failing means the event never came

// Counts timer events from any thread.
struct EventCounter {
  std::atomic<int> ticks{0};
  std::atomic<int> stops{0};
  void doTick(TData&, std::uint16_t) { ++ticks; }
  void doStop(TData&, std::uint16_t) { ++stops; }
};

// Waits until `count` reaches `atLeast`; false if it never does.
bool WaitFor(const std::atomic<int>& count, int atLeast) {
  const auto deadline = std::chrono::steady_clock::now() + kPatience;
  while (count < atLeast) {
    if (std::chrono::steady_clock::now() > deadline) return false;
    std::this_thread::sleep_for(1ms);
  }
  return true;
}

class MMTimerTest : public test::LiveDispatchTest {
 protected:
  void Wire(TVNMMTimer& timer) {
    timer.onTimer = MakePoint<&EventCounter::doTick>(0, &events);
    timer.onStop = MakePoint<&EventCounter::doStop>(0, &events);
  }
  EventCounter events;
  TData none;
};

TEST_F(MMTimerTest, CountZeroRunsUntilStoppedAndEveryStopFires) {
  TVNMMTimer timer;
  Wire(timer);
  timer.SetInterval(2);
  timer.doStart(none, 0);
  ASSERT_TRUE(WaitFor(events.ticks, 3));
  timer.doStop(none, 0);
  timer.doStop(none, 0);
  EXPECT_EQ(events.stops, 2);
  const int ticks = events.ticks;
  std::this_thread::sleep_for(20ms);
  EXPECT_EQ(events.ticks, ticks);  // nothing after the stop
  EXPECT_EQ(timer.RemainingTicks(), -1);
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

// The tick's receiver takes its time, or stops and destroys the timer.
struct SlowTick {
  std::unique_ptr<TVNMMTimer>* owner = nullptr;
  std::atomic<bool> entered{false};
  std::atomic<bool> finished{false};
  std::chrono::milliseconds pause{0};
  bool stopAndDestroy = false;
  void doTick(TData& data, std::uint16_t) {
    entered = true;
    std::this_thread::sleep_for(pause);
    if (stopAndDestroy) {
      (*owner)->doStop(data, 0);
      owner->reset();
    }
    finished = true;
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
  timer.reset();  // ASan also reports a tick that outlives its timer
  EXPECT_TRUE(slow.finished);
}

TEST_F(MMTimerTest, ATickMayStopOrDestroyItsOwnTimer) {
  auto timer = std::make_unique<TVNMMTimer>();
  SlowTick slow{&timer};
  slow.stopAndDestroy = true;
  timer->onTimer = MakePoint<&SlowTick::doTick>(0, &slow);
  timer->onStop = MakePoint<&EventCounter::doStop>(0, &events);
  timer->SetInterval(1);
  timer->doStart(none, 0);
  ASSERT_TRUE(WaitFor(events.stops, 1));
  SchemeChain chain;  // the tick holds the lock until it has reset the pointer
  EXPECT_EQ(timer, nullptr);
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
  EXPECT_EQ(events.ticks, 0);
  EXPECT_EQ(events.stops, 1);
}

class SleepTest : public test::LiveDispatchTest {};

TEST_F(SleepTest, WaitsAtLeastItsDelayAndPassesTheValueOn) {
  for (const std::int32_t delay : {-5, 0, 2000, 20000}) {  // negative: no wait at all
    TVNSleep sleep;
    sleep.Delay = delay;
    test::Recorder r;
    sleep.onSleep = r.Link();
    const auto start = std::chrono::steady_clock::now();
    FireString(MakePoint<&TVNSleep::doSleep>(0, &sleep), RcString("v"));
    const auto waited = std::chrono::steady_clock::now() - start;
    EXPECT_GE(std::chrono::duration_cast<std::chrono::microseconds>(waited).count(), delay) << delay;
    ASSERT_EQ(r.Count(), 1u);
    EXPECT_EQ(r.Last().SData, "v");
  }
}

TEST(ElapsedMicroseconds, WholeCountsPerMicrosecondOrExactForSlowCounters) {
  EXPECT_EQ(ElapsedMicroseconds(0, 3'000, 1'000'000'000), 3);       // 1000 counts per microsecond
  // 3.58 MHz: whole counts per microsecond make each "microsecond" 3 counts,
  // slightly short of a true one, as the delay has always been measured.
  EXPECT_EQ(ElapsedMicroseconds(0, 3'000'000, 3'579'545), 1'000'000);
  EXPECT_EQ(ElapsedMicroseconds(0, 32'768, 32'768), 1'000'000);     // a 32 kHz counter: exact
  EXPECT_EQ(ElapsedMicroseconds(100, 100, 32'768), 0);
}

}  // namespace
}  // namespace vn
