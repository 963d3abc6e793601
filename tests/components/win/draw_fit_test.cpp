#include "components/win/draw_fit.h"

#include <gtest/gtest.h>

#include <array>
#include <cstdint>

namespace vn::test {
namespace {

using toolkit::Rect;

TEST(DrawFitTest, CentresThePictureAndLeavesTwoBands) {
  struct Case {
    std::int32_t pw, ph, w, h;
    Rect target, band0, band1;
  };
  const Case cases[] = {
      // Half-way values go to the even integer: 0.5 -> 0, so no bands.
      {290, 290, 15, 14, {0, 0, 15, 14}, {0, 0, 0, 14}, {15, 0, 15, 14}},
      {200, 100, 100, 100, {0, 25, 100, 75}, {0, 0, 100, 25}, {0, 75, 100, 100}},
      {100, 200, 100, 100, {25, 0, 75, 100}, {0, 0, 25, 100}, {75, 0, 100, 100}},
      // 1.5 -> 2 and 2.5 -> 2.
      {10, 10, 13, 10, {2, 0, 11, 10}, {0, 0, 2, 10}, {11, 0, 13, 10}},
      {10, 10, 10, 15, {0, 2, 10, 13}, {0, 0, 10, 2}, {0, 13, 10, 15}},
      {10, 10, 40, 40, {0, 0, 40, 40}, {0, 0, 40, 0}, {0, 40, 40, 40}},
  };
  for (const Case& c : cases) {
    const TFitLayout layout = DrawFit(c.pw, c.ph, c.w, c.h);
    SCOPED_TRACE(testing::Message() << c.pw << "x" << c.ph << " into " << c.w << "x" << c.h);
    EXPECT_EQ(layout.target, c.target);
    EXPECT_EQ(layout.bands[0], c.band0);
    EXPECT_EQ(layout.bands[1], c.band1);
  }
}

TEST(DrawFitTest, DegenerateSizesGiveTheWholeAreaWithoutBands) {
  for (const auto& [pw, ph, w, h] : {std::array{0, 10, 15, 14}, std::array{10, -1, 15, 14},
                                     std::array{10, 10, 0, 14}, std::array{10, 10, 15, -3}}) {
    const TFitLayout layout = DrawFit(pw, ph, w, h);
    EXPECT_EQ(layout.target, (Rect{0, 0, w, h}));
    EXPECT_EQ(layout.bands[0], Rect{});
    EXPECT_EQ(layout.bands[1], Rect{});
  }
}

TEST(DrawFitTest, ExtremeProportionsStayInsideTheArea) {
  for (const auto& [pw, ph, w, h] : {std::array{1, INT32_MAX, INT32_MAX, 1},
                                     std::array{INT32_MAX, 1, 1, INT32_MAX}}) {
    const Rect t = DrawFit(pw, ph, w, h).target;
    EXPECT_TRUE(t.left >= 0 && t.left <= t.right && t.right <= w) << t.left << ".." << t.right;
    EXPECT_TRUE(t.top >= 0 && t.top <= t.bottom && t.bottom <= h) << t.top << ".." << t.bottom;
  }
}

}  // namespace
}  // namespace vn::test
