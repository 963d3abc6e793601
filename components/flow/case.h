#pragma once

#include <cstdint>

#include "core/point_link.h"
#include "core/tdata.h"

namespace vn {

// One arm of a case chain: a match emits Result, anything else goes on,
// unchanged, to the next case through onNextCase.
class TVNCase {
 public:
  TData Result;
  TData Value;
  TPointLink onMatch;
  TPointLink onNextCase;

  void doCase(TData& data, std::uint16_t index);
};

}  // namespace vn
