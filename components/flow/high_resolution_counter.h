#pragma once

#include <cstdint>

namespace vn {

// The platform's high-resolution counter: QueryPerformanceCounter on
// Windows, the monotonic clock elsewhere.
std::int64_t HighResolutionCount();
std::int64_t HighResolutionFrequency();  // counts per second

}  // namespace vn
