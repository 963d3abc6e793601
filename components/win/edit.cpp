#include "components/win/edit.h"

#include <string>

#include "core/dispatch.h"
#include "core/scheme_lock.h"

namespace vn {

namespace {
constexpr std::uint16_t kEnter = 13;
}  // namespace

TVNEdit::TVNEdit(toolkit::Window& parentWindow) : TVNWin(parentWindow) {}

void TVNEdit::doText(TData& data, std::uint16_t /*index*/) {
  SchemeChain chain;
  EnterPending = false;
  const RcString text = ReadString(data, Str, RcString());
  toolkit::RunOnWindowThread([this, &text] {
    if (!HasControl()) return;
    const std::int32_t caret = Control->Caret();
    Control->SetText(text.view());
    Control->SetCaret(caret);
  });
}

void TVNEdit::varText(TData& data, std::uint16_t /*index*/) {
  SchemeChain chain;
  if (!GetText(data)) dtNull(data);
}

bool TVNEdit::ReadText(TData& data) {
  SchemeChain chain;
  bool read = false;
  std::string text;
  toolkit::RunOnWindowThread([this, &read, &text] {
    if (!HasControl()) return;
    text = Control->Text();
    read = true;
  });
  if (read) dtString(data, RcString(text));
  return read;
}

TTextGetter TVNEdit::OwnTextReader() {
  return [this](TData& data) { return ReadText(data); };
}

void TVNEdit::ChangeHandler() {
  TData text;
  if (ChangeArmed && GetText(text)) FireEvent(onChange, text);
  ChangeArmed = true;
}

void TVNEdit::KeyDown(std::uint16_t& key) {
  if (key != kEnter || !onEnter.Connected()) {
    TVNWin::KeyDown(key);
    return;
  }
  TData text;
  if (GetText(text)) {
    EnterPending = true;
    FireEvent(onEnter, text);
    if (EnterPending && HasControl()) {
      // The clearing is no change of the user's: it is not reported.
      ChangeArmed = false;
      Control->SetText("");
    }
  }
  key = 0;  // also swallows the Enter character
}

void TVNEdit::Init() {
  toolkit::Control::Options options;
  options.password = Password;
  options.readOnly = ReadOnly;
  Control = toolkit::Control::Create(toolkit::ControlKind::Edit, *ParentWindow, "", options);
  Control->SetAlignment(Alignment);
  TVNWin::Init();
  Control->SetText(Text.view());
}

}  // namespace vn
