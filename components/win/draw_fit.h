#pragma once

#include <array>
#include <cstdint>

#include "toolkit/toolkit.h"

namespace vn {

// Where a picture goes when drawn as large as it fits, proportions kept,
// centred; the two bands it leaves uncovered (empty when it fills the area).
struct TFitLayout {
  toolkit::Rect target;
  std::array<toolkit::Rect, 2> bands;
};

// Rounds halves to the even integer, so a 290 x 290 picture fills a 15 x 14
// area whole.
TFitLayout DrawFit(std::int32_t pictureWidth, std::int32_t pictureHeight, std::int32_t width,
                   std::int32_t height);

}  // namespace vn
