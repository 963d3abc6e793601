// Window messages as a control's Handler hears them.
#include "tests/toolkit/win32_test_support.h"

namespace vn::toolkit::test {
namespace {

using MessagesTest = ToolkitTest;

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

TEST_F(MessagesTest, HookSeesMessagesFirstAndMayConsumeThem) {
  auto form = Form::Create("");
  auto label = Control::Create(ControlKind::Label, *form, "", {});
  RecordingHandler handler;
  label->SetHandler(&handler);
  handler.onMessage = [&](Message& m) {
    handler.journal.push_back("hook");
    return m.id == WM_RBUTTONDOWN;
  };
  ::SendMessageW(Hwnd(*label), WM_LBUTTONDOWN, MK_LBUTTON, Point(1, 1));
  ::SendMessageW(Hwnd(*label), WM_RBUTTONDOWN, MK_RBUTTON, Point(1, 1));
  // (The label also reports its click at the left button's press.)
  EXPECT_EQ(handler.journal, (std::vector<std::string>{"hook", "down", "clicked", "hook"}));

  // A consumed message skips the window's own handling too.
  handler.onMessage = [](Message& m) { return m.id == WM_SETTEXT; };
  label->SetText("не дойдёт");
  EXPECT_EQ(label->Text(), "");
}

TEST_F(MessagesTest, HookMayChangeAProposedPosition) {
  auto form = Form::Create("");
  auto button = Control::Create(ControlKind::Button, *form, "", {});
  RecordingHandler handler;
  handler.onMessage = [](Message& m) {
    if (m.id == message::WindowPosChanging && m.position != nullptr && (m.position->flags & SWP_NOSIZE) == 0) {
      m.position->height += 5;
    }
    return false;
  };
  button->SetHandler(&handler);
  button->SetBounds({0, 0, 80, 20});
  EXPECT_EQ(button->Bounds(), (Rect{0, 0, 80, 25}));
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
  auto form = Form::Create("");
  auto label = Control::Create(ControlKind::Label, *form, "", {});
  RecordingHandler handler;
  label->SetHandler(&handler);
  for (const MouseCase& c : cases) {
    SCOPED_TRACE(c.name);
    handler.journal.clear();
    handler.mouse.clear();
    ::SendMessageW(Hwnd(*label), c.message, c.wParam, Point(c.x, c.y));
    ASSERT_FALSE(handler.journal.empty());
    EXPECT_EQ(handler.journal[0], c.notification);
    ASSERT_EQ(handler.mouse.size(), 1u);
    EXPECT_EQ(handler.mouse[0].button, c.expected.button);
    EXPECT_EQ(handler.mouse[0].shift, c.expected.shift);
    EXPECT_EQ(handler.mouse[0].x, c.expected.x);
    EXPECT_EQ(handler.mouse[0].y, c.expected.y);
  }
}

TEST_F(MessagesTest, AltAddsThirtyTwoAndTheWheelKeepsItsSignedDelta) {
  auto form = ShownForm();
  auto label = Control::Create(ControlKind::Label, *form, "", {});
  label->SetBounds({20, 30, 120, 60});
  RecordingHandler handler;
  label->SetHandler(&handler);

  SetKeyDown(VK_MENU, true);
  ::SendMessageW(Hwnd(*label), WM_LBUTTONDOWN, MK_LBUTTON, Point(2, 2));
  SetKeyDown(VK_MENU, false);
  ASSERT_EQ(handler.mouse.size(), 1u);
  EXPECT_EQ(handler.mouse[0].shift, MK_LBUTTON + 32);

  // One step back with Control held; the wheel reports screen positions.
  POINT screen{7, 9};
  ::ClientToScreen(Hwnd(*label), &screen);
  const WPARAM wheel = (static_cast<WPARAM>(static_cast<std::uint16_t>(-120)) << 16) | MK_CONTROL;
  ::SendMessageW(Hwnd(*label), WM_MOUSEWHEEL, wheel, Point(screen.x, screen.y));
  ASSERT_EQ(handler.mouse.size(), 2u);
  EXPECT_EQ(handler.mouse[1].button, 0);
  EXPECT_EQ(handler.mouse[1].shift, static_cast<std::int32_t>(0xFF880008u));
  EXPECT_EQ(handler.mouse[1].shift / 65536, -119);
  EXPECT_EQ(handler.mouse[1].x, 7);
  EXPECT_EQ(handler.mouse[1].y, 9);
}

TEST_F(MessagesTest, KeyDownTakenAwaySwallowsItsCharacter) {
  auto form = Form::Create("");
  auto edit = Control::Create(ControlKind::Edit, *form, "", {});
  RecordingHandler handler;
  handler.onKeyDown = [](std::uint16_t& key) {
    if (key == 'A') key = 0;
  };
  edit->SetHandler(&handler);

  ::SendMessageW(Hwnd(*edit), WM_KEYDOWN, 'A', 1);
  ::SendMessageW(Hwnd(*edit), WM_CHAR, L'a', 1);
  EXPECT_EQ(handler.characters, "");
  EXPECT_EQ(edit->Text(), "");

  ::SendMessageW(Hwnd(*edit), WM_KEYDOWN, 'B', 1);
  ::SendMessageW(Hwnd(*edit), WM_CHAR, L'b', 1);
  ::SendMessageW(Hwnd(*edit), WM_KEYUP, 'B', static_cast<LPARAM>(0xC0000001u));
  EXPECT_EQ(handler.characters, "b");
  EXPECT_EQ(edit->Text(), "b");
  EXPECT_EQ(handler.keysDown, (std::vector<std::uint16_t>{0, 'B'}));
  EXPECT_EQ(handler.keysUp, (std::vector<std::uint16_t>{'B'}));
}

TEST_F(MessagesTest, CharactersArriveAsProgramBytesAndMayBeChanged) {
  auto form = Form::Create("");
  auto edit = Control::Create(ControlKind::Edit, *form, "", {});
  RecordingHandler handler;
  handler.onChar = [](char& c) {
    if (c == 'ж') c = 'Ж';
  };
  edit->SetHandler(&handler);
  ::SendMessageW(Hwnd(*edit), WM_CHAR, L'ж', 1);
  ::SendMessageW(Hwnd(*edit), WM_CHAR, L'ё', 1);
  EXPECT_EQ(handler.characters, "Жё");
  EXPECT_EQ(WideText(Hwnd(*edit)), L"Жё");
  // A letter the program's code page lacks goes on unchanged.
  ::SendMessageW(Hwnd(*edit), WM_CHAR, 0x4E2D, 1);
  EXPECT_EQ(WideText(Hwnd(*edit)), L"Жё\u4E2D");
}

TEST_F(MessagesTest, ClicksOfButtonsAndLabels) {
  auto form = ShownForm();
  auto button = Control::Create(ControlKind::Button, *form, "Записать", {});
  auto label = Control::Create(ControlKind::Label, *form, "метка", {});
  auto picture = Control::Create(ControlKind::Picture, *form, "", {});
  RecordingHandler buttonHandler;
  RecordingHandler labelHandler;
  RecordingHandler pictureHandler;
  button->SetHandler(&buttonHandler);
  label->SetHandler(&labelHandler);
  picture->SetHandler(&pictureHandler);

  ::SendMessageW(Hwnd(*button), BM_CLICK, 0, 0);
  PumpMessages();
  EXPECT_EQ(buttonHandler.clicked, 1);

  for (Control* c : {label.get(), picture.get()}) {
    ::SendMessageW(Hwnd(*c), WM_LBUTTONDOWN, MK_LBUTTON, Point(1, 1));
    ::SendMessageW(Hwnd(*c), WM_LBUTTONUP, 0, Point(1, 1));
  }
  PumpMessages();
  EXPECT_EQ(labelHandler.clicked, 1);
  EXPECT_EQ(pictureHandler.clicked, 1);
}

TEST_F(MessagesTest, SelectionIsReportedAfterTheEditFieldIsUpdated) {
  auto form = ShownForm();
  auto combo = Control::Create(ControlKind::ComboBox, *form, "", {.editable = true});
  for (const char* name : {"COM1", "COM3", "COM4"}) combo->AddItem(name);
  RecordingHandler handler;
  std::vector<std::string> seen;
  handler.onSelectionChanged = [&] { seen.push_back(combo->Text() + "@" + std::to_string(combo->Selected())); };
  combo->SetHandler(&handler);

  // The user steps through the list with the arrow key in the edit field.
  const HWND field = ::GetWindow(Hwnd(*combo), GW_CHILD);
  ASSERT_NE(field, nullptr);
  ::SetFocus(field);
  ::SendMessageW(field, WM_KEYDOWN, VK_DOWN, 1);
  EXPECT_EQ(handler.selectionChanged, 0);  // not yet: it comes through the queue
  PumpMessages();
  ::SendMessageW(field, WM_KEYDOWN, VK_DOWN, 1);
  PumpMessages();
  EXPECT_EQ(seen, (std::vector<std::string>{"COM1@0", "COM3@1"}));
  // The combo box's handler hears the keys of its own edit field.
  EXPECT_EQ(handler.keysDown, (std::vector<std::uint16_t>{VK_DOWN, VK_DOWN}));

  // Typing changes no selection.
  ::SendMessageW(field, WM_CHAR, L'X', 1);
  PumpMessages();
  EXPECT_EQ(handler.selectionChanged, 2);
}

TEST_F(MessagesTest, CursorIsSetOverTheClientArea) {
  auto form = ShownForm();
  auto label = Control::Create(ControlKind::Label, *form, "", {});
  label->SetCursor(32649);  // the hand
  ::SendMessageW(Hwnd(*label), WM_SETCURSOR, reinterpret_cast<WPARAM>(Hwnd(*label)),
                 MAKELPARAM(HTCLIENT, WM_MOUSEMOVE));
  EXPECT_EQ(::GetCursor(), ::LoadCursorW(nullptr, MAKEINTRESOURCEW(32649)));
}

}  // namespace
}  // namespace vn::toolkit::test
