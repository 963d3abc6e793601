#pragma once

#include <cstdint>

#include "core/point_link.h"
#include "core/tdata.h"

namespace vn {

// Holds up the event passing through it for `Delay` microseconds by spinning
// on the high-resolution counter, then lets it continue unchanged. The wait
// is exact to the counter's microsecond and blocks the calling thread.
class TVNSleep {
 public:
  std::int32_t Delay = 0;  // microseconds
  TPointLink onSleep;

  void doSleep(TData& data, std::uint16_t index);
};

// Microseconds between two counts: whole counts per microsecond, as the
// delay has always been measured, or exact arithmetic for a counter slower
// than 1 MHz (where a whole count per microsecond would be zero).
std::int64_t ElapsedMicroseconds(std::int64_t start, std::int64_t now, std::int64_t frequency);

}  // namespace vn
