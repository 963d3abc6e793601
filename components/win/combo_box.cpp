#include "components/win/combo_box.h"

namespace vn {

TVNComboBox::TVNComboBox(toolkit::Window& parentWindow) : TVNLWinList(parentWindow) {}

void TVNComboBox::Init() {
  // Owner-drawn items (ManagerFlags bit 3) are not supported: the bit is
  // ignored and the items are drawn by the control.
  toolkit::Control::Options options;
  options.editable = Editable;
  options.sorted = Sorted;
  Control = toolkit::Control::Create(toolkit::ControlKind::ComboBox, *ParentWindow, "", options);
  TVNWin::Init();
  SetStrings(Strings.view());
  Control->SetText(Text.view());
}

}  // namespace vn
