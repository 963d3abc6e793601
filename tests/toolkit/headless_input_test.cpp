#include "tests/toolkit/headless_spy.h"

namespace vn::toolkit::test {
namespace {

using headless::Button;
using headless::View;

constexpr std::uint16_t kEnter = 13, kBack = 8, kDelete = 0x2E;

TEST_F(HeadlessTest, TypingEditsAtTheCaret) {
  struct Case {
    Control::Options options;
    const char* typed;
    std::vector<std::uint16_t> keys;  // pressed after typing
    const char* text;
    const char* shown;
  };
  const Case cases[] = {
      {{}, "Com 5", {}, "Com 5", "Com 5"},
      {{}, "\xCF\xEE\x80", {}, "\xCF\xEE\x80", "\xCF\xEE\x80"},  // bytes above 0x7F as characters
      {{}, "abc", {0x25, kBack}, "ac", "ac"},                        // Left, Backspace
      {{}, "abc", {0x24, kDelete}, "bc", "bc"},                      // Home, Delete
      {{.password = true}, "pw", {}, "pw", "**"},
      {{.readOnly = true}, "no", {kBack}, "", ""},
  };
  for (const Case& c : cases) {
    Control& edit = Make(ControlKind::Edit, {}, c.options);
    ASSERT_TRUE(headless::Focus(edit));
    EXPECT_TRUE(headless::Type(c.typed));
    for (std::uint16_t key : c.keys) headless::PressKey(key);
    EXPECT_EQ(edit.Text(), c.text) << c.typed;
    EXPECT_EQ(View(edit).shown, c.shown) << c.typed;
    controls.clear();
  }
}

// A button let go of over another window is not pressed: the click on its
// own is in the behaviour suite.
TEST_F(HeadlessTest, AButtonLetGoElsewhereIsNotClicked) {
  Control& label = Make(ControlKind::Label, "label");
  Control& button = Make(ControlKind::Button, "button");
  label.SetBounds({0, 0, 50, 20});
  button.SetBounds({0, 30, 50, 60});
  Watch(button, "b");
  headless::MouseDown(button, Button::Left, 5, 5);
  headless::MouseUp(label, Button::Left, 5, 5);
  EXPECT_EQ(std::count(log.begin(), log.end(), "b:clicked"), 0);
}

TEST_F(HeadlessTest, LeaveAndHoverOnlyWhenAsked) {
  Control& left = Make(ControlKind::Label);
  Control& right = Make(ControlKind::Label);
  Spy& spy = Watch(left, "l");
  spy.logged = {message::MouseLeave, message::MouseHover};
  headless::MouseMove(left, 1, 1);
  headless::MouseMove(right, 1, 1);  // not asked: nothing
  headless::MouseMove(left, 1, 1);
  left.TrackMouse(MouseTracking::Leave);
  left.TrackMouse(MouseTracking::Hover);
  EXPECT_TRUE(headless::RestMouse());
  EXPECT_FALSE(headless::RestMouse());  // one hover per request
  headless::MouseMove(right, 1, 1);
  headless::MouseMove(left, 1, 1);
  headless::MouseAway();  // the request was used up
  EXPECT_EQ(log, (Log{"l:move", "l:move", "l:0x2a1(0)", "l:0x2a3(0)", "l:move"}));
}

TEST_F(HeadlessTest, CapturedMouseGoesToTheCapturingWindow) {
  Control& left = Make(ControlKind::Label);
  Control& right = Make(ControlKind::Label);
  right.SetBounds({100, 0, 150, 20});
  Spy& spy = Watch(left, "l");
  left.SetMouseCapture(true);
  headless::MouseMove(right, 5, 6);
  left.SetMouseCapture(false);
  headless::MouseMove(right, 5, 6);
  ASSERT_EQ(spy.mouse.size(), 1u);
  EXPECT_EQ(spy.mouse[0].x, 105);
  EXPECT_EQ(spy.mouse[0].y, 6);
}

TEST_F(HeadlessTest, DraggingMovesTheForm) {
  form->SetBounds({100, 100, 300, 200});
  Spy& spy = Watch(*form, "f");
  spy.hook = [&](Message& m) {
    if (m.id == 0x201) form->StartDrag();
    return false;
  };
  headless::MouseDown(*form, Button::Left, 10, 10);
  headless::MouseMove(*form, 40, 30);
  headless::MouseUp(*form, Button::Left, 40, 30);
  headless::MouseMove(*form, 0, 0);
  EXPECT_EQ(form->Bounds(), (Rect{130, 120, 330, 220}));
}

TEST_F(HeadlessTest, DisabledWindowsAndFormsTakeNoInput) {
  Control& button = Make(ControlKind::Button, "b");
  Control& combo = Make(ControlKind::ComboBox);
  combo.AddItem("x");
  Watch(button, "b");
  Watch(combo, "c");
  Watch(*form, "f");
  const auto tryEverything = [&] {
    int reached = 0;
    reached += headless::Click(button);
    reached += headless::Focus(button);
    reached += headless::Pick(combo, 0);
    reached += headless::PressKey(kEnter);
    reached += headless::Type("a");
    return reached;
  };
  form->SetEnabled(false);
  EXPECT_EQ(tryEverything(), 0);
  EXPECT_FALSE(headless::PressCloseBox(*form));
  EXPECT_TRUE(log.empty());

  form->SetEnabled(true);
  button.SetEnabled(false);
  EXPECT_FALSE(headless::Click(button));
  EXPECT_TRUE(headless::Pick(combo, 0));
  EXPECT_EQ(std::count(log.begin(), log.end(), "b:clicked"), 0);
}

// The user's ways to close a form ask as the user (0); the scheme's request
// is in the behaviour suite.
TEST_F(HeadlessTest, CloseBoxAndAltF4AskAsTheUser) {
  Spy& spy = Watch(*form, "f");
  spy.logged = {message::Close};
  spy.hook = [](Message& m) { return m.id == message::Close; };  // keeps the form open
  EXPECT_TRUE(headless::PressCloseBox(*form));
  headless::PressKey(0x73, {.alt = true});
  EXPECT_EQ(log, (Log{"f:0x10(0)", "f:keydown 115", "f:0x10(0)"}));
  EXPECT_TRUE(form->Exists());

  spy.hook = nullptr;
  EXPECT_TRUE(headless::PressCloseBox(*form));
  EXPECT_FALSE(Application::HasMainWindow());
  Application::Run();  // without a main form nothing could end the loop: it returns at once
}

}  // namespace
}  // namespace vn::toolkit::test
