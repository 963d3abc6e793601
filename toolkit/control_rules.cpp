#include "toolkit/control_rules.h"

#include <algorithm>
#include <climits>

namespace vn::toolkit::rules {
namespace {

// Every control clips its siblings and children, so overlapping controls do
// not paint over each other.
constexpr std::uint32_t kClipStyles = 0x06000000;  // WS_CLIPSIBLINGS | WS_CLIPCHILDREN

namespace es {
constexpr std::uint32_t Centre = 0x1, Right = 0x2, Password = 0x20, AutoVScroll = 0x40, AutoHScroll = 0x80,
                        ReadOnly = 0x800;
}
namespace cbs {
constexpr std::uint32_t DropDown = 0x2, DropDownList = 0x3, Sort = 0x100;
}
namespace pbs {
constexpr std::uint32_t Smooth = 0x1, Vertical = 0x4;
}

std::int32_t Clamp(std::int64_t value) {
  return static_cast<std::int32_t>(std::clamp<std::int64_t>(value, INT32_MIN, INT32_MAX));
}

}  // namespace

ControlClass ClassOf(ControlKind kind) {
  switch (kind) {
    case ControlKind::Label: return {"STATIC", 0x5000018C, 64, 22};
    case ControlKind::Picture: return {"STATIC", 0x5000018C, 64, 64};
    case ControlKind::Button: return {"BUTTON", 0x50011000, 64, 22};
    case ControlKind::Edit: return {"EDIT", 0x50810000, 100, 22};
    case ControlKind::ComboBox: return {"COMBOBOX", 0x50210200, 100, 22};
    case ControlKind::ProgressBar: return {"msctls_progress32", 0x50000000, 300, 20};
  }
  return {"STATIC", 0x5000018C, 64, 22};
}

std::uint32_t CreationStyle(ControlKind kind, const Control::Options& options) {
  std::uint32_t style = ClassOf(kind).baseStyle | kClipStyles;
  switch (kind) {
    case ControlKind::Edit:
      // Without the options that forbid them a field scrolls its text both
      // ways (the scroll bars those options would bring are not for a
      // one-line field).
      style |= es::AutoHScroll | es::AutoVScroll;
      if (options.password) style |= es::Password;
      if (options.readOnly) style |= es::ReadOnly;
      break;
    case ControlKind::ComboBox:
      style |= options.editable ? cbs::DropDown : cbs::DropDownList;
      if (options.sorted) style |= cbs::Sort;
      break;
    case ControlKind::ProgressBar:
      if (options.vertical) style |= pbs::Vertical;
      if (options.smooth) style |= pbs::Smooth;
      break;
    default:
      break;
  }
  return style;
}

std::uint32_t AlignedStyle(ControlKind kind, std::uint32_t style, std::uint8_t alignment) {
  // SS_ and ES_ share the codes: centred 1, right 2, left 0.
  const std::uint32_t code = alignment == 1 ? es::Right : alignment == 2 ? es::Centre : 0u;
  switch (kind) {
    case ControlKind::Label:
      // Clearing the low four bits also drops SS_LEFTNOWORDWRAP (0x0C), so
      // the text wraps at word boundaries.
      return (style & ~0xFu) | code;
    case ControlKind::Edit:
      return (style & ~(es::Centre | es::Right)) | code;
    default:
      return style;
  }
}

std::uint32_t PushButtonStyle(std::uint32_t style, bool isDefault) {
  constexpr std::uint32_t kTypeBits = 0xF, kDefPushButton = 0x1;  // BS_TYPEMASK, BS_DEFPUSHBUTTON
  return (style & ~kTypeBits) | (isDefault ? kDefPushButton : 0u);
}

Rect FittedToText(const Rect& bounds, Align align, std::int32_t textWidth, std::int32_t textHeight) {
  Rect fitted = bounds;
  if (align == Align::None || align == Align::Left || align == Align::Right) {
    fitted.right = Clamp(std::int64_t{bounds.left} + textWidth + 1);
  }
  if (align == Align::None || align == Align::Top || align == Align::Bottom) {
    fitted.bottom = Clamp(std::int64_t{bounds.top} + textHeight + 1);
  }
  return fitted;
}

std::int32_t TakeTabPlace(std::span<std::int32_t* const> siblings, std::int32_t& own, std::int32_t order,
                          std::int32_t nextPlace) {
  std::int32_t last = order;
  for (std::int32_t* place : siblings) {
    if (place == &own) continue;
    if (*place >= order && *place < INT32_MAX) ++*place;
    last = std::max(last, *place);
  }
  own = order;
  return std::max(nextPlace, last < INT32_MAX ? last + 1 : last);
}

std::ptrdiff_t NextTabStop(std::ptrdiff_t current, std::ptrdiff_t count, bool backwards) {
  if (count <= 0) return -1;
  if (current < 0 || current >= count) return backwards ? count - 1 : 0;
  return (current + (backwards ? count - 1 : 1)) % count;
}

}  // namespace vn::toolkit::rules
