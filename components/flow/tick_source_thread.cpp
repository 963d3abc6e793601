// Ticks from a thread of our own, for systems without the multimedia timer.
#include <algorithm>
#include <chrono>
#include <condition_variable>
#include <mutex>
#include <system_error>
#include <thread>

#include "components/flow/tick_source.h"

namespace vn {
namespace {

// One started period of the timer. The thread keeps it alive, so a tick
// that stops (or destroys) its own timer leaves the thread something valid
// to look at while it ends.
struct Run {
  std::mutex mutex;
  std::condition_variable changed;
  bool stopRequested = false;
};

void Loop(const std::shared_ptr<Run>& run, TickSource::Handler handler, void* context,
          std::chrono::milliseconds interval, bool periodic) {
  auto next = std::chrono::steady_clock::now() + interval;
  std::unique_lock lock(run->mutex);
  for (;;) {
    if (run->changed.wait_until(lock, next, [&run] { return run->stopRequested; })) return;
    lock.unlock();
    handler(context);
    lock.lock();
    if (run->stopRequested || !periodic) return;
    // Ticks missed while a long tick ran are not made up in a burst.
    next = std::max(next + interval, std::chrono::steady_clock::now());
  }
}

}  // namespace

struct TickSource::Impl {
  Handler handler;
  void* context;
  std::shared_ptr<Run> run;
  std::thread thread;

  // Joins the thread unless this is that thread (a tick stopping its own
  // timer): it then ends by itself once the tick returns.
  void Halt() {
    if (!run) return;
    {
      std::lock_guard lock(run->mutex);
      run->stopRequested = true;
    }
    run->changed.notify_all();
    if (thread.get_id() == std::this_thread::get_id()) {
      thread.detach();
    } else if (thread.joinable()) {
      thread.join();
    }
    run.reset();
  }
};

TickSource::TickSource(Handler handler, void* context) : impl_(std::make_unique<Impl>()) {
  impl_->handler = handler;
  impl_->context = context;
}

TickSource::~TickSource() { Stop(); }

bool TickSource::Start(std::uint32_t intervalMs, std::uint32_t /*resolutionMs*/, bool periodic) {
  impl_->Halt();
  auto run = std::make_shared<Run>();
  const std::chrono::milliseconds interval(std::max<std::uint32_t>(intervalMs, 1));
  try {
    impl_->thread = std::thread(Loop, run, impl_->handler, impl_->context, interval, periodic);
  } catch (const std::system_error&) {
    return false;
  }
  impl_->run = std::move(run);
  return true;
}

void TickSource::Stop() { impl_->Halt(); }

}  // namespace vn
