// Forms: top-level windows owned by the application window, and what a
// form does for its controls (docking, the Tab order, the default button,
// the focus it gives back when it is activated again).
#include <algorithm>

#include "toolkit/control_rules.h"
#include "toolkit/dock_layout.h"
#include "toolkit/toolkit_win32_internal.h"

namespace vn::toolkit {
namespace win32 {
namespace {

// A pop-up with caption, system menu, sizing frame, minimize and maximize
// boxes, created hidden; the form's border style replaces the frame bits
// later. Pop-ups because the system hides and shows again the pop-ups that
// a window owns when that is minimized and restored, and a form goes with
// the application window; pop-ups also keep no caption when asked for none.
constexpr DWORD kFormStyle = WS_POPUP | WS_OVERLAPPEDWINDOW;
constexpr int kFormLeft = 100;
constexpr int kFormTop = 100;
constexpr int kFormWidth = 400;
constexpr int kFormHeight = 300;

std::vector<WindowState*> ChildStates(HWND parent) {
  std::vector<WindowState*> children;
  if (parent == nullptr) return children;
  for (HWND child = ::GetWindow(parent, GW_CHILD); child != nullptr; child = ::GetWindow(child, GW_HWNDNEXT)) {
    if (WindowState* state = StateOf(child)) children.push_back(state);
  }
  return children;
}

bool IsPushButton(HWND window) {
  wchar_t className[16] = {};
  if (::GetClassNameW(window, className, 16) == 0 || ::lstrcmpiW(className, L"Button") != 0) return false;
  const auto type = static_cast<DWORD>(::GetWindowLongW(window, GWL_STYLE)) & BS_TYPEMASK;
  return type == BS_PUSHBUTTON || type == BS_DEFPUSHBUTTON;
}

WindowState* FormFor(WindowState& state) { return state.role == Role::Form ? &state : FormOf(state); }

// The tab stops of a form in Tab order.
std::vector<WindowState*> TabStops(const WindowState& form) {
  std::vector<WindowState*> stops;
  for (WindowState* child : ChildStates(form.Hwnd())) {
    const HWND window = child->Hwnd();
    if ((::GetWindowLongW(window, GWL_STYLE) & WS_TABSTOP) != 0 && ::IsWindowVisible(window) &&
        ::IsWindowEnabled(window)) {
      stops.push_back(child);
    }
  }
  std::stable_sort(stops.begin(), stops.end(), [](const WindowState* a, const WindowState* b) {
    return a->tabPlace != b->tabPlace ? a->tabPlace < b->tabPlace : a->serial < b->serial;
  });
  return stops;
}

}  // namespace

WindowState* FormOf(const WindowState& state) {
  if (state.Hwnd() == nullptr) return nullptr;
  WindowState* root = StateOf(::GetAncestor(state.Hwnd(), GA_ROOT));
  return root != nullptr && root->role == Role::Form ? root : nullptr;
}

Rect WindowBounds(HWND window) {
  if (window == nullptr) return {};
  RECT area{};
  ::GetWindowRect(window, &area);
  POINT corners[2] = {{area.left, area.top}, {area.right, area.bottom}};
  // Children are placed in their parent's client area, top-level windows on
  // the screen.
  if ((::GetWindowLongW(window, GWL_STYLE) & WS_CHILD) != 0)
    ::MapWindowPoints(nullptr, ::GetParent(window), corners, 2);
  return {corners[0].x, corners[0].y, corners[1].x, corners[1].y};
}

void PlaceWindow(WindowState& state, const Rect& bounds) {
  const HWND window = state.Hwnd();
  if (window == nullptr) return;
  const int width = std::max(Span(bounds.left, bounds.right), 0);
  int height = std::max(Span(bounds.top, bounds.bottom), 0);
  if (state.role == Role::Control && state.kind == ControlKind::ComboBox) {
    height = std::min(height, INT32_MAX - kDropDownListHeight) + kDropDownListHeight;
  }
  ::SetWindowPos(window, nullptr, bounds.left, bounds.top, width, height, SWP_NOZORDER | SWP_NOACTIVATE);
}

void LayoutChildren(WindowState& parent) {
  const HWND window = parent.Hwnd();
  if (window == nullptr || parent.layingOut) return;
  std::vector<WindowState*> docked;
  for (WindowState* child : ChildStates(window)) {
    if (child->align != Align::None && (::GetWindowLongW(child->Hwnd(), GWL_STYLE) & WS_VISIBLE) != 0) {
      docked.push_back(child);
    }
  }
  if (docked.empty()) return;
  std::stable_sort(docked.begin(), docked.end(),
                   [](const WindowState* a, const WindowState* b) { return a->serial < b->serial; });
  std::vector<rules::DockItem> items;
  std::vector<HWND> windows;
  items.reserve(docked.size());
  windows.reserve(docked.size());
  for (const WindowState* child : docked) {
    items.push_back({child->align, WindowBounds(child->Hwnd())});
    windows.push_back(child->Hwnd());
  }
  RECT client{};
  ::GetClientRect(window, &client);
  rules::DockLayout({client.left, client.top, client.right, client.bottom}, parent.alignSpacing, items);

  // Placing a child makes its handler hear of the new size, and a handler
  // may change the layout again (that waits for this round to finish) or
  // destroy windows (each child is looked up afresh by its handle).
  const std::shared_ptr<bool> alive = parent.alive;
  parent.layingOut = true;
  for (std::size_t i = 0; i < windows.size(); ++i) {
    if (WindowState* child = StateOf(windows[i])) PlaceWindow(*child, items[i].bounds);
    if (!*alive) return;
  }
  parent.layingOut = false;
}

void LayoutParentOf(const WindowState& child) {
  const HWND window = child.Hwnd();
  if (window == nullptr || (::GetWindowLongW(window, GWL_STYLE) & WS_CHILD) == 0) return;
  if (WindowState* parent = StateOf(::GetParent(window))) LayoutChildren(*parent);
}

void SetTabPlace(WindowState& control, std::int32_t order) {
  const HWND window = control.Hwnd();
  if (window == nullptr || order == 0) return;
  const auto style = static_cast<DWORD>(::GetWindowLongW(window, GWL_STYLE));
  if (order < 0) {
    ::SetWindowLongW(window, GWL_STYLE, static_cast<LONG>(style & ~static_cast<DWORD>(WS_TABSTOP)));
    return;
  }
  WindowState* parent = StateOf(::GetParent(window));
  std::vector<std::int32_t*> places;
  if (parent != nullptr) {
    for (WindowState* sibling : ChildStates(parent->Hwnd())) places.push_back(&sibling->tabPlace);
  }
  std::int32_t next = parent != nullptr ? parent->nextTabPlace : 1;
  next = rules::TakeTabPlace(places, control.tabPlace, order, next);
  if (parent != nullptr) parent->nextTabPlace = next;
  ::SetWindowLongW(window, GWL_STYLE, static_cast<LONG>(style | WS_TABSTOP));
}

bool MoveFocusByTab(WindowState& from, bool backwards) {
  WindowState* form = FormFor(from);
  if (form == nullptr) return false;
  const std::vector<WindowState*> stops = TabStops(*form);
  if (stops.empty()) return false;
  const HWND focus = ::GetFocus();
  const auto count = static_cast<std::ptrdiff_t>(stops.size());
  std::ptrdiff_t current = -1;
  for (std::ptrdiff_t i = 0; i < count; ++i) {
    const HWND stop = stops[static_cast<std::size_t>(i)]->Hwnd();
    if (focus != nullptr && (focus == stop || ::IsChild(stop, focus))) current = i;
  }
  const std::ptrdiff_t next = rules::NextTabStop(current, count, backwards);
  // Focus notifications may destroy windows: only handles are used after.
  const HWND target = stops[static_cast<std::size_t>(next)]->Hwnd();
  const bool edit = stops[static_cast<std::size_t>(next)]->kind == ControlKind::Edit;
  ::SetFocus(target);
  // As in dialogs: an edit field reached with Tab has its text selected.
  if (edit && ::IsWindow(target)) ::SendMessageW(target, EM_SETSEL, 0, -1);
  return true;
}

bool PressDefaultButton(WindowState& from) {
  WindowState* form = FormFor(from);
  if (form == nullptr || form->defaultButton == nullptr) return false;
  const HWND button = form->defaultButton;
  if (!::IsWindow(button) || !::IsWindowVisible(button) || !::IsWindowEnabled(button)) return false;
  const HWND focus = ::GetFocus();
  if (focus != nullptr && focus != button && IsPushButton(focus)) return false;
  // A space-bar press and release, given to the button's class directly so
  // that its handler does not hear a key the user did not type.
  const WindowState* buttonState = StateOf(button);
  const WNDPROC procedure = buttonState != nullptr ? buttonState->original : nullptr;
  if (procedure == nullptr) return false;
  ::CallWindowProcW(procedure, button, WM_KEYDOWN, VK_SPACE, 0x00390001);
  if (::IsWindow(button)) ::CallWindowProcW(procedure, button, WM_KEYUP, VK_SPACE, static_cast<LPARAM>(0xC0390001u));
  return true;
}

void RememberFocus(const WindowState& control) {
  if (WindowState* form = FormOf(control)) form->lastFocus = control.Hwnd();
}

void RestoreFocus(WindowState& form) {
  const HWND last = form.lastFocus;
  if (last != nullptr && ::IsWindow(last) && ::IsChild(form.Hwnd(), last) && ::IsWindowVisible(last) &&
      ::IsWindowEnabled(last)) {
    ::SetFocus(last);
  }
}

}  // namespace win32

std::unique_ptr<Form> Form::Create(std::string_view text) {
  Application::MainWindow();
  win32::WindowState* application = win32::ApplicationState();
  const HWND owner = application != nullptr ? application->Hwnd() : nullptr;
  auto impl = std::make_unique<Impl>(win32::Role::Form);
  const std::wstring wide = win32::ToWide(text);
  const HWND window =
      ::CreateWindowExW(0, win32::FormClassName(), wide.c_str(), win32::kFormStyle, win32::kFormLeft, win32::kFormTop,
                        win32::kFormWidth, win32::kFormHeight, owner, nullptr, ::GetModuleHandleW(nullptr), impl.get());
  if (window != nullptr && application != nullptr && application->mainForm == nullptr) {
    application->mainForm = window;
  }
  return std::unique_ptr<Form>(new Form(std::move(impl)));
}

void Form::SetIcon(const std::shared_ptr<Icon>& icon) {
  impl_->icon = icon;
  if (impl_->Hwnd() == nullptr) return;
  const HICON handle = icon != nullptr ? icon->handle : nullptr;
  ::SendMessageW(impl_->Hwnd(), WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(handle));
}

void Form::SetAlignSpacing(std::int32_t spacing) {
  impl_->alignSpacing = spacing;
  win32::LayoutChildren(*impl_);
}

void Form::RequestClose(bool byScheme) {
  if (impl_->Hwnd() != nullptr) ::SendMessageW(impl_->Hwnd(), WM_CLOSE, byScheme ? 1 : 0, 0);
}

void Form::StartDrag() {
  if (impl_->Hwnd() == nullptr) return;
  ::ReleaseCapture();
  // SC_MOVE with the caption's hit code: the system moves the window while
  // the button stays down.
  ::SendMessageW(impl_->Hwnd(), WM_SYSCOMMAND, 0xF012, 0);
}

}  // namespace vn::toolkit
