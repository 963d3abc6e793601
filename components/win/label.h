#pragma once

#include <cstdint>

#include "components/win/win.h"
#include "core/point_link.h"
#include "core/rc_string.h"
#include "core/tdata.h"

namespace vn {

// A text on the form (titles, status and error lines). Its control exists
// from construction on, so the scheme can set AutoSize and Alignment on it
// before Init.
class TVNLabel : public TVNWin {
 public:
  explicit TVNLabel(toolkit::Window& parentWindow);

  TPointLink onClick;
  toolkit::Color HoverColor = 0;  // 0: no change
  bool HoverUnderline = false;
  RcString Caption;
  TPointLink Text;

  // Held by the control: fit the label to its text, now and after every
  // text change.
  void SetAutoSize(bool autoSize);
  // 0 left, 1 right, 2 centred; the text then wraps at word boundaries.
  void SetAlignment(std::uint8_t alignment);

  // Sets the shown text; Caption keeps its value.
  void doText(TData& data, std::uint16_t index);

  void MouseEnter() override;
  void MouseLeave() override;
  void Init() override;

 protected:
  void ClickHandler() override;

 private:
  void ShowHover(bool hovering);
};

}  // namespace vn
