#include "components/win/progress_bar.h"

#include "core/dispatch.h"
#include "core/scheme_lock.h"

namespace vn {

TVNProgressBar::TVNProgressBar(toolkit::Window& parentWindow) : TVNWin(parentWindow) {}

void TVNProgressBar::doPosition(TData& data, std::uint16_t /*index*/) {
  SchemeChain chain;
  const std::int32_t position = ReadInteger(data, TPointLink{}, 0);
  toolkit::RunOnWindowThread([this, position] {
    if (!HasControl()) return;
    Control->SetPosition(position);
    Control->Repaint();
  });
}

void TVNProgressBar::Init() {
  toolkit::Control::Options options;
  options.vertical = Kind == 1;
  options.smooth = Smooth;
  Control = toolkit::Control::Create(toolkit::ControlKind::ProgressBar, *ParentWindow, "", options);
  Control->SetRange(0, Max);
  Control->SetBarColor(BarColor);
  Control->SetTransparent(false);
  if (Ctl3D == 1) Control->SetExStyle(0);
  TVNWin::Init();
}

}  // namespace vn
