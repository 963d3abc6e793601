#pragma once

#include <cstdint>

#include "core/tdata.h"

namespace vn {

// Comparison codes of TVNIf_else.Compare; TVNCase always tests Equal.
enum class CompareCode : std::uint8_t {
  Equal = 0,
  Less = 1,
  Greater = 2,
  LessOrEqual = 3,
  GreaterOrEqual = 4,
  NotEqual = 5,
};

// `b` is converted to the kind of `a`, whose whole tag byte picks the rules:
// NULL equals only NULL (whatever the code), Integer and Real compare as
// numbers, String compares exactly for codes 0 and 5 and without ASCII letter
// case for the ordering codes. Other kinds, and codes above 5, give false.
bool CompareData(const TData& a, const TData& b, std::uint8_t code);

}  // namespace vn
