#include "components/flow/commutator.h"

#include <algorithm>

#include "core/dispatch.h"

namespace vn {

void TVNCommutator::SetOutCount(std::uint8_t count) {
  if (count > 0) onEvent.resize(count);
  outCount_ = count;
}

// The array is public and may have been resized behind the count's back;
// the smaller of the two keeps every access inside it.
std::size_t TVNCommutator::UsableOutputs() const {
  return std::min<std::size_t>(outCount_, onEvent.size());
}

void TVNCommutator::doWork(TData& data, std::uint16_t index) {
  // The reads go to a value of our own: the defaults are non-zero anyway,
  // and the incoming value must reach the outputs untouched.
  TData scratch;
  if (ReadInteger(scratch, Enable, 1) == 0) return;
  const std::int32_t out = ReadInteger(scratch, OutIndex, -1);
  const std::int32_t in = ReadInteger(scratch, InIndex, -1);
  if (in >= 0 && in != static_cast<std::int32_t>(index)) return;

  if (out >= 0) {
    if (static_cast<std::size_t>(out) >= UsableOutputs()) return;
    Fire(static_cast<std::size_t>(out), data);
    return;
  }
  // The bound is re-read after every output: a receiver may change the count.
  for (std::size_t k = 0; k < UsableOutputs(); ++k) Fire(k, data);
}

void TVNCommutator::Fire(std::size_t output, const TData& value) {
  // Nothing may refer into the array while receivers run: one of them may
  // resize it.
  const TPointLink link = onEvent[output];
  TData copy = value;
  FireEvent(link, copy);
}

}  // namespace vn
