#include "components/flow/mm_timer.h"

#include "core/dispatch.h"
#include "core/scheme_lock.h"

namespace vn {

TVNMMTimer::TVNMMTimer() : source_(&TVNMMTimer::OnTick, this) {}

TVNMMTimer::~TVNMMTimer() {
  SchemeChain chain;
  guard_->destroyed = true;
  StopTimer();
}

void TVNMMTimer::OnTick(void* self) { static_cast<TVNMMTimer*>(self)->Tick(); }

void TVNMMTimer::Tick() {
  const std::shared_ptr<TickGuard> guard = guard_;
  // One tick at a time: a tick that arrives while the last one is still
  // being handled is dropped, not queued.
  if (guard->busy.exchange(true)) return;
  if (!scheme_lock::EnterUnless(guard->stopping)) {
    guard->busy = false;
    return;
  }
  if (remaining_ >= 0) --remaining_;
  FireNull(onTimer);
  if (!guard->destroyed && remaining_ == 0) {
    StopTimer();
    FireNull(onStop);
  }
  guard->busy = false;
  scheme_lock::Leave();
}

void TVNMMTimer::StartTimer() {
  if (enabled_) return;
  enabled_ = true;
  guard_->stopping = false;
  source_.Start(interval_, resolution_, periodic_);
}

// Waits for a tick running on the timer's thread (unless this is that tick):
// the flag and the wake make a tick that waits for the lock give up at once.
void TVNMMTimer::StopTimer() {
  if (!enabled_) return;
  enabled_ = false;
  guard_->stopping = true;
  scheme_lock::WakeWaiters();
  source_.Stop();
}

void TVNMMTimer::SetInterval(std::uint32_t milliseconds) {
  SchemeChain chain;
  if (milliseconds == interval_) return;
  interval_ = milliseconds;
  if (enabled_) {
    StopTimer();
    StartTimer();
  }
}

void TVNMMTimer::SetResolution(std::uint32_t milliseconds) {
  SchemeChain chain;
  resolution_ = milliseconds;
}

void TVNMMTimer::SetAutoStart(bool start) {
  SchemeChain chain;
  if (start) {
    StartTimer();
  } else {
    StopTimer();
  }
}

void TVNMMTimer::SetCount(std::int32_t count) {
  SchemeChain chain;
  count_ = count;
  remaining_ = count;
}

void TVNMMTimer::doStart(TData& /*data*/, std::uint16_t /*index*/) {
  SchemeChain chain;
  remaining_ = count_;
  StartTimer();
}

void TVNMMTimer::doStop(TData& /*data*/, std::uint16_t /*index*/) {
  SchemeChain chain;
  StopTimer();
  FireNull(onStop);
}

}  // namespace vn
