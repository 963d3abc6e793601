#pragma once

#include <atomic>
#include <cstdint>
#include <memory>

#include "components/flow/tick_source.h"
#include "core/point_link.h"
#include "core/tdata.h"

namespace vn {

// Periodic ticks from the multimedia timer, optionally ending by itself after
// `Count` ticks. Ticks fire on the timer's own thread, with the scheme lock
// held for the whole tick.
class TVNMMTimer {
 public:
  TVNMMTimer();
  TVNMMTimer(const TVNMMTimer&) = delete;
  TVNMMTimer& operator=(const TVNMMTimer&) = delete;
  // Stops the timer without firing onStop; safe while a tick runs, also from
  // inside that tick.
  ~TVNMMTimer();

  // A running timer restarts with a new interval; the same value changes
  // nothing.
  void SetInterval(std::uint32_t milliseconds);
  std::uint32_t Interval() const { return interval_; }
  void SetResolution(std::uint32_t milliseconds);
  // Starts or stops at once; the remaining ticks stay, onStop is not fired.
  void SetAutoStart(bool start);
  // Count 0 or negative: no limit. Also reloads the remaining ticks.
  void SetCount(std::int32_t count);
  std::int32_t Count() const { return count_; }

  void doStart(TData& data, std::uint16_t index);
  void doStop(TData& data, std::uint16_t index);

  TPointLink onTimer;
  TPointLink onStop;

  bool Running() const { return enabled_; }
  std::int32_t RemainingTicks() const { return remaining_; }

  // The tick itself; public so that tests can deliver a tick as the timer's
  // thread would.
  void Tick();

 private:
  // What a tick needs of the component once it may be gone: a tick can
  // destroy its own timer through the chain it fires.
  struct TickGuard {
    std::atomic<bool> busy{false};
    std::atomic<bool> stopping{false};  // a tick waiting for the lock gives up
    bool destroyed = false;             // read and written with the scheme lock held
  };

  static void OnTick(void* self);
  void StartTimer();
  void StopTimer();

  std::shared_ptr<TickGuard> guard_ = std::make_shared<TickGuard>();
  TickSource source_;
  std::int32_t remaining_ = 0;
  std::int32_t count_ = 0;
  std::uint32_t interval_ = 1000;
  std::uint32_t resolution_ = 0;
  bool periodic_ = true;
  bool enabled_ = false;
};

}  // namespace vn
