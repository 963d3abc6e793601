#include "components/win/edit.h"

#include <memory>
#include <string>
#include <string_view>

#include "core/dispatch.h"
#include "core/scheme_lock.h"

namespace vn {

namespace {
constexpr std::uint16_t kEnter = 13;
}  // namespace

TVNEdit::TVNEdit(toolkit::Window& parentWindow) : TVNWin(parentWindow) {}

TVNEdit::~TVNEdit() { *alive_ = false; }

void TVNEdit::doText(TData& data, std::uint16_t /*index*/) {
  SchemeChain chain;
  EnterPending = false;
  const RcString text = ReadString(data, Str, RcString());
  SetMirror(text.view());
  if (!toolkit::OnWindowThread() && !onChange.Connected()) {
    // Nothing in the scheme hears this change and varText answers from the
    // mirror, so the window thread may show it when it comes to it: a burst
    // of texts (the upload writes its running CRC for every byte) then costs
    // it one update instead of a wait per text.
    ShowMirrorLater();
    return;
  }
  toolkit::RunOnWindowThread([this] { ShowMirror(); });
}

void TVNEdit::varText(TData& data, std::uint16_t /*index*/) {
  SchemeChain chain;
  if (!GetText(data)) dtNull(data);
}

bool TVNEdit::ReadText(TData& data) {
  SchemeChain chain;
  std::string text;
  {
    std::lock_guard lock(mirrorMutex_);
    if (!mirrored_) return false;
    text = mirror_;
  }
  dtString(data, RcString(text));
  return true;
}

// Changes the field's text took without the component (typing, the Enter
// key's clearing) reach the mirror as soon as the window thread hears them.
void TVNEdit::TextChangedNow() {
  if (!settingText_ && HasControl()) SetMirror(Control->Text());
}

void TVNEdit::SetMirror(std::string_view text) {
  std::lock_guard lock(mirrorMutex_);
  mirror_ = text;
  mirrored_ = true;
}

// On the window thread: the field shows the mirror, the caret stays.
void TVNEdit::ShowMirror() {
  if (!HasControl()) return;
  std::string text;
  {
    std::lock_guard lock(mirrorMutex_);
    text = mirror_;
  }
  const std::int32_t caret = Control->Caret();
  settingText_ = true;
  Control->SetText(text);
  settingText_ = false;
  Control->SetCaret(caret);
}

void TVNEdit::ShowMirrorLater() {
  if (showPending_.exchange(true)) return;  // the queued update shows the latest text
  toolkit::PostToWindowThread([this, alive = alive_] {
    // Components are destroyed on the window thread, so this look is safe.
    if (!*alive) return;
    showPending_ = false;
    ShowMirror();
  });
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
  SetMirror(Text.view());
  ShowMirror();
}

}  // namespace vn
