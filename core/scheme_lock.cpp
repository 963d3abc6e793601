#include "core/scheme_lock.h"

#include <chrono>
#include <condition_variable>
#include <mutex>
#include <thread>

namespace vn::scheme_lock {
namespace {

struct LockState {
  std::mutex mutex;
  std::condition_variable released;
  std::thread::id owner;
  int depth = 0;
};

LockState& State() {
  static LockState state;
  return state;
}

thread_local WaitHook tWaitHook;

// How often a waiting thread with a hook runs it.
constexpr auto kHookInterval = std::chrono::milliseconds(5);

bool EnterImpl(const std::atomic<bool>* cancelled) {
  LockState& s = State();
  const std::thread::id me = std::this_thread::get_id();
  std::unique_lock lock(s.mutex);
  if (s.depth > 0 && s.owner == me) {
    ++s.depth;
    return true;
  }
  while (s.depth > 0) {
    if (cancelled != nullptr && cancelled->load(std::memory_order_acquire)) return false;
    if (tWaitHook) {
      s.released.wait_for(lock, kHookInterval);
      if (s.depth == 0) break;
      lock.unlock();
      tWaitHook();
      lock.lock();
    } else {
      s.released.wait(lock);
    }
  }
  if (cancelled != nullptr && cancelled->load(std::memory_order_acquire)) return false;
  s.owner = me;
  s.depth = 1;
  return true;
}

}  // namespace

void Enter() { EnterImpl(nullptr); }

bool EnterUnless(const std::atomic<bool>& cancelled) { return EnterImpl(&cancelled); }

void Leave() {
  LockState& s = State();
  std::lock_guard lock(s.mutex);
  if (s.depth == 0 || s.owner != std::this_thread::get_id()) return;  // not ours to release
  if (--s.depth == 0) {
    s.owner = std::thread::id();
    s.released.notify_all();
  }
}

void WakeWaiters() {
  LockState& s = State();
  std::lock_guard lock(s.mutex);
  s.released.notify_all();
}

bool HeldByThisThread() {
  LockState& s = State();
  std::lock_guard lock(s.mutex);
  return s.depth > 0 && s.owner == std::this_thread::get_id();
}

void SetThreadWaitHook(WaitHook hook) { tWaitHook = std::move(hook); }

LockLoan::LockLoan(std::thread::id holder) : holder_(holder) {
  LockState& s = State();
  std::lock_guard lock(s.mutex);
  if (s.depth > 0 && s.owner == holder_ && holder_ != std::this_thread::get_id()) {
    s.owner = std::this_thread::get_id();
    taken_ = true;
  }
}

LockLoan::~LockLoan() {
  if (!taken_) return;
  LockState& s = State();
  std::lock_guard lock(s.mutex);
  s.owner = holder_;
}

}  // namespace vn::scheme_lock
