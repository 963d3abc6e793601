#pragma once

#include "components/win/win_list.h"
#include "core/rc_string.h"

namespace vn {

// The drop-down list in which the user picks an item (the serial port).
// Picking fires onClick; typing into the edit field fires nothing.
class TVNComboBox : public TVNLWinList {
 public:
  explicit TVNComboBox(toolkit::Window& parentWindow);

  bool Editable = false;  // an edit field besides the list
  RcString Text;          // initial text of the edit field
  RcString Strings;       // initial items, one per line
  bool Sorted = false;

  void Init() override;
};

}  // namespace vn
