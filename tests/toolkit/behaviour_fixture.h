#pragma once

// A fresh screen for each behaviour test, whichever backend runs it: the
// suite speaks only the toolkit's own interface, and each backend's test
// program brings its SetUp and TearDown.

#include <gtest/gtest.h>

#include <memory>
#include <string_view>
#include <vector>

#include "toolkit/toolkit.h"

namespace vn::toolkit::test {

class BehaviourTest : public ::testing::Test {
 protected:
  void SetUp() override;
  void TearDown() override;

  Control& Make(ControlKind kind, std::string_view text = "", const Control::Options& options = {}) {
    controls.push_back(Control::Create(kind, *form, text, options));
    return *controls.back();
  }

  std::unique_ptr<Form> form;
  std::vector<std::unique_ptr<Control>> controls;
};

}  // namespace vn::toolkit::test
