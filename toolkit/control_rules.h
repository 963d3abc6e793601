#pragma once

// What a control is made with and how its own rules change it, alike on
// every screen: no window system here, so both backends share one copy.

#include <cstdint>
#include <span>
#include <string_view>

#include "toolkit/toolkit.h"

namespace vn::toolkit::rules {

struct ControlClass {
  std::string_view className;  // the window class
  std::uint32_t baseStyle;     // WS_VISIBLE among the bits
  std::int32_t width;          // the size a control of the kind is created with
  std::int32_t height;
};
ControlClass ClassOf(ControlKind kind);

// The style a control is created with: its class's base style, the clip
// bits and what its options ask for.
std::uint32_t CreationStyle(ControlKind kind, const Control::Options& options);

// Labels and edit fields take their alignment (0 left, 1 right, 2 centred)
// as class style bits; other kinds keep their style.
std::uint32_t AlignedStyle(ControlKind kind, std::uint32_t style, std::uint8_t alignment);

// A push button's style as its form's default button (the thicker frame)
// or as an ordinary one.
std::uint32_t PushButtonStyle(std::uint32_t style, bool isDefault);

// A label fitted to its text: one pixel more than the text in each
// direction that its docking leaves free.
Rect FittedToText(const Rect& bounds, Align align, std::int32_t textWidth, std::int32_t textHeight);

// Gives a control the positive tab place `order` among its siblings' places
// (those at that place or later move one back) and answers the parent's
// next free place.
std::int32_t TakeTabPlace(std::span<std::int32_t* const> siblings, std::int32_t& own, std::int32_t order,
                          std::int32_t nextPlace);

// The tab stop that Tab (or Shift+Tab) moves to from stop `current` (-1:
// none of them has the focus) among `count` stops; -1 when there are none.
std::ptrdiff_t NextTabStop(std::ptrdiff_t current, std::ptrdiff_t count, bool backwards);

}  // namespace vn::toolkit::rules
