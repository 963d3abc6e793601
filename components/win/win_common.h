#pragma once

#include <cstdint>
#include <functional>
#include <memory>

#include "components/win/font.h"
#include "core/point_link.h"
#include "core/rc_string.h"
#include "core/tdata.h"
#include "toolkit/toolkit.h"

namespace vn {

// Window arithmetic on property values: saturates instead of overflowing.
inline std::int32_t SaturatingAdd(std::int32_t a, std::int32_t b) {
  const std::int64_t sum = std::int64_t{a} + b;
  if (sum > INT32_MAX) return INT32_MAX;
  if (sum < INT32_MIN) return INT32_MIN;
  return static_cast<std::int32_t>(sum);
}

// A message hook that runs after a component's own handling of a message;
// true consumes the message.
using TMessageHook = std::function<bool(toolkit::Message&)>;

// What the two window bases (TVNWin for child controls, TVNSimpleWin for the
// top-level form) have in common: the design-time properties, the saved
// mouse state, the mouse, focus, size and show events and the message hook.
//
// Toolkit notifications arrive on the window thread; each one that may run
// scheme code holds the scheme lock while it does. Input and variable points
// may be called from the reader and timer threads: they take the lock (so
// they belong to the caller's chain) and do the window work through
// toolkit::RunOnWindowThread (see docs/threads.md).
class TWinCommon {
 public:
  TWinCommon(const TWinCommon&) = delete;
  TWinCommon& operator=(const TWinCommon&) = delete;
  virtual ~TWinCommon();

  toolkit::Window* ParentWindow = nullptr;  // borrowed
  TMessageHook PrevHook;
  std::uint32_t MouseButton = 0;  // 1 left, 2 right, 3 middle, 0 move and wheel
  std::int32_t MouseShift = 0;
  std::int16_t MouseX = 0;
  std::int16_t MouseY = 0;
  TPointLink onKeyDown;
  TPointLink onKeyUp;
  std::uint32_t ManagerFlags = 0;
  std::int32_t Left = 0;
  std::int32_t Top = 0;
  std::int32_t Width = 0;  // 0 keeps the size the window was created with
  std::int32_t Height = 0;
  std::uint8_t Align = 0;
  std::int32_t TabOrder = 0;
  toolkit::Color Color = 0;
  std::uint8_t Ctl3D = 2;  // 0 sunken edge, 1 flat border, 2 the window's own look
  RcString Hint;
  TFontRec Font;
  bool ParentFont = false;
  bool Visible = true;
  bool Enabled = true;
  std::int32_t Cursor = 0;  // 0: the class default
  bool MouseCapture = false;
  TPointLink onMouseDown;
  TPointLink onMouseMove;
  TPointLink onMouseUp;
  TPointLink onMouseWheel;
  TPointLink onSetFocus;
  TPointLink onKillFocus;
  TPointLink onDblClick;
  TPointLink onResize;
  TPointLink onShow;
  TPointLink onMove;
  TPointLink onMouseEnter;
  TPointLink onMouseLeave;

  void doEnabled(TData& data, std::uint16_t index);

  virtual void KeyDown(std::uint16_t& key);
  virtual void KeyUp(std::uint16_t& key);
  virtual void MouseDown(const toolkit::MouseEvent& event);
  virtual void MouseMove(const toolkit::MouseEvent& event);
  virtual void MouseEnter();
  virtual void MouseLeave();
  virtual void MouseUp(const toolkit::MouseEvent& event);
  virtual void MouseWheel(const toolkit::MouseEvent& event);
  // Returns true when the message is consumed.
  virtual bool WindowMessage(toolkit::Message& message);
  virtual void Resized();
  virtual void Shown();
  virtual void Init() = 0;

  bool CallPrevHandler(toolkit::Message& message);

 protected:
  explicit TWinCommon(toolkit::Window* parentWindow);

  // The component's own window, none before it is made.
  virtual toolkit::Window* OwnWindow() const = 0;
  // Notifications that only some descendants use.
  virtual void Destroyed() = 0;
  virtual void HandleKeyDown(std::uint16_t& /*key*/) {}
  virtual void HandleKeyUp(std::uint16_t& /*key*/) {}
  virtual void HandleKeyChar(char& /*character*/) {}
  virtual void ClickHandler() {}
  virtual void ChangeHandler() {}
  // Told on the window thread as soon as the window's text changed, before
  // the change is handled in the scheme (which may have to wait for the
  // scheme lock).
  virtual void TextChangedNow() {}
  virtual void SelectionHandler() {}
  virtual void PaintHandler(toolkit::Canvas& /*canvas*/) {}

  // Init steps both bases share: colour, bounds and edge; then, later on,
  // tab order, the handler and docking.
  void InitFrame(toolkit::Window& window);
  void InitNavigation(toolkit::Window& window);
  void AttachHandler(toolkit::Window& window);
  void SaveMouse(const toolkit::MouseEvent& event);

 private:
  class Events;
  void DoubleClick(const toolkit::MouseEvent& event);

  std::unique_ptr<Events> events_;
};

}  // namespace vn
