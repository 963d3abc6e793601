#include "tests/toolkit/behaviour_fixture.h"
#include "tests/toolkit/win32_test_support.h"

namespace vn::toolkit::test {
namespace {

// The keyboard as the system sees it: GetAsyncKeyState reads this state.
void HoldShift(bool down) {
  INPUT input{};
  input.type = INPUT_KEYBOARD;
  input.ki.wVk = VK_SHIFT;
  input.ki.dwFlags = down ? 0 : KEYEVENTF_KEYUP;
  ::SendInput(1, &input, sizeof(input));
  PumpMessages();
}

// The character that TranslateMessage would make of the key.
wchar_t CharacterOf(std::uint16_t key, bool shift) {
  const bool asItIs = key == VK_RETURN || key == VK_BACK || key == VK_SPACE || (key >= '0' && key <= '9');
  if (asItIs) return static_cast<wchar_t>(key);
  if (key >= 'A' && key <= 'Z') return static_cast<wchar_t>(shift ? key : key - 'A' + 'a');
  return 0;
}

}  // namespace

void BehaviourTest::SetUp() {
  Application::InitCommonControls();
  ClearScreen();
  form = Form::Create("Main");
}

void BehaviourTest::TearDown() {
  controls.clear();
  form.reset();
  ClearScreen();
}

void BehaviourTest::ShowForm() {
  form->SetBounds({40, 40, 440, 340});
  form->SetVisible(true);
  ::SetForegroundWindow(Hwnd(*form));
  PumpMessages();
}

void BehaviourTest::GiveFocus(Window& window) { ::SetFocus(Hwnd(window)); }

void BehaviourTest::PressKey(std::uint16_t key, bool shift) {
  if (shift) HoldShift(true);
  const HWND focus = ::GetFocus();
  ::SendMessageW(focus, WM_KEYDOWN, key, 0x00000001);
  PumpMessages();
  if (const wchar_t character = CharacterOf(key, shift); character != 0) {
    ::SendMessageW(focus, WM_CHAR, character, 0x00000001);
    PumpMessages();
  }
  ::SendMessageW(focus, WM_KEYUP, key, static_cast<LPARAM>(0xC0000001u));
  PumpMessages();
  if (shift) HoldShift(false);
}

bool BehaviourTest::HasFocus(Window& window) {
  // An editable combo box has the focus in its own edit field.
  const HWND focus = ::GetFocus();
  return focus != nullptr && (focus == Hwnd(window) || ::IsChild(Hwnd(window), focus));
}

void BehaviourTest::Click(Window& window) {
  const HWND target = Hwnd(window);
  RECT client{};
  ::GetClientRect(target, &client);
  const LPARAM centre = MAKELPARAM(client.right / 2, client.bottom / 2);
  ::SendMessageW(target, WM_MOUSEMOVE, 0, centre);
  ::SendMessageW(target, WM_LBUTTONDOWN, MK_LBUTTON, centre);
  ::SendMessageW(target, WM_LBUTTONUP, 0, centre);
  PumpMessages();
}

}  // namespace vn::toolkit::test
