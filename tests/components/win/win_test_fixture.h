#pragma once

#include <gtest/gtest.h>

#include <memory>

#include "components/win/simple_form.h"
#include "components/win/win.h"
#include "core/dispatch.h"
#include "tests/components/flow/flow_test_points.h"
#include "tests/support/test_points.h"
#include "toolkit/headless_screen.h"

namespace vn::test {

namespace hl = toolkit::headless;

// A fresh headless screen with the main form made and initialised (hidden,
// dispatch inert) as the main scheme leaves it; Start() runs it as the entry
// point does. Components made in a test are destroyed before the form.
class WinTest : public ::testing::Test {
 protected:
  void SetUp() override {
    hl::Reset();
    form = std::make_unique<TVNSimpleForm>();
    form->Width = 400;
    form->Height = 300;
    form->Init();
  }
  void TearDown() override {
    StopDispatch();
    form.reset();
    hl::Reset();
  }

  void Start() { form->Run(); }
  toolkit::Window& Parent() { return *form->Control; }

  // Bounds, then Init.
  template <class T>
  void Place(T& component, std::int32_t left, std::int32_t top, std::int32_t width, std::int32_t height) {
    component.Left = left;
    component.Top = top;
    component.Width = width;
    component.Height = height;
    component.Init();
  }

  static hl::WindowView View(const TVNWin& component) { return hl::View(*component.Control); }

  std::unique_ptr<TVNSimpleForm> form;
};

}  // namespace vn::test
