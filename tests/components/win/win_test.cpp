#include "components/win/win.h"

#include <algorithm>
#include <string>
#include <utility>
#include <vector>

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

TEST_F(WinTest, ParentFontAlignAndHiddenStart) {
  toolkit::Font parentFont;
  parentFont.faceName = "Courier";
  parentFont.height = -20;
  Parent().SetFont(parentFont);
  TVNLabel label(Parent());
  label.ParentFont = true;
  label.Font = MakeFont("Arial", 10, 0, 0, 1);  // not used
  label.Align = 2;                               // top, full width
  label.Visible = false;
  Place(label, 5, 5, 50, 30);
  EXPECT_EQ(View(label).font, parentFont);
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

// A started label whose button events and entries are recorded, each kind in
// its own journal (every mouse message is an entry too).
class MouseTest : public WinTest {
 protected:
  void SetUp() override {
    WinTest::SetUp();
    label = std::make_unique<TVNLabel>(Parent());
    label->onMouseDown = down.Link();
    label->onMouseMove = move.Link();
    label->onMouseUp = up.Link();
    label->onMouseWheel = wheel.Link();
    label->onDblClick = dbl.Link();
    label->onMouseEnter = enter.Link();
    label->onMouseLeave = leave.Link();
    Place(*label, 10, 10, 100, 40);
    Start();
  }
  void TearDown() override {
    label.reset();
    WinTest::TearDown();
  }
  toolkit::Window& Target() { return *label->Control; }
  static Journal Take(Journal& journal) { return std::exchange(journal, {}); }

  std::unique_ptr<TVNLabel> label;
  Journal buttons, presence;
  ChainLog down{&buttons, "down"}, move{&buttons, "move"}, up{&buttons, "up"}, wheel{&buttons, "wheel"},
      dbl{&buttons, "dbl"}, enter{&presence, "enter"}, leave{&presence, "leave"};
};

TEST_F(MouseTest, ButtonsAndMovesReportThePreviousState) {
  const auto L = hl::Button::Left;
  hl::MouseMove(Target(), 5, 5);
  hl::MouseMove(Target(), 6, 5);
  hl::MouseDown(Target(), L, 6, 5);
  hl::MouseMove(Target(), 7, 5);
  hl::MouseUp(Target(), L, 7, 5);
  hl::MouseMove(Target(), 8, 5);
  hl::MouseDown(Target(), hl::Button::Right, 8, 5);
  hl::MouseMove(Target(), 9, 5);
  hl::MouseUp(Target(), hl::Button::Right, 9, 5);
  hl::MouseDown(Target(), hl::Button::Middle, 9, 5, {.shift = true});
  hl::MouseMove(Target(), 9, 6);  // middle with shift held: not a lone button
  hl::MouseUp(Target(), hl::Button::Middle, 9, 6);
  EXPECT_EQ(Take(buttons), (Journal{"move=I:-1", "move=I:-1", "down=I:0", "move=I:0", "up=I:0", "move=I:-1",
                                    "down=I:1", "move=I:1", "up=I:1", "down=I:2", "move=I:-1", "up=I:2"}));
  EXPECT_EQ(label->MouseX, 9);
  EXPECT_EQ(label->MouseY, 6);
  EXPECT_EQ(label->MouseButton, 3u);
}

TEST_F(MouseTest, EnteringWithTheButtonHeldReportsMinusOneFirst) {
  hl::MouseDown(Parent(), hl::Button::Left, 5, 5);  // pressed outside the label
  hl::MouseMove(Target(), 5, 5);
  hl::MouseMove(Target(), 6, 5);
  EXPECT_EQ(Take(buttons), (Journal{"move=I:-1", "move=I:0"}));
}

TEST_F(MouseTest, WheelReportsTheStateWordDividedTruncating) {
  hl::Wheel(Target(), -120, 5, 5, {.control = true});
  hl::Wheel(Target(), -120, 5, 5);
  hl::Wheel(Target(), 120, 5, 5, {.control = true});
  EXPECT_EQ(Take(buttons), (Journal{"wheel=I:-119", "wheel=I:-120", "wheel=I:120"}));
}

TEST_F(MouseTest, EveryMouseMessageIsAnEntryAndLeavingIsReportedOnce) {
  hl::MouseMove(Target(), 5, 5);
  hl::MouseMove(Target(), 6, 5);
  hl::MouseAway();
  // A leave asked for from the leave handling would be queued at once, and
  // again from its own handling: a bounded number of passes shows the loop.
  int passes = 0;
  hl::ServeUntil([&passes] { return ++passes > 20; });
  EXPECT_EQ(Take(presence), (Journal{"enter=N", "enter=N", "leave=N"}));
  Take(buttons);
  hl::DoubleClick(Target(), hl::Button::Right, 5, 5);
  const Journal gesture = Take(buttons);
  EXPECT_EQ(std::count(gesture.begin(), gesture.end(), "dbl=I:1"), 1);
  EXPECT_GE(Take(presence).size(), 4u);  // down, up, double, up: each an entry
}

TEST_F(WinTest, MoveSizeFocusAndShowEvents) {
  TVNEdit first(Parent()), second(Parent());
  Journal journal;
  ChainLog moved{&journal, "move"}, resized{&journal, "resize"}, set{&journal, "set"}, kill{&journal, "kill"},
      shown{&journal, "show"};
  first.onMove = moved.Link();
  first.onResize = resized.Link();
  first.onSetFocus = set.Link();
  first.onKillFocus = kill.Link();
  first.onShow = shown.Link();
  Place(first, 0, 0, 100, 22);
  Place(second, 0, 30, 100, 22);
  Start();
  first.Control->SetBounds({5, 0, 105, 22});
  first.Control->SetBounds({5, 0, 105, 30});
  hl::Focus(*first.Control);
  hl::Focus(*second.Control);
  TData value = Int(0);
  first.doVisible(value, 0);
  value = Int(1);
  first.doVisible(value, 0);
  first.doVisible(value, 0);  // already visible: no show
  EXPECT_EQ(journal, (Journal{"move=N", "resize=N", "set=N", "kill=N", "show=N"}));
}

// A size-correction point that records what it was asked and answers a value.
struct Correction {
  TData answer;
  std::vector<std::string> asked;
  void varValue(TData& data, std::uint16_t) {
    asked.push_back(ChainText(data));
    data = answer;
  }
  TPointLink Link() { return MakePoint<&Correction::varValue>(0, this); }
};

TEST_F(WinTest, ResizeCorrectionTakesOnlyIntegerAnswers) {
  TVNEdit edit(Parent());
  Correction height{Int(5)}, width{Str("7")};
  edit.DeltaHeight = height.Link();
  edit.DeltaWidth = width.Link();
  Place(edit, 0, 0, 100, 20);
  Start();
  edit.Control->SetBounds({0, 0, 130, 40});
  EXPECT_EQ(height.asked, (std::vector<std::string>{"I:20"}));
  EXPECT_EQ(width.asked, (std::vector<std::string>{"I:30"}));
  EXPECT_EQ(View(edit).bounds, (Rect{0, 0, 130, 25}));  // height 20 + 5; width as proposed

  height.answer = Break();
  edit.Control->SetBounds({0, 0, 130, 60});
  EXPECT_EQ(View(edit).bounds.Height(), 60);
  edit.Control->SetBounds({10, 10, 140, 70});  // moved only: no question asked
  EXPECT_EQ(height.asked.size(), 2u);
  EXPECT_EQ(width.asked.size(), 1u);
}

// A key-event receiver that records what it hears and answers through
// KeyResult.
struct KeyOverride {
  TVNWin* win;
  std::int32_t result;
  Journal heard;
  void doEvent(TData& data, std::uint16_t) {
    heard.push_back(ChainText(data));
    win->KeyResult = result;
  }
  TPointLink Link() { return MakePoint<&KeyOverride::doEvent>(0, this); }
};

// A receiver's KeyResult (-1: none) replaces the key or the character; a
// key-down turned to 0, through KeyResult or by a descendant, swallows the
// character after it, which then reaches no receiver.
TEST_F(WinTest, KeyResultReplacesTheKeyAndZeroSwallowsTheCharacter) {
  TVNLabel label(Parent());
  Place(label, 0, 0, 10, 10);
  Start();
  struct Case {
    std::int32_t result;
    std::uint16_t key;  // the key-down's and the key-up's key after the receiver
    char character;     // the 'a' after the key-down, as it ends up
    Journal heard;
  };
  const Case cases[] = {{-1, 65, 'a', {"I:65", "S:a", "I:65"}},
                        {66, 66, 'B', {"I:65", "S:a", "I:65"}},
                        {0, 0, '\0', {"I:65", "I:65"}}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.result);
    KeyOverride receiver{&label, c.result};
    label.onKeyDown = receiver.Link();
    label.onKeyPress = receiver.Link();
    label.onKeyUp = receiver.Link();
    std::uint16_t down = 65, up = 65;
    char character = 'a';
    label.HandleKeyDown(down);
    label.HandleKeyChar(character);
    label.HandleKeyUp(up);
    EXPECT_EQ(down, c.key);
    EXPECT_EQ(character, c.character);
    EXPECT_EQ(up, c.key);
    EXPECT_EQ(receiver.heard, c.heard);
  }

  TVNEdit edit(Parent());  // with onEnter connected it turns Enter to 0
  Recorder entered, presses;
  edit.onEnter = entered.Link();
  edit.onKeyPress = presses.Link();
  edit.TextGetter = edit.OwnTextReader();
  edit.Init();
  std::uint16_t enter = 13;
  edit.HandleKeyDown(enter);
  char cr = '\r';
  edit.HandleKeyChar(cr);
  EXPECT_EQ(enter, 0);
  EXPECT_EQ(cr, '\0');
  EXPECT_EQ(entered.Count(), 1u);
  EXPECT_EQ(presses.Count(), 0u);
}

