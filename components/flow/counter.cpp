#include "components/flow/counter.h"

#include "core/dispatch.h"

namespace vn {
namespace {

// Keeps the low 32 bits, as 32-bit two's-complement arithmetic would.
std::int32_t Wrap32(std::int64_t value) {
  return static_cast<std::int32_t>(static_cast<std::uint32_t>(value));
}

}  // namespace

// The step is taken in 64 bits, so a count that would pass INT32_MAX is
// simply greater than Max and restarts at Min instead of turning negative
// and slipping under Max. Only a step whose sign works against the direction
// can leave the 32-bit range unchecked; that count wraps.
void TVNCounter::doNext(TData& data, std::uint16_t /*index*/) {
  const std::int64_t count = count_;
  if (Direction == 0) {
    const std::int64_t next = count + Step;
    count_ = next > Max ? Min : Wrap32(next);
  } else {
    const std::int64_t next = count - Step;
    count_ = next < Min ? Max : Wrap32(next);
  }
  DeferInteger(data, onNext, count_);
}

void TVNCounter::doReset(TData& /*data*/, std::uint16_t /*index*/) {
  count_ = Direction == 0 ? Min : Max;
}

void TVNCounter::varCount(TData& data, std::uint16_t /*index*/) { dtInteger(data, count_); }

}  // namespace vn
