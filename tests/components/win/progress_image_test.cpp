#include <memory>

#include "components/win/image.h"
#include "components/win/progress_bar.h"
#include "tests/components/win/win_test_fixture.h"

namespace vn::test {
namespace {

using toolkit::Rect;
using Draw = hl::DrawCall;
using ProgressBarTest = WinTest;
using ImageTest = WinTest;

TEST_F(ProgressBarTest, PositionsAreClampedToTheRange) {
  TVNProgressBar bar(Parent());
  bar.Smooth = true;
  bar.Max = 507;
  bar.BarColor = static_cast<toolkit::Color>(0xFF000010);
  Place(bar, 10, 10, 200, 16);
  EXPECT_EQ(View(bar).rangeLow, 0);
  EXPECT_EQ(View(bar).rangeHigh, 507);
  EXPECT_EQ(View(bar).barColor, static_cast<toolkit::Color>(0xFF000010));
  EXPECT_EQ(View(bar).style & 0x5u, 0x1u);  // smooth, horizontal
  Start();
  struct Case {
    TData value;
    std::int32_t position;
  };
  const Case cases[] = {{Int(100), 100}, {TData{}, 0}, {Int(508), 507}, {Int(-3), 0}, {Str("12"), 12}};
  for (const Case& c : cases) {
    TData value = c.value;
    FireEvent(MakePoint<&TVNProgressBar::doPosition>(0, &bar), value);
    EXPECT_EQ(View(bar).position, c.position) << ChainText(c.value);
  }
  EXPECT_GE(View(bar).repaints, 5);
}

struct FakeBitmap final : toolkit::Bitmap {
  FakeBitmap(std::int32_t w, std::int32_t h) : w_(w), h_(h) {}
  std::int32_t Width() const override { return w_; }
  std::int32_t Height() const override { return h_; }
  std::int32_t w_, h_;
};

Draw Fill(Rect rect, toolkit::Color color) { return {Draw::Kind::FillRect, rect, color}; }
Draw Mode(std::int32_t mode) { return {Draw::Kind::SetStretchMode, {}, 0, mode}; }
Draw Stretch(Rect target, std::int32_t w, std::int32_t h) {
  return {Draw::Kind::StretchDraw, target, 0, 0, w, h};
}

TEST_F(ImageTest, PicturesAreDrawnFittedWithTheBandsFilled) {
  TVNImage image(Parent());
  image.Color = 0x00ABCDEF;
  image.SetPicture(std::make_unique<FakeBitmap>(200, 100));
  image.SetPicture(nullptr);  // changes nothing
  image.SetSmooth(true);
  image.PaintRoutine = image.FitRoutine();
  Place(image, 10, 10, 100, 100);
  EXPECT_EQ(image.StretchMode, 4);  // the headless screen counts as the NT family
  EXPECT_EQ(hl::Paint(*image.Control),
            (std::vector<Draw>{Fill({0, 0, 100, 25}, 0x00ABCDEF), Fill({0, 75, 100, 100}, 0x00ABCDEF),
                               Mode(4), Stretch({0, 25, 100, 75}, 200, 100)}));

  image.SetSmooth(false);
  image.SetPicture(std::make_unique<FakeBitmap>(290, 290));
  image.Control->SetBounds({10, 10, 25, 24});
  EXPECT_EQ(hl::Paint(*image.Control), (std::vector<Draw>{Mode(3), Stretch({0, 0, 15, 14}, 290, 290)}));
}

TEST_F(ImageTest, AnEmptyPictureOrNoRoutinePaintsTheBackground) {
  TVNImage image(Parent());
  image.PaintRoutine = image.FitRoutine();
  Place(image, 0, 0, 30, 20);
  const toolkit::Color background = View(image).color;
  EXPECT_EQ(hl::Paint(*image.Control), (std::vector<Draw>{Fill({0, 0, 30, 20}, background)}));
  image.SetPicture(std::make_unique<FakeBitmap>(0, 5));
  EXPECT_EQ(hl::Paint(*image.Control), (std::vector<Draw>{Fill({0, 0, 30, 20}, background)}));
  image.SetPicture(std::make_unique<FakeBitmap>(5, 5));
  image.PaintRoutine = nullptr;
  EXPECT_EQ(hl::Paint(*image.Control), (std::vector<Draw>{Fill({0, 0, 30, 20}, background)}));
}

}  // namespace
}  // namespace vn::test
