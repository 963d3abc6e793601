#pragma once

#include <cstdint>

#include "core/point_link.h"
#include "core/tdata.h"

namespace vn {

// A counting loop: fires onEvent with every index from the start to the end
// (the end itself only with IncludeEnd), then onStop with the first index
// past the range, or onBreak when a receiver stopped it and BreakEvent is set.
class TVNFor {
 public:
  std::int32_t Start = 0;
  std::int32_t End = 0;
  std::int32_t Step = 0;
  std::uint8_t IncludeEnd = 0;
  std::uint8_t UseInput = 0;  // 0: the incoming value never supplies bounds
  std::uint8_t BreakEvent = 0;
  TPointLink EndPoint;
  TPointLink StartPoint;
  TPointLink onEvent;
  TPointLink onStop;
  TPointLink onBreak;

  void doFor(TData& data, std::uint16_t index);
  // Ends the running loop after the current onEvent returns.
  void doBreak(TData& data, std::uint16_t index);

  std::int32_t Index() const { return index_; }

 private:
  std::int32_t index_ = 0;
  bool stop_ = false;
};

}  // namespace vn