TEST_F(WinTest, CharacterOverrideReachesTheField) {
  TVNEdit edit(Parent());
  KeyOverride upper{&edit, 'Z'};
  edit.onKeyPress = upper.Link();
  Place(edit, 0, 0, 100, 22);
  Start();
  ASSERT_TRUE(hl::Focus(*edit.Control));
  hl::Type("ab");
  EXPECT_EQ(View(edit).text, "ZZ");
}

// A hint interface that records what the window base asks of it.
struct FakeHints final : THintInterface {
  Journal calls;
  std::unique_ptr<toolkit::Tooltip> CreateTool(toolkit::Window& control) override {
    calls.push_back("create");
    return toolkit::Tooltip::Create(control, {});
  }
  void DestroyTool(std::unique_ptr<toolkit::Tooltip> tool) override {
    calls.push_back("destroy");
    tool.reset();
  }
  void SetToolText(toolkit::Tooltip& tool, std::string_view text) override {
    calls.push_back("text=" + std::string(text));
    tool.SetText(text);
  }
  void ToolEnter(toolkit::Tooltip&) override { calls.push_back("enter"); }
  void ToolLeave(toolkit::Tooltip&) override { calls.push_back("leave"); }
  void ToolMove(toolkit::Tooltip&, std::int16_t x, std::int16_t y) override {
    calls.push_back("move " + std::to_string(x) + "," + std::to_string(y));
  }
};

