#include "components/win/simple_win.h"

namespace vn {

TVNSimpleWin::TVNSimpleWin(toolkit::Window* parentWindow) : TWinCommon(parentWindow) {}

TVNSimpleWin::~TVNSimpleWin() {
  if (!Control) return;
  Control->SetHandler(nullptr);
  if (!WindowGone && Control->Exists()) {
    Control->SetVisible(false);
    Control->Destroy();
  }
  Control.reset();
}

void TVNSimpleWin::WindowDestroyed() { WindowGone = true; }

void TVNSimpleWin::Init() {
  if (!Control) return;
  toolkit::Form& window = *Control;
  InitFrame(window);
  window.SetEnabled(Enabled);
  window.SetCursor(Cursor);
  InitNavigation(window);
  window.SetVisible(Visible);
}

}  // namespace vn
