#include "tests/toolkit/headless_spy.h"

namespace vn::toolkit::test {
namespace {

using headless::View;

TEST_F(HeadlessTest, DropDownListShowsOnlyItsItems) {
  Control& list = Make(ControlKind::ComboBox, "ignored");
  EXPECT_EQ(list.Text(), "");
  list.AddItem("one");
  list.AddItem("two");
  list.SetText("two");
  EXPECT_EQ(list.Selected(), 1);
  list.SetText("three");
  EXPECT_EQ(list.Text(), "two");
}

TEST_F(HeadlessTest, AutoSizeFitsTheLabelToItsText) {
  struct Case {
    const char* text;
    Font font;
    Align align;
    Rect expected;
  };
  // Character height 11: 5 pixels a character, 13 a line; plus 1 each way.
  const Font plain{.faceName = "MS Sans Serif", .height = -11};
  const Font italic{.faceName = "MS Sans Serif", .height = -11, .italic = true};
  const Case cases[] = {
      {"abc", plain, Align::None, {0, 0, 16, 14}},
      {"", plain, Align::None, {0, 0, 1, 14}},
      {"ab\r\nabcd\nx", plain, Align::None, {0, 0, 21, 40}},
      {"abc", italic, Align::None, {0, 0, 21, 14}},
      {"abc", plain, Align::Top, {0, 0, 320, 14}},  // docked: the width is the form's
  };
  for (const Case& c : cases) {
    Control& label = Make(ControlKind::Label);
    label.SetFont(c.font);
    label.SetAlign(c.align);
    label.SetText(c.text);
    label.SetAutoSize(true);
    EXPECT_EQ(label.Bounds(), c.expected) << c.text;
    controls.pop_back();
  }
}

TEST_F(HeadlessTest, ExtremeCoordinatesSaturate) {
  constexpr std::int32_t kMin = INT32_MIN;
  constexpr std::int32_t kMax = INT32_MAX;
  Control& label = Make(ControlKind::Label);
  label.SetBounds({kMin, kMin, kMax, kMax});
  EXPECT_EQ(label.Bounds(), (Rect{kMin, kMin, -1, -1}));  // the widest a window can be
  EXPECT_EQ(label.ClientRect(), (Rect{0, 0, kMax, kMax}));
  label.SetBounds({kMax, 0, kMin, 10});  // inverted: no width
  EXPECT_EQ(label.Bounds(), (Rect{kMax, 0, kMax, 10}));
  label.SetText("text");
  label.SetAutoSize(true);
  EXPECT_EQ(label.Bounds().right, kMax);
  form->SetBounds({kMax - 5, kMax - 5, kMax, kMax});
  label.SetAlign(Align::Client);
  form->SetAlignSpacing(kMax);
  EXPECT_TRUE(headless::MouseMove(label, kMax, kMin));
}

TEST_F(HeadlessTest, PicturesAndIconsComeFromTheCarriedBlobs) {
  const std::unique_ptr<Bitmap> picture = LoadBitmapResource("picture");
  ASSERT_NE(picture, nullptr);
  EXPECT_EQ(picture->Width(), 3);
  EXPECT_EQ(picture->Height(), 2);
  EXPECT_EQ(LoadBitmapResource("TRUNCATED"), nullptr);
  EXPECT_EQ(LoadBitmapResource("ABSENT"), nullptr);
  EXPECT_NE(LoadIconResource("PICTURE"), nullptr);
  EXPECT_EQ(LoadIconResource("ABSENT"), nullptr);
  form->SetIcon(LoadIconResource("PICTURE"));
  EXPECT_EQ(View(*form).iconName, "PICTURE");
}

}  // namespace
}  // namespace vn::toolkit::test