TEST_F(WinTest, HintsMakeATooltipOnlyWhenThereIsAText) {
  TVNHintManager::CreateGlobal();
  TVNLabel plain(Parent()), hinted(Parent());
  hinted.Hint = "Выберите порт";
  Place(plain, 0, 0, 50, 20);
  Place(hinted, 0, 30, 50, 20);
  plain.AttachHint(nullptr);
  hinted.AttachHint(nullptr);
  EXPECT_FALSE(plain.HintTool);
  EXPECT_TRUE(View(plain).tooltips.empty());
  EXPECT_EQ(View(hinted).tooltips, (std::vector<std::string>{"Выберите порт"}));
  EXPECT_EQ(hinted.HintManager, TVNHintManager::Global());
}

TEST_F(WinTest, TheHintManagerHearsMouseAndDestruction) {
  FakeHints hints;
  {
    TVNLabel label(Parent());
    Place(label, 10, 10, 50, 20);
    Start();
    label.AttachHint(&hints);  // a given manager makes a tool even for an empty hint
    EXPECT_EQ(hints.calls, (Journal{"create", "text="}));
    hints.calls.clear();
    hl::MouseMove(*label.Control, 3, 4);
    hl::MouseMove(*label.Control, 5, 6);
    hl::MouseAway();
    EXPECT_EQ(hints.calls, (Journal{"enter", "move 0,0", "enter", "move 3,4", "leave"}));
    hints.calls.clear();
  }
  EXPECT_EQ(hints.calls, (Journal{"destroy"}));
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
