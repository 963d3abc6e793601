// How window messages reach a window's Handler. Every window of ours runs
// through Route: our own window classes directly, system controls through a
// subclass procedure put in front of the class's own. The handler's message
// hook sees each message first; then the messages that the Handler names
// become its notifications, and the rest go to the class's procedure.
#include <atomic>

#include "toolkit/toolkit_win32_internal.h"

namespace vn::toolkit::win32 {
namespace {

// Window properties, not the user-data slot: some window classes use that
// slot themselves, and a property cannot be mistaken for ours.
constexpr wchar_t kStateProperty[] = L"VnToolkitWindowState";
constexpr wchar_t kOriginalProperty[] = L"VnToolkitOriginalProcedure";

WNDPROC OriginalOf(HWND window) {
  const auto value = reinterpret_cast<std::uintptr_t>(::GetPropW(window, kOriginalProperty));
  return reinterpret_cast<WNDPROC>(value);
}

void Detach(HWND window) {
  WindowState* state = StateOf(window);
  ::RemovePropW(window, kStateProperty);
  ::RemovePropW(window, kOriginalProperty);
  if (state != nullptr && state->Hwnd() == window) state->window.Release();
}

std::int16_t LowSigned(LPARAM value) { return static_cast<std::int16_t>(static_cast<std::uint16_t>(value & 0xFFFF)); }
std::int16_t HighSigned(LPARAM value) {
  return static_cast<std::int16_t>(static_cast<std::uint16_t>((value >> 16) & 0xFFFF));
}

std::uint8_t ButtonOf(UINT message) {
  switch (message) {
    case WM_LBUTTONDOWN:
    case WM_LBUTTONUP:
    case WM_LBUTTONDBLCLK:
      return 1;
    case WM_RBUTTONDOWN:
    case WM_RBUTTONUP:
    case WM_RBUTTONDBLCLK:
      return 2;
    case WM_MBUTTONDOWN:
    case WM_MBUTTONUP:
    case WM_MBUTTONDBLCLK:
      return 3;
    default:
      return 0;
  }
}

MouseEvent MouseEventOf(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  MouseEvent event;
  event.button = ButtonOf(message);
  // The key-and-button word; for the wheel its high half is the delta.
  auto shift = static_cast<std::uint32_t>(wParam & 0xFFFFFFFFu);
  if (::GetKeyState(VK_MENU) < 0) shift += 32;
  event.shift = static_cast<std::int32_t>(shift);
  POINT point{LowSigned(lParam), HighSigned(lParam)};
  if (message == WM_MOUSEWHEEL) ::ScreenToClient(window, &point);  // the wheel reports screen positions
  event.x = static_cast<std::int16_t>(point.x);
  event.y = static_cast<std::int16_t>(point.y);
  return event;
}

bool KeyHeld(int key) { return ::GetKeyState(key) < 0; }

// A child's notification, as its parent receives it.
void TellChildCommand(WindowState& child, WORD code) {
  if (child.role != Role::Control) return;
  switch (child.kind) {
    case ControlKind::Button:
    case ControlKind::Label:
    case ControlKind::Picture:
      if (code == BN_CLICKED && child.handler != nullptr) child.handler->Clicked();  // STN_CLICKED is 0 too
      break;
    case ControlKind::Edit:
      if (code == EN_CHANGE && child.handler != nullptr) child.handler->TextChanged();
      break;
    case ControlKind::ComboBox:
      // The combo box updates its edit field only after this notification;
      // the selection is reported once that is done.
      if (code == CBN_SELCHANGE) ::PostMessageW(child.Hwnd(), kSelectionChangedMessage, 0, 0);
      break;
    case ControlKind::ProgressBar:
      break;
  }
}

class Router {
 public:
  Router(WindowState& state, HWND window, WNDPROC original)
      : state_(state), alive_(state.alive), window_(window), original_(original) {}

  LRESULT Route(UINT message, WPARAM wParam, LPARAM lParam) {
    if (state_.handler != nullptr) {
      bool consumed = false;
      if (!Hook(message, wParam, lParam, consumed)) return 0;
      if (consumed) return 0;
    }
    return Handle(message, wParam, lParam);
  }

 private:
  // False when the window or its state went away during the call.
  bool Lives() const { return *alive_ && ::IsWindow(window_); }

