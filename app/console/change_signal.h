#pragma once

#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <mutex>

namespace vn::console {

// Wakes the command's thread when any of its devices reports something.
class ChangeSignal {
 public:
  void Notify() {
    {
      std::lock_guard lock(mutex_);
      ++count_;
    }
    changed_.notify_all();
  }

  // Waits until something was reported after the count `seen` or `limit`
  // passes; `seen` becomes the count now.
  void WaitAfter(std::uint64_t& seen, std::chrono::milliseconds limit) {
    std::unique_lock lock(mutex_);
    changed_.wait_for(lock, limit, [&] { return count_ != seen; });
    seen = count_;
  }

 private:
  std::mutex mutex_;
  std::condition_variable changed_;
  std::uint64_t count_ = 0;
};

}  // namespace vn::console
