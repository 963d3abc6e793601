#pragma once

#include <cstdint>

#include "components/win/win.h"
#include "core/tdata.h"

namespace vn {

// Shows how far a transfer has come, from 0 to Max.
class TVNProgressBar : public TVNWin {
 public:
  explicit TVNProgressBar(toolkit::Window& parentWindow);

  std::uint8_t Kind = 0;  // 1 vertical, else horizontal
  bool Smooth = false;
  std::int32_t Max = 0;
  toolkit::Color BarColor = 0;

  // The incoming Integer (0 for NULL), clamped to the range by the control.
  void doPosition(TData& data, std::uint16_t index);

  void Init() override;
};

}  // namespace vn
