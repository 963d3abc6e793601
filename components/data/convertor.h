#pragma once

#include <cstdint>

#include "core/point_link.h"
#include "core/tdata.h"

namespace vn {

// Turns an integer into text: one character (ModeChar) or hexadecimal digits
// (ModeHex). Any other mode converts nothing and fires nothing.
class TVNConvertor {
 public:
  static constexpr std::int32_t ModeChar = 4;
  static constexpr std::int32_t ModeHex = 6;

  std::int32_t Mode = 0;
  std::int32_t Digits = 0;  // least number of hexadecimal digits (mod 16, at least 1)

  TPointLink Data;
  TPointLink onResult;

  void doConvert(TData& data, std::uint16_t index);
};

}  // namespace vn
