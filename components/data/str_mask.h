#pragma once

#include <cstdint>
#include <string_view>

#include "core/point_link.h"
#include "core/rc_string.h"
#include "core/tdata.h"

namespace vn {

// Wildcard match of the whole text: "*" any run of bytes (none included),
// "?" one byte other than 0, "#" one decimal digit, any other byte itself.
// Both sides are matched as if followed by one zero byte, so "?" never
// matches the end and a mask without wildcards matches only the same text.
bool MaskMatches(std::string_view text, std::string_view mask);

// Tests a string against `Mask` and hands the string on, unchanged, through
// onTrue or onFalse.
class TVNStrMask {
 public:
  RcString Mask;
  std::uint8_t IgnoreCase = 0;  // exactly 1 folds both sides to lower case

  TPointLink Str;
  TPointLink onTrue;
  TPointLink onFalse;

  void doCompare(TData& data, std::uint16_t index);
  void doMask(TData& data, std::uint16_t index);
};

}  // namespace vn
