#pragma once

// Docking of aligned children: plain arithmetic on rectangles, the same on
// every screen.

#include <cstdint>
#include <vector>

#include "toolkit/toolkit.h"

namespace vn::toolkit::rules {

// Places aligned children: Top, Bottom, Left, Right and Client children in
// turn, each group in the order given, with `spacing` around and between
// them. Children without alignment keep their bounds.
struct DockItem {
  Align align = Align::None;
  Rect bounds;
};
void DockLayout(const Rect& client, std::int32_t spacing, std::vector<DockItem>& items);

}  // namespace vn::toolkit::rules
