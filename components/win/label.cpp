#include "components/win/label.h"

#include "core/dispatch.h"
#include "core/scheme_lock.h"

namespace vn {

namespace {
constexpr std::uint32_t kNoWordWrap = 0x0C;  // with left alignment: no word wrap
}  // namespace

TVNLabel::TVNLabel(toolkit::Window& parentWindow) : TVNWin(parentWindow) {
  Control = toolkit::Control::Create(toolkit::ControlKind::Label, parentWindow, "", {});
  AttachHandler(*Control);
}

void TVNLabel::SetAutoSize(bool autoSize) { Control->SetAutoSize(autoSize); }

void TVNLabel::SetAlignment(std::uint8_t alignment) {
  Control->SetAlignment(alignment);
  Control->SetStyle(Control->Style() & ~kNoWordWrap);
}

void TVNLabel::doText(TData& data, std::uint16_t /*index*/) {
  SchemeChain chain;
  const RcString text = ReadString(data, Text, RcString());
  toolkit::RunOnWindowThread([this, &text] {
    if (HasControl()) Control->SetText(text.view());
  });
}

void TVNLabel::MouseEnter() {
  TVNWin::MouseEnter();
  ShowHover(true);
}

void TVNLabel::MouseLeave() {
  TVNWin::MouseLeave();
  ShowHover(false);
}

void TVNLabel::ShowHover(bool hovering) {
  if (HoverColor == 0 && !HoverUnderline) return;
  toolkit::Font font = Control->GetFont();
  const toolkit::Font before = font;
  if (HoverColor != 0) font.color = hovering ? HoverColor : Font.Color;
  if (HoverUnderline) font.underline = hovering;
  // Every mouse message counts as an entry: set the font only on a change.
  if (!(font == before)) Control->SetFont(font);
}

void TVNLabel::Init() {
  TVNWin::Init();
  Control->SetText(Caption.view());
}

void TVNLabel::ClickHandler() { FireNull(onClick); }

}  // namespace vn
