#pragma once

#include <cstdint>
#include <memory>

namespace vn {

// Periodic ticks on a thread of their own: the multimedia timer on Windows
// (timeSetEvent), a timer thread elsewhere.
//
// After Stop returns, no tick runs or starts any more, except the one that
// called Stop (a tick may stop its own timer). Stop therefore waits for a
// tick running on the timer's thread to return: the handler must return
// promptly once its owner asks it to (see TVNMMTimer).
class TickSource {
 public:
  using Handler = void (*)(void* context);

  TickSource(Handler handler, void* context);
  TickSource(const TickSource&) = delete;
  TickSource& operator=(const TickSource&) = delete;
  ~TickSource();  // stops

  // False when the platform gave no timer.
  bool Start(std::uint32_t intervalMs, std::uint32_t resolutionMs, bool periodic);
  void Stop();

 private:
  struct Impl;
  std::unique_ptr<Impl> impl_;
};

}  // namespace vn
