#include "components/flow/for_loop.h"

#include "core/dispatch.h"

namespace vn {
namespace {

std::int32_t Wrap32(std::int64_t value) {
  return static_cast<std::int32_t>(static_cast<std::uint32_t>(value));
}

}  // namespace

// Index and end live in 64 bits: an end at either edge of the 32-bit range,
// an excluded end of INT32_MIN or a huge step would otherwise overflow, and
// a wrapped index would never pass the end. Every fired index is in range;
// only the index past the end may not be, and it is reported wrapped to
// 32 bits.
void TVNFor::doFor(TData& data, std::uint16_t /*index*/) {
  if (UseInput == 0) dtNull(data);
  stop_ = false;
  std::int64_t index = ReadInteger(data, StartPoint, Start);
  std::int64_t end = ReadInteger(data, EndPoint, End);

  const std::int64_t step = Step;
  if (step > 0) {
    if (IncludeEnd == 0) --end;
    while (index <= end) {
      FireInteger(onEvent, Wrap32(index));
      if (stop_) break;
      index += step;
    }
  } else if (step < 0) {
    if (IncludeEnd == 0) ++end;
    while (index >= end) {
      FireInteger(onEvent, Wrap32(index));
      if (stop_) break;
      index += step;
    }
  }
  index_ = Wrap32(index);

  if (stop_ && BreakEvent != 0) {
    DeferNull(data, onBreak);
  } else {
    DeferInteger(data, onStop, index_);
  }
}

void TVNFor::doBreak(TData& /*data*/, std::uint16_t /*index*/) { stop_ = true; }

}  // namespace vn
