#pragma once

#include "components/win/win.h"
#include "core/point_link.h"
#include "core/rc_string.h"
#include "core/tdata.h"

namespace vn {

// A push button that fires a fixed value when pressed.
class TVNButton : public TVNWin {
 public:
  explicit TVNButton(toolkit::Window& parentWindow);

  TPointLink onClick;
  TData Data;  // fired as a copy, so receivers never change it
  RcString Caption;
  bool Default = false;  // Enter in the form presses it

  void Init() override;

 protected:
  void ClickHandler() override;
};

}  // namespace vn
