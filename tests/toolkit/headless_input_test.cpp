#include "tests/toolkit/headless_spy.h"

namespace vn::toolkit::test {
namespace {

using headless::Button;
using headless::Modifiers;
using headless::View;

constexpr std::uint16_t kEnter = 13, kBack = 8, kSpace = 32, kDelete = 0x2E, kDown = 0x28;

TEST_F(HeadlessTest, KeyDownCharacterKeyUpAndSwallowing) {
  Control& edit = Make(ControlKind::Edit);
  Spy& spy = Watch(edit, "e");
  headless::Focus(edit);
  headless::PressKey('A', {.shift = true});
  EXPECT_EQ(log, (Log{"e:keydown 65", "e:char 65", "e:changed", "e:keyup 65"}));
  EXPECT_EQ(edit.Text(), "A");

  log.clear();
  spy.keyDownBecomes = 0;
  headless::PressKey('B');
  EXPECT_EQ(log, (Log{"e:keydown 66", "e:keyup 66"}));
  EXPECT_EQ(edit.Text(), "A");
}

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

TEST_F(HeadlessTest, PickingUpdatesTheFieldBeforeReportingTheSelection) {
  Control& combo = Make(ControlKind::ComboBox, {}, {.editable = true});
  for (const char* port : {"COM1", "COM3", "COM4"}) combo.AddItem(port);
  Spy& spy = Watch(combo, "c");
  spy.onSelection = [&] { spy.Note("text " + combo.Text()); };
  ASSERT_TRUE(headless::Pick(combo, 1));
  EXPECT_EQ(log, (Log{"c:selection", "c:text COM3"}));
  EXPECT_EQ(headless::Focused(), &combo);
  EXPECT_FALSE(headless::Pick(combo, 3));

  log.clear();
  headless::PressKey(kDown);
  EXPECT_EQ(combo.Selected(), 2);
  EXPECT_EQ(log, (Log{"c:keydown 40", "c:selection", "c:text COM4", "c:keyup 40"}));
}

TEST_F(HeadlessTest, ClicksAsLabelsAndButtonsReportThem) {
  Control& label = Make(ControlKind::Label, "label");
  Control& button = Make(ControlKind::Button, "button");
  label.SetBounds({0, 0, 50, 20});
  button.SetBounds({0, 30, 50, 60});
  Watch(label, "l");
  Watch(button, "b");
  headless::Click(label);
  headless::Click(button);
  EXPECT_EQ(log, (Log{"l:move", "l:down", "l:clicked", "l:up", "b:move", "b:down", "b:up", "b:clicked"}));
  EXPECT_EQ(headless::Focused(), &button);

  log.clear();
  headless::MouseDown(button, Button::Left, 5, 5);
  headless::MouseUp(label, Button::Left, 5, 5);  // let go elsewhere: no click
  headless::Focus(button);
  headless::PressKey(kSpace);
  EXPECT_EQ(std::count(log.begin(), log.end(), "b:clicked"), 1);
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

TEST_F(HeadlessTest, CloseMessagesCarryWhoAsked) {
  Spy& spy = Watch(*form, "f");
  spy.logged = {message::Close};
  spy.hook = [](Message& m) { return m.id == message::Close; };  // keeps the form open
  EXPECT_TRUE(headless::PressCloseBox(*form));
  form->RequestClose(/*byScheme=*/true);
  headless::PressKey(0x73, {.alt = true});
  EXPECT_EQ(log, (Log{"f:0x10(0)", "f:0x10(1)", "f:keydown 115", "f:0x10(0)"}));
  EXPECT_TRUE(form->Exists());
}

TEST_F(HeadlessTest, ClosingTheMainFormDestroysEverythingAndEndsTheLoop) {
  std::unique_ptr<Form> second = Form::Create("Second");
  second->SetVisible(true);
  Control& button = Make(ControlKind::Button, "b");
  Watch(*form, "main");
  Watch(*second, "second");
  Watch(button, "button");
  Watch(Application::MainWindow(), "application");
  ASSERT_EQ(headless::MainForm(), form.get());

  headless::PressCloseBox(*second);  // not the main form: only it goes
  EXPECT_EQ(log, (Log{"second:destroyed"}));
  EXPECT_TRUE(form->Exists());

  log.clear();
  headless::Post([&] { headless::PressCloseBox(*form); });
  Application::Run();  // returns once the posted close has ended the program
  EXPECT_FALSE(form->Exists());
  EXPECT_FALSE(button.Exists());
  EXPECT_FALSE(Application::HasMainWindow());
  std::sort(log.begin(), log.end());
  EXPECT_EQ(log, (Log{"application:destroyed", "button:destroyed", "main:destroyed"}));
  Application::Run();  // the loop has ended for good
}

}  // namespace
}  // namespace vn::toolkit::test
