#include <time.h>

#include "components/flow/high_resolution_counter.h"

namespace vn {

std::int64_t HighResolutionCount() {
  timespec now{};
  clock_gettime(CLOCK_MONOTONIC, &now);
  return static_cast<std::int64_t>(now.tv_sec) * 1'000'000'000 + now.tv_nsec;
}

std::int64_t HighResolutionFrequency() { return 1'000'000'000; }

}  // namespace vn
