#pragma once

// The headless screen's own tests: the shared fixture, with the main form
// already on the screen.

#include "tests/toolkit/behaviour_fixture.h"
#include "toolkit/headless_screen.h"

namespace vn::toolkit::test {

class HeadlessTest : public BehaviourTest {
 protected:
  void SetUp() override {
    BehaviourTest::SetUp();
    form->SetVisible(true);
  }
};

}  // namespace vn::toolkit::test