  template <typename Call>
  bool Tell(Call call) {
    if (state_.handler != nullptr) call(*state_.handler);
    return Lives();
  }

  LRESULT Default(UINT message, WPARAM wParam, LPARAM lParam) {
    return ::CallWindowProcW(original_, window_, message, wParam, lParam);
  }

  bool Hook(UINT message, WPARAM wParam, LPARAM lParam, bool& consumed) {
    Message hooked{message, wParam, lParam, nullptr};
    WindowPosition position;
    auto* native = message == WM_WINDOWPOSCHANGING && lParam != 0 ? reinterpret_cast<WINDOWPOS*>(lParam) : nullptr;
    if (native != nullptr) {
      position = {native->x, native->y, native->cx, native->cy, native->flags};
      hooked.position = &position;
    }
    consumed = state_.handler->HandleMessage(hooked);
    if (!Lives()) return false;
    if (native != nullptr) {
      native->x = position.x;
      native->y = position.y;
      native->cx = position.width;
      native->cy = position.height;
      native->flags = position.flags;
    }
    return true;
  }

  // A message's own handling answers, or leaves the message (with a word
  // parameter it may have changed) to the class's procedure.
  using Answer = std::optional<LRESULT>;
  using Step = Answer (Router::*)(UINT message, WPARAM& wParam, LPARAM lParam);
  struct Entry {
    UINT message;
    Step step;
  };
  static const Entry kSteps[];

  LRESULT Handle(UINT message, WPARAM wParam, LPARAM lParam);

  template <void (Handler::*Notify)(const MouseEvent&)>
  Answer Mouse(UINT message, WPARAM& wParam, LPARAM lParam) {
    const MouseEvent event = MouseEventOf(window_, message, wParam, lParam);
    if (!Tell([&](Handler& h) { (h.*Notify)(event); })) return 0;
    return std::nullopt;
  }

  Answer KeyUp(UINT /*message*/, WPARAM& wParam, LPARAM /*lParam*/) {
    auto key = static_cast<std::uint16_t>(wParam);
    if (!Tell([&](Handler& h) { h.KeyUp(key); })) return 0;
    if (key == 0) return 0;
    wParam = key;
    return std::nullopt;
  }

  Answer Size(UINT message, WPARAM& wParam, LPARAM lParam) {
    const LRESULT result = Default(message, wParam, lParam);
    if (!Lives()) return result;
    // The forms hidden when the application window was minimized come
    // back with it, however it was restored (its taskbar button, say).
    if (state_.role == Role::Application && wParam != SIZE_MINIMIZED) ::ShowOwnedPopups(window_, TRUE);
    LayoutChildren(state_);
    Tell([](Handler& h) { h.Resized(); });
    return result;
  }

  Answer Destroy(UINT /*message*/, WPARAM& /*wParam*/, LPARAM /*lParam*/) {
    if (!state_.destroyingItself && window_ == state_.Hwnd()) {
      if (state_.handler != nullptr) state_.handler->Destroyed();
      if (!*alive_) return 0;
    }
    return std::nullopt;
  }

  Answer Command(UINT /*message*/, WPARAM& wParam, LPARAM lParam) {
    if (lParam == 0) return std::nullopt;
    const HWND childWindow = reinterpret_cast<HWND>(lParam);
    WindowState* child = StateOf(childWindow);
    if (child != nullptr && child != &state_ && ::GetParent(childWindow) == window_) {
      TellChildCommand(*child, HIWORD(wParam));
      if (!Lives()) return 0;
    }
    return std::nullopt;
  }

  Answer SelectionChanged(UINT /*message*/, WPARAM& /*wParam*/, LPARAM /*lParam*/) {
    if (state_.role != Role::Control || state_.kind != ControlKind::ComboBox) return std::nullopt;
    Tell([](Handler& h) { h.SelectionChanged(); });
    return 0;
  }

  Answer EraseBackground(UINT /*message*/, WPARAM& wParam, LPARAM /*lParam*/) {
    if (state_.role == Role::Control) return std::nullopt;
    win32::EraseBackground(state_, reinterpret_cast<HDC>(wParam));
    return 1;
  }

  Answer Paint(UINT /*message*/, WPARAM& /*wParam*/, LPARAM /*lParam*/) {
    if (state_.role == Role::Control && state_.kind == ControlKind::Picture && window_ == state_.Hwnd() &&
        PaintWithHandler(state_)) {
      return 0;
    }
    return std::nullopt;
  }

