// The operations that forms and controls share.
#include "toolkit/toolkit_win32_internal.h"

namespace vn::toolkit {
namespace win32 {

WindowState::WindowState(Role windowRole) : role(windowRole), serial(NextSerial()), font(DefaultFont()) {}

WindowState::~WindowState() {
  handler = nullptr;
  const HWND native = Hwnd();
  if (native != nullptr && ::IsWindow(native)) {
    destroyingItself = true;
    const HWND parent = (::GetWindowLongW(native, GWL_STYLE) & WS_CHILD) != 0 ? ::GetParent(native) : nullptr;
    if (::GetWindowThreadProcessId(native, nullptr) == ::GetCurrentThreadId()) {
      window.Reset();
      if (align != Align::None) {
        if (WindowState* parentState = StateOf(parent)) LayoutChildren(*parentState);
      }
    } else {
      // Only the window's own thread may destroy it; it must at least stop
      // finding this state.
      ForgetState(*this);
      window.Release();
    }
  }
  *alive = false;
}

HBRUSH WindowState::Brush() {
  if (!brush.Valid()) brush = GdiObject(::CreateSolidBrush(ResolveColor(color)));
  return static_cast<HBRUSH>(brush.Get());
}

}  // namespace win32

using win32::WindowState;

Window::Window(std::unique_ptr<Impl> impl) : impl_(std::move(impl)) {}

Window::~Window() = default;

void Window::SetHandler(Handler* handler) { impl_->handler = handler; }

void Window::SetText(std::string_view text) {
  const HWND window = impl_->Hwnd();
  if (window == nullptr) return;
  const std::wstring wide = win32::ToWide(text);
  ::SetWindowTextW(window, wide.c_str());
  win32::AfterTextChange(*impl_);
}

std::string Window::Text() const { return win32::WindowText(impl_->Hwnd()); }

void Window::SetBounds(const Rect& bounds) {
  if (impl_->Hwnd() == nullptr) return;
  win32::PlaceWindow(*impl_, bounds);
  if (impl_->align != Align::None) win32::LayoutParentOf(*impl_);
}

Rect Window::Bounds() const { return win32::WindowBounds(impl_->Hwnd()); }

Rect Window::ClientRect() const {
  RECT client{};
  if (impl_->Hwnd() != nullptr) ::GetClientRect(impl_->Hwnd(), &client);
  return {client.left, client.top, client.right, client.bottom};
}

void Window::SetVisible(bool visible) {
  const HWND window = impl_->Hwnd();
  if (window == nullptr) return;
  // The application window has no area of its own to activate.
  const int show = !visible ? SW_HIDE : impl_->role == win32::Role::Application ? SW_SHOWNA : SW_SHOW;
  ::ShowWindow(window, show);
  if (impl_->align != Align::None) win32::LayoutParentOf(*impl_);
}

bool Window::Visible() const {
  const HWND window = impl_->Hwnd();
  return window != nullptr && (::GetWindowLongW(window, GWL_STYLE) & WS_VISIBLE) != 0;
}

void Window::SetEnabled(bool enabled) {
  if (impl_->Hwnd() != nullptr) ::EnableWindow(impl_->Hwnd(), enabled ? TRUE : FALSE);
}

bool Window::Enabled() const { return impl_->Hwnd() != nullptr && ::IsWindowEnabled(impl_->Hwnd()); }

std::uint32_t Window::Style() const {
  return impl_->Hwnd() != nullptr ? static_cast<std::uint32_t>(::GetWindowLongW(impl_->Hwnd(), GWL_STYLE)) : 0;
}

namespace {

// A changed frame is drawn only after the window is told about it.
void ApplyLong(HWND window, int index, std::uint32_t value) {
  if (window == nullptr) return;
  if (static_cast<std::uint32_t>(::GetWindowLongW(window, index)) == value) return;
  ::SetWindowLongW(window, index, static_cast<LONG>(value));
  ::SetWindowPos(window, nullptr, 0, 0, 0, 0,
                 SWP_NOSIZE | SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_FRAMECHANGED);
  ::InvalidateRect(window, nullptr, TRUE);
}

}  // namespace

void Window::SetStyle(std::uint32_t style) { ApplyLong(impl_->Hwnd(), GWL_STYLE, style); }

std::uint32_t Window::ExStyle() const {
  return impl_->Hwnd() != nullptr ? static_cast<std::uint32_t>(::GetWindowLongW(impl_->Hwnd(), GWL_EXSTYLE)) : 0;
}

void Window::SetExStyle(std::uint32_t exStyle) { ApplyLong(impl_->Hwnd(), GWL_EXSTYLE, exStyle); }

void Window::SetColor(Color color) {
  impl_->color = color;
  impl_->colorSet = true;
  impl_->brush.Reset();
  const HWND window = impl_->Hwnd();
  if (window == nullptr) return;
  // The progress bar paints its background itself.
  if (impl_->role == win32::Role::Control && impl_->kind == ControlKind::ProgressBar) {
    ::SendMessageW(window, PBM_SETBKCOLOR, 0, static_cast<LPARAM>(win32::ResolveColor(color)));
  }
  ::InvalidateRect(window, nullptr, TRUE);
}

Color Window::GetColor() const { return impl_->color; }

void Window::SetFont(const Font& font) {
  const LOGFONTW record = win32::ToLogFont(font);
  win32::GdiObject made(::CreateFontIndirectW(&record));
  if (!made.Valid()) return;
  if (impl_->Hwnd() != nullptr) {
    ::SendMessageW(impl_->Hwnd(), WM_SETFONT, reinterpret_cast<WPARAM>(made.Get()), TRUE);
  }
  impl_->fontObject = std::move(made);  // the old font goes only now that the window no longer uses it
  impl_->font = font;
  impl_->fontSet = true;
  win32::FitLabelToText(*impl_);
}

Font Window::GetFont() const { return impl_->font; }

void Window::SetCursor(std::int32_t cursor) {
  // The system's own pointers go by their numbers (32512 the arrow, 32649
  // the hand, ...); any other value is a cursor handle of the program.
  if (cursor == 0) {
    impl_->cursor = nullptr;
  } else if (cursor >= 32512 && cursor <= 32767) {
    impl_->cursor = ::LoadCursorW(nullptr, MAKEINTRESOURCEW(cursor));
  } else {
    impl_->cursor = reinterpret_cast<HCURSOR>(static_cast<std::intptr_t>(cursor));
  }
}

void Window::SetAlign(Align align) {
  impl_->align = align;
  win32::LayoutParentOf(*impl_);
}

void Window::SetTabOrder(std::int32_t order) { win32::SetTabPlace(*impl_, order); }

void Window::RaiseHidden() {
  if (impl_->Hwnd() == nullptr) return;
  ::SetWindowPos(impl_->Hwnd(), HWND_TOP, 0, 0, 0, 0,
                 SWP_NOSIZE | SWP_NOMOVE | SWP_NOACTIVATE | SWP_HIDEWINDOW | SWP_NOOWNERZORDER);
}

void Window::SetMouseCapture(bool capture) {
  const HWND window = impl_->Hwnd();
  if (window == nullptr) return;
  if (capture) {
    ::ReleaseCapture();
    ::SetCapture(window);
  } else if (::GetCapture() == window) {
    ::ReleaseCapture();
  }
}

void Window::TrackMouse(MouseTracking tracking) {
  if (impl_->Hwnd() == nullptr) return;
  TRACKMOUSEEVENT request{};
  request.cbSize = sizeof(request);
  // Never both: a leave asked for while the pointer is away is posted at
  // once, so asking for one from the leave handler would never end.
  request.dwFlags = tracking == MouseTracking::Leave ? TME_LEAVE : TME_HOVER;
  request.hwndTrack = impl_->Hwnd();
  request.dwHoverTime = HOVER_DEFAULT;
  ::TrackMouseEvent(&request);
}

void Window::Repaint() {
  if (impl_->Hwnd() == nullptr) return;
  ::InvalidateRect(impl_->Hwnd(), nullptr, TRUE);
  ::UpdateWindow(impl_->Hwnd());
}

void* Window::NativeHandle() {
  if (impl_->role == win32::Role::Application && !Exists()) Application::MainWindow();
  return impl_->Hwnd();
}

bool Window::Exists() const { return impl_->Hwnd() != nullptr && ::IsWindow(impl_->Hwnd()); }

void Window::Destroy() {
  const HWND window = impl_->Hwnd();
  if (window == nullptr) return;
  const HWND parent = (::GetWindowLongW(window, GWL_STYLE) & WS_CHILD) != 0 ? ::GetParent(window) : nullptr;
  impl_->destroyingItself = true;
  impl_->window.Reset();
  if (impl_->align != Align::None) {
    if (WindowState* parentState = win32::StateOf(parent)) win32::LayoutChildren(*parentState);
  }
}

}  // namespace vn::toolkit
