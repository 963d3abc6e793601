// Window messages as a control's Handler hears them.
#include "tests/toolkit/win32_test_support.h"

namespace vn::toolkit::test {
namespace {

using MessagesTest = BehaviourTest;

LPARAM Point(int x, int y) {
  return static_cast<LPARAM>((static_cast<std::uint32_t>(y & 0xFFFF) << 16) | static_cast<std::uint32_t>(x & 0xFFFF));
}

// Sets the key state that GetKeyState reads for this thread.
void SetKeyDown(int key, bool down) {
  BYTE state[256] = {};
  ::GetKeyboardState(state);
  state[key] = down ? 0x80 : 0;
  ::SetKeyboardState(state);
}

struct MouseCase {
  const char* name;
  UINT message;
  WPARAM wParam;
  int x;
  int y;
  const char* notification;
  MouseEvent expected;
};

TEST_F(MessagesTest, MouseMessagesBecomeMouseEvents) {
  const MouseCase cases[] = {
      {"left down with shift", WM_LBUTTONDOWN, MK_LBUTTON | MK_SHIFT, 5, 7, "down", {1, MK_LBUTTON | MK_SHIFT, 5, 7}},
      {"right up", WM_RBUTTONUP, 0, 3, 4, "up", {2, 0, 3, 4}},
      {"middle down", WM_MBUTTONDOWN, MK_MBUTTON, 1, 2, "down", {3, MK_MBUTTON, 1, 2}},
      {"move with left held", WM_MOUSEMOVE, MK_LBUTTON, 9, 8, "move", {0, MK_LBUTTON, 9, 8}},
      {"move outside while captured", WM_MOUSEMOVE, 0, -3, -4, "move", {0, 0, -3, -4}},
      {"right double click", WM_RBUTTONDBLCLK, MK_RBUTTON, 6, 6, "double", {2, MK_RBUTTON, 6, 6}},
  };
  Control& label = Make(ControlKind::Label);
  Spy& spy = Watch(label, "l");
  for (const MouseCase& c : cases) {
    SCOPED_TRACE(c.name);
    log.clear();
    spy.mouse.clear();
    ::SendMessageW(Hwnd(label), c.message, c.wParam, Point(c.x, c.y));
    ASSERT_FALSE(log.empty());
    EXPECT_EQ(log[0], std::string("l:") + c.notification);
    ASSERT_EQ(spy.mouse.size(), 1u);
    EXPECT_EQ(spy.mouse[0].button, c.expected.button);
    EXPECT_EQ(spy.mouse[0].shift, c.expected.shift);
    EXPECT_EQ(spy.mouse[0].x, c.expected.x);
    EXPECT_EQ(spy.mouse[0].y, c.expected.y);
  }
}

TEST_F(MessagesTest, AltAddsThirtyTwoAndTheWheelKeepsItsSignedDelta) {
  ShowForm();
  Control& label = Make(ControlKind::Label);
  label.SetBounds({20, 30, 120, 60});
  Spy& spy = Watch(label, "l");

  SetKeyDown(VK_MENU, true);
  ::SendMessageW(Hwnd(label), WM_LBUTTONDOWN, MK_LBUTTON, Point(2, 2));
  SetKeyDown(VK_MENU, false);
  ASSERT_EQ(spy.mouse.size(), 1u);
  EXPECT_EQ(spy.mouse[0].shift, MK_LBUTTON + 32);

  // One step back with Control held; the wheel reports screen positions.
  POINT screen{7, 9};
  ::ClientToScreen(Hwnd(label), &screen);
  const WPARAM wheel = (static_cast<WPARAM>(static_cast<std::uint16_t>(-120)) << 16) | MK_CONTROL;
  ::SendMessageW(Hwnd(label), WM_MOUSEWHEEL, wheel, Point(screen.x, screen.y));
  ASSERT_EQ(spy.mouse.size(), 2u);
  EXPECT_EQ(spy.mouse[1].button, 0);
  EXPECT_EQ(spy.mouse[1].shift, static_cast<std::int32_t>(0xFF880008u));
  EXPECT_EQ(spy.mouse[1].x, 7);
  EXPECT_EQ(spy.mouse[1].y, 9);
}

TEST_F(MessagesTest, CharactersArriveAsProgramBytesAndMayBeChanged) {
  Control& edit = Make(ControlKind::Edit);
  Spy& spy = Watch(edit, "e");
  spy.onChar = [](char& c) {
    if (c == 'ж') c = 'Ж';
  };
  ::SendMessageW(Hwnd(edit), WM_CHAR, L'ж', 1);
  ::SendMessageW(Hwnd(edit), WM_CHAR, L'ё', 1);
  EXPECT_EQ(WideText(Hwnd(edit)), L"Жё");
  // A letter the program's code page lacks goes on unchanged.
  ::SendMessageW(Hwnd(edit), WM_CHAR, 0x4E2D, 1);
  EXPECT_EQ(WideText(Hwnd(edit)), L"Жё\u4E2D");
}

}  // namespace
}  // namespace vn::toolkit::test