  Answer SetCursor(UINT /*message*/, WPARAM& wParam, LPARAM lParam) {
    if (state_.cursor == nullptr || reinterpret_cast<HWND>(wParam) != window_ || LOWORD(lParam) != HTCLIENT) {
      return std::nullopt;
    }
    ::SetCursor(state_.cursor);
    return TRUE;
  }

  Answer SetFocus(UINT message, WPARAM& wParam, LPARAM lParam) {
    if (state_.role == Role::Control) {
      RememberFocus(state_);
    } else if (state_.role == Role::Form) {
      const LRESULT result = Default(message, wParam, lParam);
      if (Lives()) RestoreFocus(state_);
      return result;
    }
    return std::nullopt;
  }

  Answer Close(UINT /*message*/, WPARAM& /*wParam*/, LPARAM /*lParam*/) {
    if (state_.role == Role::Form && IsMainForm(window_)) {
      CloseApplicationWindow();
      return 0;
    }
    if (state_.role == Role::Application) {
      OnApplicationCloseRequest();
      return 0;
    }
    return std::nullopt;
  }

  Answer EndSession(UINT /*message*/, WPARAM& wParam, LPARAM /*lParam*/) {
    if (state_.role != Role::Control && wParam != 0) OnEndSession();
    return std::nullopt;
  }

  Answer SystemCommand(UINT /*message*/, WPARAM& wParam, LPARAM /*lParam*/) {
    if (state_.role == Role::Form && (wParam & 0xFFF0) == SC_MINIMIZE && MinimizeApplication()) return 0;
    return std::nullopt;
  }

  Answer Activate(UINT /*message*/, WPARAM& wParam, LPARAM /*lParam*/) {
    if (state_.role == Role::Application && LOWORD(wParam) != WA_INACTIVE) {
      // Activation changes are not made from inside WM_ACTIVATE.
      ::PostMessageW(window_, kActivateMainFormMessage, 0, 0);
    }
    return std::nullopt;
  }

  Answer ActivateMainForm(UINT /*message*/, WPARAM& /*wParam*/, LPARAM /*lParam*/) {
    if (state_.role != Role::Application) return std::nullopt;
    win32::ActivateMainForm();
    return 0;
  }

  Answer KeyDown(UINT message, WPARAM& wParam, LPARAM lParam) {
    auto key = static_cast<std::uint16_t>(wParam);
    if (!Tell([&](Handler& h) { h.KeyDown(key); })) return 0;
    // A key taken away also takes the character that the message loop has
    // already made from it.
    state_.swallowChar = key == 0;
    if (key == 0) return 0;
    if (message == WM_KEYDOWN && key == VK_TAB && !KeyHeld(VK_CONTROL) && !KeyHeld(VK_MENU)) {
      if (MoveFocusByTab(state_, ::GetAsyncKeyState(VK_SHIFT) < 0)) {
        if (*alive_) state_.swallowChar = true;
        return 0;
      }
      if (!Lives()) return 0;
    }
    if (message == WM_KEYDOWN && key == VK_RETURN) {
      if (PressDefaultButton(state_)) {
        if (*alive_) state_.swallowChar = true;
        return 0;
      }
      if (!Lives()) return 0;
    }
    return Default(message, key, lParam);
  }

  // Shown is for the program's own showing of a hidden window; an owner
  // coming back from its minimized state shows its forms again through a
  // show message of its own (and the ShowWindow that this one makes).
  Answer ShowWindow(UINT message, WPARAM& wParam, LPARAM lParam) {
    if (lParam == SW_PARENTOPENING) {
      const bool outer = state_.ownerShowing;
      state_.ownerShowing = true;
      const LRESULT result = Default(message, wParam, lParam);
      if (*alive_) state_.ownerShowing = outer;
      return result;
    }
    if (wParam != 0 && lParam == 0 && !state_.ownerShowing &&
        (::GetWindowLongW(window_, GWL_STYLE) & WS_VISIBLE) == 0) {
      if (!Tell([](Handler& h) { h.Shown(); })) return 0;
    }
    return Default(message, wParam, lParam);
  }

