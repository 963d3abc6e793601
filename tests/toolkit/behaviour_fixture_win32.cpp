#include "tests/toolkit/behaviour_fixture.h"
#include "tests/toolkit/win32_test_support.h"

namespace vn::toolkit::test {
namespace {

// Destroying the application window takes every form and control with it;
// its messages are then dropped so that none reaches the next test.
void ClearScreen() {
  if (Application::HasMainWindow()) Application::MainWindow().Destroy();
  MSG message{};
  while (::PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
  }
}

// The keyboard as the system sees it: GetAsyncKeyState reads this state.
void HoldShift(bool down) {
  INPUT input{};
  input.type = INPUT_KEYBOARD;
  input.ki.wVk = VK_SHIFT;
  input.ki.dwFlags = down ? 0 : KEYEVENTF_KEYUP;
  ::SendInput(1, &input, sizeof(input));
  PumpMessages();
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
  ::SendMessageW(focus, WM_KEYUP, key, static_cast<LPARAM>(0xC0000001u));
  if (shift) HoldShift(false);
}

bool BehaviourTest::HasFocus(Window& window) {
  // An editable combo box has the focus in its own edit field.
  const HWND focus = ::GetFocus();
  return focus != nullptr && (focus == Hwnd(window) || ::IsChild(Hwnd(window), focus));
}

}  // namespace vn::toolkit::test
