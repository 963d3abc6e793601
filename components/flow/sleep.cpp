#include "components/flow/sleep.h"

#include <thread>

#include "components/flow/high_resolution_counter.h"
#include "core/dispatch.h"

namespace vn {

std::int64_t ElapsedMicroseconds(std::int64_t start, std::int64_t now, std::int64_t frequency) {
  const std::int64_t perMicrosecond = frequency / 1'000'000;
  if (perMicrosecond > 0) return (now - start) / perMicrosecond;
  if (frequency <= 0) return now - start;
  return (now - start) * 1'000'000 / frequency;
}

void TVNSleep::doSleep(TData& data, std::uint16_t /*index*/) {
  const std::int64_t frequency = HighResolutionFrequency();
  const std::int64_t start = HighResolutionCount();
  // Spinning keeps the delay as exact as the counter; yielding the time
  // slice between looks lets the other threads of the machine run.
  while (ElapsedMicroseconds(start, HighResolutionCount(), frequency) <= std::int64_t{Delay}) {
    std::this_thread::yield();
  }
  FireEvent(onSleep, data);
}

}  // namespace vn