  Answer Character(UINT message, WPARAM& wParam, LPARAM lParam) {
    if (state_.swallowChar) {
      state_.swallowChar = false;
      return 0;
    }
    if (state_.handler != nullptr) {
      const auto wide = static_cast<wchar_t>(wParam);
      char character = WideCharToProgram(wide);
      const char before = character;
      if (!Tell([&](Handler& h) { h.KeyChar(character); })) return 0;
      // An unchanged character goes on as it came, also when the program's
      // code page has no letter for it.
      if (character != before) wParam = static_cast<WPARAM>(ProgramCharToWide(character));
    }
    return Default(message, wParam, lParam);
  }

  Answer ColorMessage(UINT message, WPARAM& wParam, LPARAM lParam) {
    const HWND from = reinterpret_cast<HWND>(lParam);
    const HDC dc = reinterpret_cast<HDC>(wParam);
    WindowState* child = StateOf(from);
    if (child != nullptr && child != &state_) return AnswerColorMessage(*child, dc, message);
    // A combo box's own edit field and list ask the combo box.
    if (child == nullptr && state_.role == Role::Control && state_.kind == ControlKind::ComboBox) {
      return AnswerColorMessage(state_, dc, message);
    }
    return std::nullopt;
  }

  bool MinimizeApplication() {
    WindowState* application = ApplicationState();
    if (application == nullptr || application->Hwnd() == nullptr) return false;
    if ((::GetWindowLongW(application->Hwnd(), GWL_STYLE) & WS_VISIBLE) == 0) return false;
    // The forms go with the application window, whose taskbar button
    // stands for the program.
    ::ShowOwnedPopups(application->Hwnd(), FALSE);
    ::ShowWindow(application->Hwnd(), SW_MINIMIZE);
    return true;
  }

  WindowState& state_;
  std::shared_ptr<bool> alive_;
  HWND window_;
  WNDPROC original_;
};

// Messages without an entry go to the class's procedure unchanged.
const Router::Entry Router::kSteps[] = {
    {WM_MOUSEMOVE, &Router::Mouse<&Handler::MouseMove>},
    {WM_LBUTTONDOWN, &Router::Mouse<&Handler::MouseDown>},
    {WM_RBUTTONDOWN, &Router::Mouse<&Handler::MouseDown>},
    {WM_MBUTTONDOWN, &Router::Mouse<&Handler::MouseDown>},
    {WM_LBUTTONUP, &Router::Mouse<&Handler::MouseUp>},
    {WM_RBUTTONUP, &Router::Mouse<&Handler::MouseUp>},
    {WM_MBUTTONUP, &Router::Mouse<&Handler::MouseUp>},
    {WM_LBUTTONDBLCLK, &Router::Mouse<&Handler::DoubleClick>},
    {WM_RBUTTONDBLCLK, &Router::Mouse<&Handler::DoubleClick>},
    {WM_MBUTTONDBLCLK, &Router::Mouse<&Handler::DoubleClick>},
    {WM_MOUSEWHEEL, &Router::Mouse<&Handler::MouseWheel>},
    {WM_KEYDOWN, &Router::KeyDown},
    {WM_SYSKEYDOWN, &Router::KeyDown},
    {WM_KEYUP, &Router::KeyUp},
    {WM_SYSKEYUP, &Router::KeyUp},
    {WM_CHAR, &Router::Character},
    {WM_SYSCHAR, &Router::Character},
    {WM_SIZE, &Router::Size},
    {WM_SHOWWINDOW, &Router::ShowWindow},
    {WM_DESTROY, &Router::Destroy},
    {WM_COMMAND, &Router::Command},
    {kSelectionChangedMessage, &Router::SelectionChanged},
    {WM_CTLCOLORSTATIC, &Router::ColorMessage},
    {WM_CTLCOLOREDIT, &Router::ColorMessage},
    {WM_CTLCOLORLISTBOX, &Router::ColorMessage},
    {WM_CTLCOLORBTN, &Router::ColorMessage},
    {WM_ERASEBKGND, &Router::EraseBackground},
    {WM_PAINT, &Router::Paint},
    {WM_SETCURSOR, &Router::SetCursor},
    {WM_SETFOCUS, &Router::SetFocus},
    {WM_CLOSE, &Router::Close},
    {WM_ENDSESSION, &Router::EndSession},
    {WM_SYSCOMMAND, &Router::SystemCommand},
    {WM_ACTIVATE, &Router::Activate},
    {kActivateMainFormMessage, &Router::ActivateMainForm},
};

LRESULT Router::Handle(UINT message, WPARAM wParam, LPARAM lParam) {
  for (const Entry& entry : kSteps) {
    if (entry.message != message) continue;
    if (const Answer answer = (this->*entry.step)(message, wParam, lParam)) return *answer;
    break;
  }
  return Default(message, wParam, lParam);
}

LRESULT CALLBACK SubclassProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  const WNDPROC original = OriginalOf(window);
  if (original == nullptr) return ::DefWindowProcW(window, message, wParam, lParam);
  if (message == WM_NCDESTROY) {
    Detach(window);
    return ::CallWindowProcW(original, window, message, wParam, lParam);
  }
  WindowState* state = StateOf(window);
  if (state == nullptr) return ::CallWindowProcW(original, window, message, wParam, lParam);
  return Router(*state, window, original).Route(message, wParam, lParam);
}

// The edit field inside an editable combo box: its keys and focus belong to
// the combo box (key notifications, Tab, Enter, the form's focus memory).
LRESULT CALLBACK InnerEditProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  const WNDPROC original = OriginalOf(window);
  if (original == nullptr) return ::DefWindowProcW(window, message, wParam, lParam);
  if (message == WM_NCDESTROY) {
    ::RemovePropW(window, kOriginalProperty);
    return ::CallWindowProcW(original, window, message, wParam, lParam);
  }
  switch (message) {
    case WM_KEYDOWN:
    case WM_KEYUP:
    case WM_CHAR:
    case WM_SYSKEYDOWN:
    case WM_SYSKEYUP:
    case WM_SYSCHAR:
    case WM_SETFOCUS: {
      WindowState* combo = StateOf(::GetParent(window));
      if (combo != nullptr && combo->innerEdit == window) {
        return Router(*combo, window, original).Route(message, wParam, lParam);
      }
      break;
    }
    default:
      break;
  }
  return ::CallWindowProcW(original, window, message, wParam, lParam);
}

}  // namespace

