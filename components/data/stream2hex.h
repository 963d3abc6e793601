#pragma once

#include <cstdint>

#include "core/point_link.h"
#include "core/tdata.h"

namespace vn {

// Turns a string of bytes into hexadecimal text, two digits per byte.
class TVNStream2Hex {
 public:
  TPointLink Data;
  TPointLink onResult;

  void doConvert(TData& data, std::uint16_t index);
};

}  // namespace vn
