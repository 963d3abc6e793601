#include "components/win/win.h"


#include "components/win/combo_box.h"
#include "components/win/edit.h"
#include "components/win/label.h"
#include "core/scheme_lock.h"
#include "tests/components/win/win_test_fixture.h"

namespace vn::test {
namespace {

using toolkit::Rect;

TEST_F(WinTest, InitAppliesTheDesignTimeProperties) {
  TVNEdit edit(Parent());
  edit.Color = 0x123456;
  edit.Ctl3D = 0;
  edit.BorderStyle = 1;
  edit.Flat = true;
  edit.Font = MakeFont("Arial", 10, 0x05, 0x0000FF, 204);
  edit.TabOrder = -1;
  edit.Enabled = false;
  edit.Cursor = 5;
  edit.Transparent = true;
  Place(edit, 10, 20, 0, 0);  // 0 keeps the size the edit was created with
  hl::WindowView view = View(edit);
  EXPECT_EQ(view.bounds, (Rect{10, 20, 110, 42}));
  EXPECT_EQ(view.color, 0x123456);
  EXPECT_EQ(view.exStyle, 0u);  // Ctl3D 0 with BorderStyle 1: no edge at all
  EXPECT_EQ(view.style & 0x00808000u, 0x8000u);  // flat, and no border
  // 10 pt at 96 dpi; style 0x05 is bold and underlined.
  EXPECT_EQ(view.font, (toolkit::Font{.faceName = "Arial", .height = -13, .weight = 700, .underline = true,
                                      .charSet = 204, .color = 0x0000FF}));
  EXPECT_FALSE(view.tabStop);
  EXPECT_FALSE(view.enabled);
  EXPECT_TRUE(view.visible);
  EXPECT_EQ(view.cursor, 5);
  EXPECT_TRUE(view.transparent);
}

TEST_F(WinTest, EdgeAndBorderStyles) {
  struct Case {
    std::uint8_t ctl3d;
    std::uint8_t borderStyle;
    std::uint32_t exStyle;
    bool border;
  };
  for (const Case& c : {Case{0, 0, 0x200, false}, Case{0, 2, 0x20000, false}, Case{0, 3, 0x1, false},
                        Case{0, 4, 0x201, false}, Case{0, 9, 0x200, false}, Case{1, 1, 0, true},
                        Case{2, 1, 0, true}}) {
    TVNEdit edit(Parent());  // created with WS_BORDER and no extended style
    edit.Ctl3D = c.ctl3d;
    edit.BorderStyle = c.borderStyle;
    edit.Init();
    SCOPED_TRACE(testing::Message() << int{c.ctl3d} << "/" << int{c.borderStyle});
    EXPECT_EQ(View(edit).exStyle, c.exStyle);
    EXPECT_EQ((View(edit).style & 0x00800000u) != 0, c.border);
  }
}

TEST_F(WinTest, AlignAndHiddenStart) {
  TVNLabel label(Parent());
  label.Align = 2;  // top, full width
  label.Visible = false;
  Place(label, 5, 5, 50, 30);
  EXPECT_EQ(View(label).align, toolkit::Align::Top);
  EXPECT_FALSE(View(label).visible);
  TData show = Int(1);
  label.doVisible(show, 0);
  EXPECT_EQ(View(label).bounds, (Rect{0, 0, 400, 30}));
}

// That a disabled control or form takes no input is the screen's rule
// (HeadlessTest.DisabledWindowsAndFormsTakeNoInput); the components decide
// only what turns a control off: the integer 0 and nothing else.
TEST_F(WinTest, DoVisibleAndDoEnabledTurnOffOnlyForTheIntegerZero) {
  TVNLabel label(Parent());
  Place(label, 0, 0, 50, 20);
  Start();
  struct Case {
    TData value;
    bool on;
  };
  const Case cases[] = {{Int(0), false}, {Str("0"), true}, {Int(0), false}, {TData{}, true},
                        {Int(0), false}, {Str(""), true},  {Int(-1), true}};
  for (const Case& c : cases) {
    SCOPED_TRACE(ChainText(c.value));
    TData value = c.value;
    label.doVisible(value, 0);
    value = c.value;
    label.doEnabled(value, 0);
    EXPECT_EQ(View(label).visible, c.on);
    EXPECT_EQ(View(label).enabled, c.on);
  }
}

// Every control asks for leave tracking on each mouse message and for hover
// tracking on the leave, in the program too: a leave asked for from the
// leave handling would be queued at once, and again from its own handling.
TEST_F(WinTest, EveryMouseMessageIsAnEntryAndLeavingIsReportedOnce) {
  TVNLabel label(Parent());
  Journal presence;
  ChainLog enter{&presence, "enter"}, leave{&presence, "leave"};
  label.onMouseEnter = enter.Link();
  label.onMouseLeave = leave.Link();
  Place(label, 10, 10, 100, 40);
  Start();
  hl::MouseMove(*label.Control, 5, 5);
  hl::MouseMove(*label.Control, 6, 5);
  hl::MouseAway();
  int passes = 0;  // a bounded number of passes shows the loop
  hl::ServeUntil([&passes] { return ++passes > 20; });
  EXPECT_EQ(presence, (Journal{"enter=N", "enter=N", "leave=N"}));
}

// The program attaches every control to the global manager without a text.
TEST_F(WinTest, NoHintTextMakesNoTooltip) {
  TVNHintManager::CreateGlobal();
  TVNLabel label(Parent());
  Place(label, 0, 0, 50, 20);
  label.AttachHint(nullptr);
  EXPECT_FALSE(label.HintTool);
  EXPECT_TRUE(View(label).tooltips.empty());
}

TEST_F(WinTest, DestroyingAComponentRemovesItsControl) {
  auto label = std::make_unique<TVNLabel>(Parent());
  label->Caption = "temporary";
  label->Init();
  ASSERT_NE(hl::FindWindow("temporary"), nullptr);
  label.reset();
  EXPECT_EQ(hl::FindWindow("temporary"), nullptr);
}

TEST_F(WinTest, ComponentsOutlivingTheApplicationWindowFreeNothingTwice) {
  TVNHintManager::CreateGlobal();
  auto label = std::make_unique<TVNLabel>(Parent());
  auto edit = std::make_unique<TVNEdit>(Parent());
  auto combo = std::make_unique<TVNComboBox>(Parent());
  label->Hint = "hint";
  label->Init();
  edit->Init();
  combo->Init();
  label->AttachHint(nullptr);
  Start();
  TData none;
  form->doClose(none, 0);  // the main form closes: the toolkit destroys every window
  EXPECT_TRUE(form->WindowGone);
  EXPECT_TRUE(label->ControlGone);
  EXPECT_TRUE(edit->ControlGone);
  EXPECT_TRUE(combo->ControlGone);
  EXPECT_FALSE(label->Control->Exists());
  // Inputs after the end change nothing and do not fail.
  TData text = Str("late");
  label->doText(text, 0);
  edit->doText(text, 0);
  label.reset();
  edit.reset();
  combo.reset();
  form.reset();
  EXPECT_TRUE(hl::Windows().empty());
}

}  // namespace
}  // namespace vn::test