WindowState* StateOf(HWND window) {
  if (window == nullptr) return nullptr;
  return static_cast<WindowState*>(::GetPropW(window, kStateProperty));
}

std::uint64_t NextSerial() {
  static std::atomic<std::uint64_t> counter{0};
  return ++counter;
}

void AttachSubclass(WindowState& state, HWND window) {
  state.window.Adopt(window);
  const auto original = ::GetWindowLongPtrW(window, GWLP_WNDPROC);
  ::SetPropW(window, kOriginalProperty, reinterpret_cast<HANDLE>(original));
  ::SetPropW(window, kStateProperty, &state);
  state.original = reinterpret_cast<WNDPROC>(original);
  ::SetWindowLongPtrW(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&SubclassProcedure));
}

void AttachInnerEdit(WindowState& combo, HWND edit) {
  if (edit == nullptr) return;
  const auto original = ::GetWindowLongPtrW(edit, GWLP_WNDPROC);
  ::SetPropW(edit, kOriginalProperty, reinterpret_cast<HANDLE>(original));
  combo.innerEdit = edit;
  ::SetWindowLongPtrW(edit, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&InnerEditProcedure));
}

void ForgetState(WindowState& state) {
  const HWND window = state.Hwnd();
  if (window != nullptr && StateOf(window) == &state) ::RemovePropW(window, kStateProperty);
}

LRESULT CALLBACK OwnWindowProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_NCCREATE) {
    const auto* creation = reinterpret_cast<const CREATESTRUCTW*>(lParam);
    auto* state = static_cast<WindowState*>(creation->lpCreateParams);
    if (state != nullptr) {
      state->window.Release();  // a window of the same state that the system already destroyed
      state->window.Adopt(window);
      ::SetPropW(window, kOriginalProperty,
                 reinterpret_cast<HANDLE>(reinterpret_cast<std::uintptr_t>(&::DefWindowProcW)));
      ::SetPropW(window, kStateProperty, state);
    }
  }
  if (message == WM_NCDESTROY) {
    Detach(window);
    return ::DefWindowProcW(window, message, wParam, lParam);
  }
  WindowState* state = StateOf(window);
  if (state == nullptr) return ::DefWindowProcW(window, message, wParam, lParam);
  return Router(*state, window, ::DefWindowProcW).Route(message, wParam, lParam);
}

}  // namespace vn::toolkit::win32
