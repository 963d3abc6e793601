#include "core/scheme_lock.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <thread>

namespace vn {
namespace {

TEST(SchemeLock, IsRecursiveOnOneThread) {
  EXPECT_FALSE(scheme_lock::HeldByThisThread());
  {
    SchemeChain outer;
    SchemeChain inner;
    EXPECT_TRUE(scheme_lock::HeldByThisThread());
  }
  EXPECT_FALSE(scheme_lock::HeldByThisThread());
}

TEST(SchemeLock, KeepsChainsOfTwoThreadsApart) {
  int shared = 0;  // touched only inside chains: TSan reports any overlap
  auto work = [&shared] {
    for (int i = 0; i < 2000; ++i) {
      SchemeChain chain;
      const int seen = shared;
      shared = seen + 1;
    }
  };
  std::thread other(work);
  work();
  other.join();
  EXPECT_EQ(shared, 4000);
}

TEST(SchemeLock, CancelledWaiterGivesUpWhileAnotherThreadHoldsTheLock) {
  std::atomic<bool> stop{false};
  std::atomic<bool> entered{true};
  SchemeChain held;
  std::thread waiter([&] { entered = scheme_lock::EnterUnless(stop); });
  std::this_thread::sleep_for(std::chrono::milliseconds(20));
  stop = true;
  scheme_lock::WakeWaiters();
  waiter.join();  // would hang if the waiter kept waiting
  EXPECT_FALSE(entered);
}

TEST(SchemeLock, WaiterRunsItsHookUntilTheLockIsFree) {
  std::atomic<int> hookRuns{0};
  std::atomic<bool> release{false};
  std::thread holder;
  {
    std::atomic<bool> holding{false};
    holder = std::thread([&] {
      SchemeChain chain;
      holding = true;
      while (!release) std::this_thread::yield();
    });
    while (!holding) std::this_thread::yield();
  }
  scheme_lock::SetThreadWaitHook([&] {
    // The hook runs without the lock: the window thread answers messages here.
    EXPECT_FALSE(scheme_lock::HeldByThisThread());
    if (++hookRuns == 3) release = true;
  });
  {
    SchemeChain chain;
    EXPECT_GE(hookRuns.load(), 3);
  }
  scheme_lock::SetThreadWaitHook(nullptr);
  holder.join();
}

TEST(SchemeLock, LoanLetsAnotherThreadWorkInTheHoldersChain) {
  SchemeChain held;
  const std::thread::id holder = std::this_thread::get_id();
  bool enteredOnWorker = false;
  std::thread worker([&] {
    scheme_lock::LockLoan loan(holder);
    SchemeChain nested;  // would block forever without the loan
    enteredOnWorker = scheme_lock::HeldByThisThread();
  });
  worker.join();
  EXPECT_TRUE(enteredOnWorker);
  EXPECT_TRUE(scheme_lock::HeldByThisThread());  // given back
}

TEST(SchemeLock, LoanFromAThreadThatHoldsNothingGivesNothing) {
  std::thread worker([&] {
    scheme_lock::LockLoan loan(std::thread::id{});
    EXPECT_FALSE(scheme_lock::HeldByThisThread());
  });
  worker.join();
  EXPECT_FALSE(scheme_lock::HeldByThisThread());
}

}  // namespace
}  // namespace vn
