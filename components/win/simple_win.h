#pragma once

#include <memory>

#include "components/win/win_common.h"
#include "toolkit/toolkit.h"

namespace vn {

// Base of a component that owns a top-level window. It installs no key
// handlers (its key events never fire) and applies neither font, hint,
// transparency nor border style to its window.
class TVNSimpleWin : public TWinCommon {
 public:
  explicit TVNSimpleWin(toolkit::Window* parentWindow);
  // Hides and frees the window unless the toolkit has already destroyed it.
  ~TVNSimpleWin() override;

  bool WindowGone = false;
  std::unique_ptr<toolkit::Form> Control;

  virtual void WindowDestroyed();
  void Init() override;

 protected:
  toolkit::Window* OwnWindow() const override { return Control.get(); }
  void Destroyed() override { WindowDestroyed(); }
};

}  // namespace vn
