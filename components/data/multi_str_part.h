#pragma once

#include <cstdint>
#include <string_view>
#include <vector>

#include "core/point_link.h"
#include "core/rc_string.h"
#include "core/tdata.h"

namespace vn {

// Cuts the first part off `rest` and returns it. The part ends before the
// first byte of `rest` that is any one byte of `chars`, looking no further
// than the first zero byte of `rest` (a zero in `chars` finds that zero
// byte); without such a byte the part is all of `rest`. `rest` then goes on
// after as many bytes as `chars` holds, or becomes empty past its end.
std::string_view NextPart(std::string_view& rest, std::string_view chars);

// Splits a string into `Count` parts at delimiter bytes, after throwing
// `Skip` leading parts away, and offers the parts through the var point Part.
class TVNMultiStrPart {
 public:
  RcString Char;
  std::int32_t Skip = 0;  // negative counts as 0

  // Parts of the last split; entries the string did not reach are empty.
  std::vector<RcString> Parts;

  TPointLink Str;
  TPointLink onNotFound;
  TPointLink onSplit;

  // Sizes Parts; a negative count is 0.
  void SetCount(std::int32_t count);
  std::int32_t Count() const { return static_cast<std::int32_t>(Parts.size()); }

  void doSplit(TData& data, std::uint16_t index);
  // Answers Parts[index]; an index at or beyond Count answers an empty string.
  void Part(TData& data, std::uint16_t index);
};

}  // namespace vn
