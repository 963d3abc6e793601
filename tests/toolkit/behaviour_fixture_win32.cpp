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

}  // namespace vn::toolkit::test
