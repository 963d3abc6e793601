// The six kinds of child control and their own operations.
#include <algorithm>
#include <climits>

#include "toolkit/control_rules.h"
#include "toolkit/toolkit_win32_internal.h"

namespace vn::toolkit {
namespace win32 {
namespace {

HGDIOBJ FontObjectOf(const WindowState& state) {
  return state.fontObject.Valid() ? state.fontObject.Get() : ::GetStockObject(DEFAULT_GUI_FONT);
}

// Makes the native control of `state` and puts it behind our message
// routing.
void MakeNative(WindowState& state, HWND parent, const std::wstring& text, DWORD style, DWORD exStyle,
                const Rect& bounds, int id) {
  const std::wstring className = ToWide(rules::ClassOf(state.kind).className);
  int height = bounds.Height();
  if (state.kind == ControlKind::ComboBox) height += kDropDownListHeight;
  const HWND window = ::CreateWindowExW(
      exStyle, className.c_str(), text.c_str(), style, bounds.left, bounds.top, bounds.Width(), height, parent,
      reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), ::GetModuleHandleW(nullptr), nullptr);
  if (window == nullptr) return;
  AttachSubclass(state, window);
  ::SendMessageW(window, WM_SETFONT, reinterpret_cast<WPARAM>(FontObjectOf(state)), FALSE);
  switch (state.kind) {
    case ControlKind::Edit:
      ::SendMessageW(window, EM_SETLIMITTEXT, 0, 0);  // no limit but the system's
      break;
    case ControlKind::ComboBox:
      ::SendMessageW(window, CB_LIMITTEXT, 0, 0);
      if ((style & 3) == CBS_DROPDOWN) AttachInnerEdit(state, ::FindWindowExW(window, nullptr, L"Edit", nullptr));
      break;
    default:
      break;
  }
}

// Edit fields read their alignment only when they are made, so a new
// alignment needs a new native field in the old one's place.
void RemakeEdit(WindowState& state, DWORD style) {
  const HWND old = state.Hwnd();
  const HWND parent = ::GetParent(old);
  const int length = ::GetWindowTextLengthW(old);
  std::wstring text(static_cast<std::size_t>(std::max(length, 0)) + 1, L'\0');
  text.resize(static_cast<std::size_t>(std::max(::GetWindowTextW(old, text.data(), length + 1), 0)));
  const Rect bounds = WindowBounds(old);
  const auto exStyle = static_cast<DWORD>(::GetWindowLongW(old, GWL_EXSTYLE));
  const int id = ::GetDlgCtrlID(old);
  const HWND before = ::GetWindow(old, GW_HWNDPREV);
  const bool focused = ::GetFocus() == old;

  state.destroyingItself = true;
  state.window.Reset();
  state.destroyingItself = false;
  MakeNative(state, parent, text, style, exStyle, bounds, id);
  const HWND made = state.Hwnd();
  if (made == nullptr) return;
  ::SetWindowPos(made, before != nullptr ? before : HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
  if (WindowState* form = FormOf(state)) {
    if (form->lastFocus == old) form->lastFocus = made;
  }
  if (focused) ::SetFocus(made);
}

bool IsKind(const WindowState& state, ControlKind kind) {
  return state.role == Role::Control && state.kind == kind && state.Hwnd() != nullptr;
}

LRESULT Send(const WindowState& state, UINT message, WPARAM wParam = 0, LPARAM lParam = 0) {
  return ::SendMessageW(state.Hwnd(), message, wParam, lParam);
}

}  // namespace

void FitLabelToText(WindowState& label) {
  if (!label.autoSize || !IsKind(label, ControlKind::Label)) return;
  const HWND window = label.Hwnd();
  std::wstring text = ToWide(WindowText(window));
  // An italic text leans past its last letter.
  if (label.font.italic) text.push_back(L' ');
  RECT measured{};
  {
    WindowDc dc(window);
    if (dc.Get() == nullptr) return;
    Selection font(dc.Get(), FontObjectOf(label));
    // An empty text still has the height of a line.
    const std::wstring measuredText = text.empty() ? std::wstring(L" ") : text;
    ::DrawTextW(dc.Get(), measuredText.c_str(), static_cast<int>(std::min<std::size_t>(measuredText.size(), INT_MAX)),
                &measured, DT_CALCRECT | DT_NOPREFIX | DT_EXPANDTABS);
    if (text.empty()) measured.right = 0;
  }
  PlaceWindow(label, rules::FittedToText(WindowBounds(window), label.align, measured.right, measured.bottom));
  LayoutParentOf(label);
}

void AfterTextChange(WindowState& state) {
  FitLabelToText(state);
  const HWND window = state.Hwnd();
  if (!state.transparent || window == nullptr || (::GetWindowLongW(window, GWL_STYLE) & WS_CHILD) == 0) return;
  // A transparent control draws its new text over the old one unless the
  // parent first paints what lies beneath it.
  const HWND parent = ::GetParent(window);
  RECT area{};
  ::GetWindowRect(window, &area);
  POINT corners[2] = {{area.left, area.top}, {area.right, area.bottom}};
  ::MapWindowPoints(nullptr, parent, corners, 2);
  const RECT beneath{corners[0].x, corners[0].y, corners[1].x, corners[1].y};
  ::RedrawWindow(parent, &beneath, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN);
}

}  // namespace win32

using win32::IsKind;
using win32::Send;

std::unique_ptr<Control> Control::Create(ControlKind kind, Window& parent, std::string_view text,
                                         const Options& options) {
  // The progress bar's class comes from the common controls library.
  if (kind == ControlKind::ProgressBar) Application::InitCommonControls();
  win32::RegisterWindowThread();
  win32::WindowState& parentState = *parent.impl_;
  const HWND parentWindow = static_cast<HWND>(parent.NativeHandle());
  auto impl = std::make_unique<Impl>(win32::Role::Control);
  impl->kind = kind;
  impl->color = parentState.color;
  impl->tabPlace = parentState.nextTabPlace;
  if (parentState.nextTabPlace < INT32_MAX) ++parentState.nextTabPlace;
  const int id = parentState.nextControlId;
  if (parentState.nextControlId < 0xFFFF) ++parentState.nextControlId;
  const rules::ControlClass made = rules::ClassOf(kind);
  const std::wstring wide = kind == ControlKind::Picture ? std::wstring() : win32::ToWide(text);
  win32::MakeNative(*impl, parentWindow, wide, rules::CreationStyle(kind, options), 0, {0, 0, made.width, made.height},
                    id);
  return std::unique_ptr<Control>(new Control(std::move(impl)));
}

ControlKind Control::Kind() const { return impl_->kind; }

void Control::SetTransparent(bool transparent) {
  impl_->transparent = transparent;
  if (impl_->Hwnd() != nullptr) ::InvalidateRect(impl_->Hwnd(), nullptr, TRUE);
}

void Control::SetAlignment(std::uint8_t alignment) {
  const std::uint32_t style = Style();
  if (IsKind(*impl_, ControlKind::Label)) {
    SetStyle(rules::AlignedStyle(ControlKind::Label, style, alignment));
  } else if (IsKind(*impl_, ControlKind::Edit)) {
    const std::uint32_t wanted = rules::AlignedStyle(ControlKind::Edit, style, alignment);
    if (wanted != style) win32::RemakeEdit(*impl_, wanted);
  }
}

void Control::SetAutoSize(bool autoSize) {
  impl_->autoSize = autoSize;
  win32::FitLabelToText(*impl_);
}

void Control::SetDefault(bool isDefault) {
  if (!IsKind(*impl_, ControlKind::Button)) return;
  win32::WindowState* form = win32::FormOf(*impl_);
  if (form == nullptr) return;
  const HWND button = impl_->Hwnd();
  if (isDefault) {
    const HWND previous = form->defaultButton;
    if (previous != nullptr && previous != button && ::IsWindow(previous)) {
      ::SendMessageW(previous, BM_SETSTYLE, BS_PUSHBUTTON, TRUE);
    }
    form->defaultButton = button;
    Send(*impl_, BM_SETSTYLE, BS_DEFPUSHBUTTON, TRUE);  // the default button's thicker frame
  } else if (form->defaultButton == button) {
    form->defaultButton = nullptr;
    Send(*impl_, BM_SETSTYLE, BS_PUSHBUTTON, TRUE);
  }
}

std::int32_t Control::Caret() const {
  if (!IsKind(*impl_, ControlKind::Edit)) return 0;
  DWORD start = 0;
  DWORD end = 0;
  Send(*impl_, EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
  return static_cast<std::int32_t>(std::min<DWORD>(start, INT32_MAX));
}

void Control::SetCaret(std::int32_t position) {
  if (!IsKind(*impl_, ControlKind::Edit)) return;
  const auto at = static_cast<WPARAM>(std::max(position, 0));
  Send(*impl_, EM_SETSEL, at, static_cast<LPARAM>(at));
}

std::int32_t Control::AddItem(std::string_view text) {
  if (!IsKind(*impl_, ControlKind::ComboBox)) return -1;
  const std::wstring wide = win32::ToWide(text);
  const auto index = static_cast<std::int32_t>(Send(*impl_, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(wide.c_str())));
  return index < 0 ? -1 : index;
}

std::int32_t Control::InsertItem(std::int32_t index, std::string_view text) {
  if (!IsKind(*impl_, ControlKind::ComboBox)) return -1;
  const std::wstring wide = win32::ToWide(text);
  // An index past the end appends; -1 does too.
  const std::int32_t count = ItemCount();
  const WPARAM at = index < 0 || index > count ? static_cast<WPARAM>(-1) : static_cast<WPARAM>(index);
  const auto made =
      static_cast<std::int32_t>(Send(*impl_, CB_INSERTSTRING, at, reinterpret_cast<LPARAM>(wide.c_str())));
  return made < 0 ? -1 : made;
}

std::int32_t Control::ItemCount() const {
  if (!IsKind(*impl_, ControlKind::ComboBox)) return 0;
  return std::max(static_cast<std::int32_t>(Send(*impl_, CB_GETCOUNT)), 0);
}

std::string Control::ItemText(std::int32_t index) const {
  if (!IsKind(*impl_, ControlKind::ComboBox) || index < 0) return {};
  const auto length = static_cast<std::int32_t>(Send(*impl_, CB_GETLBTEXTLEN, static_cast<WPARAM>(index)));
  if (length <= 0) return {};
  std::wstring wide(static_cast<std::size_t>(length) + 1, L'\0');
  const auto copied = static_cast<std::int32_t>(
      Send(*impl_, CB_GETLBTEXT, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(wide.data())));
  wide.resize(static_cast<std::size_t>(std::clamp(copied, 0, length)));
  return win32::FromWide(wide);
}

void Control::SetItemText(std::int32_t index, std::string_view text) {
  if (!IsKind(*impl_, ControlKind::ComboBox) || index < 0 || index >= ItemCount()) return;
  const std::int32_t selected = Selected();
  const LRESULT data = Send(*impl_, CB_GETITEMDATA, static_cast<WPARAM>(index));
  Send(*impl_, CB_DELETESTRING, static_cast<WPARAM>(index));
  const std::wstring wide = win32::ToWide(text);
  const LRESULT made =
      Send(*impl_, CB_INSERTSTRING, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(wide.c_str()));
  if (made >= 0) Send(*impl_, CB_SETITEMDATA, static_cast<WPARAM>(made), data);
  Send(*impl_, CB_SETCURSEL, static_cast<WPARAM>(selected));
}

void Control::SetItemData(std::int32_t index, std::int32_t data) {
  if (!IsKind(*impl_, ControlKind::ComboBox) || index < 0) return;
  Send(*impl_, CB_SETITEMDATA, static_cast<WPARAM>(index), static_cast<LPARAM>(data));
}

std::int32_t Control::ItemData(std::int32_t index) const {
  if (!IsKind(*impl_, ControlKind::ComboBox) || index < 0 || index >= ItemCount()) return -1;
  return static_cast<std::int32_t>(Send(*impl_, CB_GETITEMDATA, static_cast<WPARAM>(index)));
}

void Control::ClearItems() {
  if (IsKind(*impl_, ControlKind::ComboBox)) Send(*impl_, CB_RESETCONTENT);
}

std::int32_t Control::Selected() const {
  if (!IsKind(*impl_, ControlKind::ComboBox)) return -1;
  const auto index = static_cast<std::int32_t>(Send(*impl_, CB_GETCURSEL));
  return index < 0 ? -1 : index;
}

void Control::Select(std::int32_t index) {
  if (!IsKind(*impl_, ControlKind::ComboBox)) return;
  const bool valid = index >= 0 && index < ItemCount();
  Send(*impl_, CB_SETCURSEL, valid ? static_cast<WPARAM>(index) : static_cast<WPARAM>(-1));
}

void Control::BeginRebuild(std::int32_t sizeHint) {
  if (!IsKind(*impl_, ControlKind::ComboBox)) return;
  Send(*impl_, WM_SETREDRAW, FALSE);
  Send(*impl_, CB_RESETCONTENT);
  Send(*impl_, CB_INITSTORAGE, 0, static_cast<LPARAM>(std::max(sizeHint, 0)));
}

void Control::EndRebuild() {
  if (!IsKind(*impl_, ControlKind::ComboBox)) return;
  Send(*impl_, WM_SETREDRAW, TRUE);
  ::InvalidateRect(impl_->Hwnd(), nullptr, FALSE);
}

void Control::SetRange(std::int32_t low, std::int32_t high) {
  if (IsKind(*impl_, ControlKind::ProgressBar)) Send(*impl_, PBM_SETRANGE32, static_cast<WPARAM>(low), high);
}

void Control::SetPosition(std::int32_t position) {
  if (!IsKind(*impl_, ControlKind::ProgressBar)) return;
  // Older versions of the control take positions outside the range as
  // they come.
  PBRANGE range{};
  Send(*impl_, PBM_GETRANGE, TRUE, reinterpret_cast<LPARAM>(&range));
  if (range.iLow <= range.iHigh) position = std::clamp(position, range.iLow, range.iHigh);
  Send(*impl_, PBM_SETPOS, static_cast<WPARAM>(position));
}

std::int32_t Control::Position() const {
  if (!IsKind(*impl_, ControlKind::ProgressBar)) return 0;
  return static_cast<std::int32_t>(Send(*impl_, PBM_GETPOS));
}

void Control::SetBarColor(Color color) {
  if (IsKind(*impl_, ControlKind::ProgressBar)) {
    Send(*impl_, PBM_SETBARCOLOR, 0, static_cast<LPARAM>(win32::ResolveColor(color)));
  }
}

}  // namespace vn::toolkit
