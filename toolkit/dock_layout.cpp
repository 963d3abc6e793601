#include "toolkit/dock_layout.h"

#include <algorithm>
#include <cstdint>

namespace vn::toolkit::rules {
namespace {

// Window coordinates stay far inside this range; sums of arbitrary sizes and
// spacings are computed wide and brought back into it.
constexpr std::int64_t kCoordinateLimit = 1 << 24;

std::int32_t Clamp(std::int64_t value) {
  return static_cast<std::int32_t>(std::clamp(value, -kCoordinateLimit, kCoordinateLimit));
}

struct Area {
  std::int64_t left, top, right, bottom;
  Rect ToRect() const { return {Clamp(left), Clamp(top), Clamp(right), Clamp(bottom)}; }
};

}  // namespace

void DockLayout(const Rect& client, std::int32_t spacing, std::vector<DockItem>& items) {
  const std::int64_t gap = std::clamp<std::int64_t>(spacing, 0, kCoordinateLimit);
  Area free{client.left + gap, client.top + gap, client.right - gap, client.bottom - gap};
  for (const Align side : {Align::Top, Align::Bottom, Align::Left, Align::Right, Align::Client}) {
    for (DockItem& item : items) {
      if (item.align != side) continue;
      // Widened before subtracting: arbitrary rectangles overflow 32 bits.
      const std::int64_t width = std::max<std::int64_t>(std::int64_t{item.bounds.right} - item.bounds.left, 0);
      const std::int64_t height = std::max<std::int64_t>(std::int64_t{item.bounds.bottom} - item.bounds.top, 0);
      switch (side) {
        case Align::Top:
          item.bounds = Area{free.left, free.top, free.right, free.top + height}.ToRect();
          free.top += height + gap;
          break;
        case Align::Bottom:
          item.bounds = Area{free.left, free.bottom - height, free.right, free.bottom}.ToRect();
          free.bottom -= height + gap;
          break;
        case Align::Left:
          item.bounds = Area{free.left, free.top, free.left + width, free.bottom}.ToRect();
          free.left += width + gap;
          break;
        case Align::Right:
          item.bounds = Area{free.right - width, free.top, free.right, free.bottom}.ToRect();
          free.right -= width + gap;
          break;
        case Align::Client:
          item.bounds = free.ToRect();
          break;
        case Align::None:
          break;
      }
      // Sums stay bounded however many children there are.
      free = {std::clamp(free.left, -kCoordinateLimit, kCoordinateLimit),
              std::clamp(free.top, -kCoordinateLimit, kCoordinateLimit),
              std::clamp(free.right, -kCoordinateLimit, kCoordinateLimit),
              std::clamp(free.bottom, -kCoordinateLimit, kCoordinateLimit)};
    }
  }
}

}  // namespace vn::toolkit::rules
