#include "tests/toolkit/headless_spy.h"

namespace vn::toolkit::test {
namespace {

using headless::Button;
using headless::Modifiers;
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

TEST_F(HeadlessTest, MouseMessagesCarryTheKeyAndButtonWord) {
  struct Step {
    const char* action;
    Button button;
    Modifiers keys;
    std::uint32_t id;
    std::uint8_t eventButton;
    std::int32_t shift;
  };
  const Step steps[] = {
      {"move", Button::Left, {}, 0x200, 0, 0},
      {"down", Button::Left, {}, 0x201, 1, 1},
      {"move", Button::Left, {}, 0x200, 0, 1},
      {"down", Button::Right, {.control = true}, 0x204, 2, 1 | 2 | 8},
      {"up", Button::Left, {}, 0x202, 1, 2},
      {"up", Button::Right, {.shift = true}, 0x205, 2, 4},
      {"down", Button::Middle, {.alt = true}, 0x207, 3, 16 + 32},
      {"up", Button::Middle, {}, 0x208, 3, 0},
      {"wheel", Button::Left, {.control = true}, 0x20A, 0, static_cast<std::int32_t>(0xFF880008u)},
      {"double", Button::Left, {}, 0x203, 1, 1},
  };
  Control& label = Make(ControlKind::Label);
  Spy& spy = Watch(label, "l");
  std::vector<std::uint32_t> ids;
  std::vector<std::intptr_t> places;
  spy.hook = [&](Message& m) {
    if (m.id >= message::MouseFirst && m.id <= message::MouseLast) {
      ids.push_back(m.id);
      places.push_back(m.lParam);
    }
    return false;
  };
  for (const Step& s : steps) {
    const std::string action = s.action;
    if (action == "move") headless::MouseMove(label, 3, 4, s.keys);
    if (action == "down") headless::MouseDown(label, s.button, 3, 4, s.keys);
    if (action == "up") headless::MouseUp(label, s.button, 3, 4, s.keys);
    if (action == "wheel") headless::Wheel(label, -120, 3, 4, s.keys);
    if (action == "double") headless::DoubleClick(label, s.button, 3, 4, s.keys);
  }
  // The double click is down, up, double, up: its third message is checked.
  ASSERT_EQ(spy.mouse.size(), std::size(steps) + 3);
  ASSERT_EQ(ids.size(), spy.mouse.size());
  for (std::size_t i = 0; i < std::size(steps); ++i) {
    const std::size_t at = i + 1 == std::size(steps) ? i + 2 : i;
    EXPECT_EQ(ids[at], steps[i].id) << i;
    EXPECT_EQ(spy.mouse[at].button, steps[i].eventButton) << i;
    EXPECT_EQ(spy.mouse[at].shift, steps[i].shift) << i;
    EXPECT_EQ(spy.mouse[at].x, 3);
    EXPECT_EQ(spy.mouse[at].y, 4);
    EXPECT_EQ(places[at], 0x00040003);
  }
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
