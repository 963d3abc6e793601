#include "tools/sim/line_pacing.h"

#include <algorithm>

namespace vn::sim {

LinePacing::LinePacing(std::uint32_t baud)
    : byteTime_(baud == 0 ? 0 : 10'000'000'000LL / baud) {}

LineTime LinePacing::Received(LineTime arrival) {
  lastReceived_ = anyReceived_ ? std::max(arrival, lastReceived_ + byteTime_) : arrival;
  anyReceived_ = true;
  return lastReceived_;
}

LineTime LinePacing::Sent(LineTime due) {
  lastSent_ = anySent_ ? std::max(due, lastSent_ + byteTime_) : due;
  anySent_ = true;
  return lastSent_;
}

}  // namespace vn::sim
