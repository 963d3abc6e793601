#pragma once

#include <cstdint>

#include "core/point_link.h"
#include "core/tdata.h"

namespace vn {

// A counter that wraps inside [Min, Max]: past Max (counting up) it restarts
// at exactly Min, below Min (counting down) at exactly Max.
class TVNCounter {
 public:
  std::int32_t Min = 0;
  std::int32_t Max = 0;
  std::int32_t Step = 0;
  std::uint8_t Direction = 0;  // 0 counts up, anything else down
  TPointLink onNext;

  // The count the first doNext steps from.
  void SetDefault(std::int32_t count) { count_ = count; }
  std::int32_t Count() const { return count_; }

  void doNext(TData& data, std::uint16_t index);
  void doReset(TData& data, std::uint16_t index);
  void varCount(TData& data, std::uint16_t index);

 private:
  std::int32_t count_ = 0;
};

}  // namespace vn
