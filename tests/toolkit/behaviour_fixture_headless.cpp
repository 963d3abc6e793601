#include "tests/toolkit/behaviour_fixture.h"
#include "toolkit/headless_screen.h"

namespace vn::toolkit::test {

void BehaviourTest::SetUp() {
  headless::Reset();
  form = Form::Create("Main");
}

void BehaviourTest::TearDown() {
  controls.clear();
  form.reset();
  headless::Reset();
}

void BehaviourTest::ShowForm() { form->SetVisible(true); }

void BehaviourTest::GiveFocus(Window& window) { headless::Focus(window); }

void BehaviourTest::PressKey(std::uint16_t key, bool shift) { headless::PressKey(key, {.shift = shift}); }

bool BehaviourTest::HasFocus(Window& window) { return headless::Focused() == &window; }

void BehaviourTest::Click(Window& window) { headless::Click(window); }

}  // namespace vn::toolkit::test
