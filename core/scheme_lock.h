#pragma once

#include <atomic>
#include <functional>
#include <thread>

namespace vn {

// Scheme code runs on three threads (the window thread, the serial reader
// and the timer), each firing whole chains synchronously. One lock, held for
// the whole of every chain that starts outside the scheme, keeps two chains
// from touching the same components at once without changing the order of
// events inside a chain. It is recursive: a chain may start another chain on
// its own thread (a component that fires from a platform callback while the
// thread already runs a chain). See docs/threads.md.
namespace scheme_lock {

// Blocks until this thread holds the lock (or already does).
void Enter();

// As Enter, but gives up without entering once `cancelled` is set, however
// long it has waited; returns whether the lock is now held. Threads that a
// component owns (reader, timer) wait this way, so the component can end
// them while another thread holds the lock.
bool EnterUnless(const std::atomic<bool>& cancelled);

void Leave();

// Wakes every EnterUnless so that it sees the flag the caller just set.
void WakeWaiters();

bool HeldByThisThread();

// The window thread must go on answering the messages other threads send it
// while it waits for the lock; it installs what to do meanwhile. The hook is
// called on the waiting thread, repeatedly, with the lock not held.
using WaitHook = std::function<void()>;
void SetThreadWaitHook(WaitHook hook);

// Work handed to the window thread by a thread that holds the lock and
// waits for it: the window thread takes the holder's place for the length
// of the work (notifications the work causes belong to the holder's chain)
// and gives it back afterwards. Nothing happens when `holder` does not hold
// the lock.
class LockLoan {
 public:
  explicit LockLoan(std::thread::id holder);
  LockLoan(const LockLoan&) = delete;
  LockLoan& operator=(const LockLoan&) = delete;
  ~LockLoan();

 private:
  std::thread::id holder_;
  bool taken_ = false;
};

}  // namespace scheme_lock

// Holds the scheme lock for the lifetime of the object.
class SchemeChain {
 public:
  SchemeChain() { scheme_lock::Enter(); }
  SchemeChain(const SchemeChain&) = delete;
  SchemeChain& operator=(const SchemeChain&) = delete;
  ~SchemeChain() { scheme_lock::Leave(); }
};

}  // namespace vn
