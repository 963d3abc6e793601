#pragma once

#include <cstdint>

#include "core/point_link.h"
#include "core/rc_string.h"
#include "core/tdata.h"

namespace vn {

// Joins a left and a right part; either may come from its data point, its
// property or the incoming value, in that order of preference.
class TVNStrCat {
 public:
  RcString Str1;  // default left part
  RcString Str2;  // default right part
  TPointLink Str1Point;
  TPointLink Str2Point;
  TPointLink onStrCat;

  void doStrCat(TData& data, std::uint16_t index);

  // The last joined string, kept until the next join.
  const RcString& Result() const { return result_; }

 private:
  RcString result_;
};

}  // namespace vn
