#pragma once

#include <cstdint>
#include <functional>
#include <memory>

#include "components/win/hint_manager.h"
#include "components/win/win_common.h"
#include "core/point_link.h"
#include "core/tdata.h"
#include "toolkit/toolkit.h"

namespace vn {

// Base of the components that own one child control on the main form. The
// descendant's Init creates Control inside ParentWindow and then runs this
// Init, which configures it and routes its notifications to the events.
class TVNWin : public TWinCommon {
 public:
  explicit TVNWin(toolkit::Window& parentWindow);
  // Detaches, destroys the tooltip, then hides and frees the control unless
  // the toolkit has already destroyed it. Runs on the window thread.
  ~TVNWin() override;

  std::function<toolkit::Control*()> ControlAccess;
  bool ControlGone = false;
  std::int32_t KeyResult = 0;  // key-code override while a key is handled; -1 none
  std::unique_ptr<toolkit::Tooltip> HintTool;
  THintInterface* HintManager = nullptr;  // borrowed
  std::unique_ptr<toolkit::Control> Control;
  bool Transparent = false;
  bool Flat = false;
  std::uint8_t BorderStyle = 0;  // applies with Ctl3D 0 only
  TPointLink onKeyPress;
  TPointLink DeltaWidth;
  TPointLink DeltaHeight;

  void doVisible(TData& data, std::uint16_t index);

  // Gives the control a tooltip with the Hint text, from `manager` or, when
  // none is given, from the global hint manager. Nothing happens when no
  // manager is given and Hint is empty.
  void AttachHint(THintInterface* manager);

  virtual void KeyChar(char& character);
  virtual void ControlDestroyed();
  virtual std::function<toolkit::Control*()> GetControlAccess();

  void MouseMove(const toolkit::MouseEvent& event) override;
  void MouseEnter() override;
  void MouseLeave() override;
  bool WindowMessage(toolkit::Message& message) override;
  void Init() override;

  // The key handlers: they apply KeyResult around KeyDown, KeyUp and KeyChar, so a key
  // code turned to 0 on key-down swallows the character that follows.
  void HandleKeyDown(std::uint16_t& key) override;
  void HandleKeyUp(std::uint16_t& key) override;
  void HandleKeyChar(char& character) override;

 protected:
  toolkit::Window* OwnWindow() const override { return Control.get(); }
  // The control is made and the toolkit has not destroyed it.
  bool HasControl() const { return Control && !ControlGone; }
  void Destroyed() override { ControlDestroyed(); }

 private:
  void CorrectResize(toolkit::WindowPosition& position);
  void ApplyFont();
};

}  // namespace vn
