#pragma once

#include <cstdint>

#include "core/point_link.h"
#include "core/tdata.h"

namespace vn {

// Compares two operands and passes the incoming value, unchanged, to onTrue
// or onFalse.
class TVNIf_else {
 public:
  std::uint8_t Compare = 0;  // a CompareCode
  TData Op1;
  TData Op2;
  TPointLink Op2Point;
  TPointLink Op1Point;
  TPointLink onTrue;
  TPointLink onFalse;

  void doCompare(TData& data, std::uint16_t index);
};

}  // namespace vn
