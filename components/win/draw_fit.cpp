#include "components/win/draw_fit.h"

#include <algorithm>

#include "core/conversions.h"

namespace vn {

TFitLayout DrawFit(std::int32_t pictureWidth, std::int32_t pictureHeight, std::int32_t width,
                   std::int32_t height) {
  TFitLayout layout;
  layout.target = {0, 0, width, height};
  // Nothing to keep in proportion, or nowhere to draw.
  if (pictureWidth <= 0 || pictureHeight <= 0 || width <= 0 || height <= 0) return layout;
  const double k = static_cast<double>(pictureHeight) / pictureWidth;
  const double w = width;
  const double h = height;
  if (h >= w * k) {  // the area is relatively taller: bands above and below
    // At most half the area: rounding a half-way value up must not cross
    // the two edges over (a hair-thin picture in an odd-sized area).
    const std::int32_t t = std::min(RoundReal((h - w * k) / 2), height / 2);
    layout.target = {0, t, width, height - t};
    layout.bands = {{{0, 0, width, t}, {0, height - t, width, height}}};
  } else {  // relatively wider: bands left and right
    const std::int32_t l = std::min(RoundReal((w - h / k) / 2), width / 2);
    layout.target = {l, 0, width - l, height};
    layout.bands = {{{0, 0, l, height}, {width - l, 0, width, height}}};
  }
  return layout;
}

}  // namespace vn
