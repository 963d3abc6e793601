#include "components/win/button.h"

#include "core/dispatch.h"

namespace vn {

namespace {
constexpr std::uint32_t kMultiline = 0x2000;  // BS_MULTILINE: long captions wrap
}  // namespace

TVNButton::TVNButton(toolkit::Window& parentWindow) : TVNWin(parentWindow) {}

void TVNButton::Init() {
  Control = toolkit::Control::Create(toolkit::ControlKind::Button, *ParentWindow, Caption.view(), {});
  AttachHandler(*Control);
  Control->SetDefault(Default);
  Control->SetStyle(Control->Style() | kMultiline);
  TVNWin::Init();
}

void TVNButton::ClickHandler() { FireEventCopy(onClick, Data); }

}  // namespace vn
