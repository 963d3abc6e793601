#include "components/flow/high_resolution_counter.h"
#include "core/win32_api.h"

namespace vn {

std::int64_t HighResolutionCount() {
  LARGE_INTEGER count{};
  QueryPerformanceCounter(&count);
  return count.QuadPart;
}

std::int64_t HighResolutionFrequency() {
  LARGE_INTEGER frequency{};
  QueryPerformanceFrequency(&frequency);
  return frequency.QuadPart;
}

}  // namespace vn
