#include <string>

#include "components/win/button.h"
#include "components/win/label.h"
#include "tests/components/win/win_test_fixture.h"

namespace vn::test {
namespace {

using LabelTest = WinTest;
using ButtonTest = WinTest;

TEST_F(LabelTest, ShowsItsCaptionAndTheTextsItIsGiven) {
  TVNLabel label(Parent());
  label.Caption = "Порт:";
  label.Init();
  EXPECT_EQ(View(label).text, "Порт:");
  Start();
  TData zero = Int(0);
  label.doText(zero, 0);
  EXPECT_EQ(View(label).text, "0");
  TData none;
  label.doText(none, 0);
  EXPECT_EQ(View(label).text, "");
  EXPECT_EQ(label.Caption, "Порт:");  // the property keeps its value

  Answer source{Str("from the point")};
  label.Text = source.Link();
  TData ignored = Str("ignored");
  label.doText(ignored, 0);
  EXPECT_EQ(View(label).text, "from the point");
  EXPECT_EQ(ChainText(ignored), "S:ignored");  // a connected point leaves the value alone

  const std::string binary("a\0\xFF\x80z", 5);
  label.Text = {};
  TData raw = Str("");
  raw.SData = RcString(binary);
  label.doText(raw, 0);
  EXPECT_EQ(View(label).text, binary);
}

TEST_F(LabelTest, AutoSizeAndAlignmentAreSetOnTheControlBeforeInit) {
  TVNLabel label(Parent());
  label.SetAutoSize(true);
  label.SetAlignment(2);
  label.Caption = "Brantelmoor";
  Place(label, 10, 10, 0, 0);
  const hl::WindowView view = View(label);
  EXPECT_TRUE(view.autoSize);
  EXPECT_EQ(view.alignment, 2);
  EXPECT_EQ(view.style & 0x0Cu, 0u);  // wraps at word boundaries
  // Fitted to the caption: wider than an empty label, at its own place.
  EXPECT_EQ(view.bounds.left, 10);
  EXPECT_GT(view.bounds.Width(), 11);
}

TEST_F(ButtonTest, EveryClickFiresTheSameValue) {
  TVNButton button(Parent());
  button.Caption = "Записать";
  button.Data = Int(7);
  Journal journal;
  ChainLog log{&journal, "click"};
  Clobber clobber;
  button.onClick = clobber.Link();
  Place(button, 10, 10, 90, 25);
  Start();
  EXPECT_EQ(View(button).text, "Записать");
  EXPECT_NE(View(button).style & 0x2000u, 0u);  // long captions wrap
  hl::Click(*button.Control);
  button.onClick = log.Link();
  hl::Click(*button.Control);
  hl::Click(*button.Control);
  EXPECT_EQ(journal, (Journal{"click=I:7", "click=I:7"}));
  EXPECT_EQ(ChainText(button.Data), "I:7");
}

// Which button Enter presses, and when not, is the screen's rule; the
// component has only to make its button the default one.
TEST_F(ButtonTest, DefaultButtonIsPressedByEnterInTheForm) {
  TVNButton ok(Parent());
  ok.Caption = "OK";
  ok.Default = true;
  Recorder clicks;
  ok.onClick = clicks.Link();
  Place(ok, 10, 10, 75, 25);
  Start();
  EXPECT_TRUE(View(ok).isDefault);
  hl::PressKey(13);
  EXPECT_EQ(clicks.Count(), 1u);
}

}  // namespace
}  // namespace vn::test
