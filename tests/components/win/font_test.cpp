#include "components/win/font.h"

#include <gtest/gtest.h>

namespace vn::test {
namespace {

TEST(FontHeightTest, PointsBecomeNegativePixelHeightsTruncatingTowardZero) {
  struct Case {
    std::int32_t points;
    std::int32_t dpi;
    std::int32_t height;
  };
  for (const Case& c : {Case{8, 96, -11}, Case{10, 96, -13}, Case{0, 96, 0}, Case{1, 96, -1},
                        Case{9, 120, -15}, Case{255, 96, -340}, Case{12, 72, -12}}) {
    EXPECT_EQ(FontHeightAt(c.points, c.dpi), c.height) << c.points << " pt at " << c.dpi;
  }
  // A wild resolution must not overflow: the height saturates.
  EXPECT_EQ(FontHeightAt(255, INT32_MAX), INT32_MIN);
}

TEST(SetFontStyleTest, FontEndsWithExactlyTheStyleBits) {
  toolkit::Font font;
  SetFontStyle(font, 0x0F);
  EXPECT_EQ(font.weight, 700);
  EXPECT_TRUE(font.italic && font.underline && font.strikeOut);

  font.weight = 900;  // heavier than bold stays
  SetFontStyle(font, 0x01);
  EXPECT_EQ(font.weight, 900);
  EXPECT_FALSE(font.italic || font.underline || font.strikeOut);

  SetFontStyle(font, 0x04);  // bold cleared: back to normal
  EXPECT_EQ(font.weight, 0);
  EXPECT_TRUE(font.underline);

  font.weight = 400;  // a normal weight is not touched without bold
  SetFontStyle(font, 0);
  EXPECT_EQ(font.weight, 400);
}

}  // namespace
}  // namespace vn::test
