#pragma once

// A fresh screen for each behaviour test, whichever backend runs it: the
// suite speaks only the toolkit's own interface, and each backend's test
// program brings its SetUp and TearDown.

#include <gtest/gtest.h>

#include <cstdint>
#include <memory>
#include <string_view>
#include <vector>

#include "toolkit/toolkit.h"

namespace vn::toolkit::test {

class BehaviourTest : public ::testing::Test {
 protected:
  void SetUp() override;
  void TearDown() override;

  // Shows the form on the screen, ready for keys.
  void ShowForm();
  void GiveFocus(Window& window);
  // Down and up of a key on the focused window, with Shift held if asked.
  void PressKey(std::uint16_t key, bool shift = false);
  bool HasFocus(Window& window);

  Control& Make(ControlKind kind, std::string_view text = "", const Control::Options& options = {}) {
    controls.push_back(Control::Create(kind, *form, text, options));
    return *controls.back();
  }

  std::unique_ptr<Form> form;
  std::vector<std::unique_ptr<Control>> controls;
};

}  // namespace vn::toolkit::test
