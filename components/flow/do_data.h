#pragma once

#include <cstdint>

#include "core/point_link.h"
#include "core/tdata.h"

namespace vn {

// Turns an event into a value: the connected point's answer, else the
// property. The incoming value is dropped, so it never leaks into the output.
class TVNDoData {
 public:
  TData Data;
  TPointLink DataPoint;
  TPointLink onEventData;

  void doData(TData& data, std::uint16_t index);
};

}  // namespace vn
