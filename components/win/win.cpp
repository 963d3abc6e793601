#include "components/win/win.h"

#include <string>
#include <utility>

#include "core/conversions.h"
#include "core/dispatch.h"
#include "core/scheme_lock.h"

namespace vn {

namespace {

constexpr std::uint32_t kFlat = 0x8000;
constexpr std::uint32_t kNoSize = 0x1;  // SWP_NOSIZE

// Extended style for BorderStyle 1..4 (with Ctl3D 0).
bool BorderExStyle(std::uint8_t borderStyle, std::uint32_t& exStyle) {
  switch (borderStyle) {
    case 1: exStyle = 0; return true;
    case 2: exStyle = 0x20000; return true;  // static edge
    case 3: exStyle = 0x1; return true;      // dialog modal frame
    case 4: exStyle = 0x201; return true;    // client edge and dialog frame
    default: return false;
  }
}

// Reads a size correction: the point gets the proposed change and may
// answer another one; only an Integer answer counts.
std::int32_t CorrectedSize(const TPointLink& point, std::int32_t proposed, std::int32_t current) {
  if (proposed == current) return proposed;
  TData answer = IntegerData(static_cast<std::int32_t>(static_cast<std::uint32_t>(proposed) -
                                                       static_cast<std::uint32_t>(current)));
  ReadPoint(point, answer);
  return IsInteger(answer) ? SaturatingAdd(answer.IData, current) : proposed;
}

}  // namespace

TVNWin::TVNWin(toolkit::Window& parentWindow) : TWinCommon(&parentWindow) {}

TVNWin::~TVNWin() {
  if (Control) Control->SetHandler(nullptr);
  // The tooltip goes first: it belongs to the control's window.
  if (HintTool) {
    if (HintManager != nullptr) {
      HintManager->DestroyTool(std::move(HintTool));
    } else {
      HintTool.reset();
    }
  }
  if (Control && !ControlGone && Control->Exists()) {
    Control->SetVisible(false);
    Control->Destroy();
  }
  Control.reset();
}

void TVNWin::doVisible(TData& data, std::uint16_t /*index*/) {
  SchemeChain chain;
  const bool visible = ToBool(data);
  toolkit::RunOnWindowThread([this, visible] {
    if (HasControl()) Control->SetVisible(visible);
  });
}

void TVNWin::AttachHint(THintInterface* manager) {
  if (manager == nullptr && Hint.empty()) return;
  THintInterface* hints = manager != nullptr ? manager : TVNHintManager::Global();
  if (hints == nullptr || !Control) return;
  if (HintTool && HintManager != nullptr) HintManager->DestroyTool(std::move(HintTool));
  Control->NativeHandle();
  HintTool = hints->CreateTool(*Control);
  if (HintTool) hints->SetToolText(*HintTool, Hint.view());
  HintManager = hints;
}

void TVNWin::KeyChar(char& character) { FireString(onKeyPress, std::string(1, character)); }

void TVNWin::ControlDestroyed() { ControlGone = true; }

std::function<toolkit::Control*()> TVNWin::GetControlAccess() { return ControlAccess; }

void TVNWin::MouseMove(const toolkit::MouseEvent& event) {
  if (HintManager != nullptr && HintTool) HintManager->ToolMove(*HintTool, MouseX, MouseY);
  TWinCommon::MouseMove(event);
}

void TVNWin::MouseEnter() {
  if (HintManager != nullptr && HintTool) HintManager->ToolEnter(*HintTool);
  TWinCommon::MouseEnter();
}

void TVNWin::MouseLeave() {
  if (HintManager != nullptr && HintTool) HintManager->ToolLeave(*HintTool);
  TWinCommon::MouseLeave();
}

bool TVNWin::WindowMessage(toolkit::Message& message) {
  if (message.id == toolkit::message::WindowPosChanging && message.position != nullptr) {
    CorrectResize(*message.position);
  }
  return TWinCommon::WindowMessage(message);
}

void TVNWin::CorrectResize(toolkit::WindowPosition& position) {
  if ((position.flags & kNoSize) != 0 || !Control) return;
  const toolkit::Rect bounds = Control->Bounds();
  position.height = CorrectedSize(DeltaHeight, position.height, bounds.Height());
  position.width = CorrectedSize(DeltaWidth, position.width, bounds.Width());
}

void TVNWin::Init() {
  if (!Control) return;
  toolkit::Control& control = *Control;
  ControlAccess = [this] { return Control.get(); };
  InitFrame(control);
  control.SetTransparent(Transparent);
  control.SetEnabled(Enabled);
  control.SetCursor(Cursor);
  if (Flat) control.SetStyle(control.Style() | kFlat);
  ApplyFont();
  InitNavigation(control);
  control.NativeHandle();
  control.RaiseHidden();
  control.SetVisible(Visible);
  std::uint32_t exStyle = 0;
  if (Ctl3D == 0 && BorderExStyle(BorderStyle, exStyle)) control.SetExStyle(exStyle);
}

void TVNWin::ApplyFont() {
  if (ParentFont) {
    Control->SetFont(ParentWindow->GetFont());
    return;
  }
  toolkit::Font font = Control->GetFont();
  ApplyFontRec(font, Font);
  Control->SetFont(font);
}

void TVNWin::HandleKeyDown(std::uint16_t& key) {
  KeyResult = -1;
  KeyDown(key);
  if (KeyResult >= 0) {
    key = static_cast<std::uint16_t>(KeyResult);
  } else if (key == 0) {
    KeyResult = 0;
  }
}

void TVNWin::HandleKeyUp(std::uint16_t& key) {
  KeyResult = -1;
  KeyUp(key);
  if (KeyResult >= 0) key = static_cast<std::uint16_t>(KeyResult);
}

void TVNWin::HandleKeyChar(char& character) {
  if (KeyResult != 0) {
    KeyResult = -1;
    KeyChar(character);
  }
  if (KeyResult >= 0) character = static_cast<char>(KeyResult & 0xFF);
}

}  // namespace vn
