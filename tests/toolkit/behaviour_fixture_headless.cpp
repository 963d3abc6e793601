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

}  // namespace vn::toolkit::test
