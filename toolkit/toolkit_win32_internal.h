#pragma once

// What the Win32 backend's files share: the state behind every toolkit
// window and the functions that work on it. Only toolkit_win32*.cpp and the
// backend's own tests include this.

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/win32_api.h"
#include "toolkit/toolkit.h"
#include "toolkit/toolkit_win32_handles.h"

#include <commctrl.h>

namespace vn::toolkit {
struct Icon {
  HICON handle = nullptr;  // shared by the module: never destroyed
};
}  // namespace vn::toolkit

namespace vn::toolkit::win32 {

enum class Role : std::uint8_t { Application, Form, Control };

// Messages of our own. WM_APP and above are left to programs by every
// window class, system controls included.
inline constexpr UINT kSelectionChangedMessage = WM_APP + 0x51;
inline constexpr UINT kActivateMainFormMessage = WM_APP + 0x52;
inline constexpr UINT kHandOverMessage = WM_APP + 0x53;
inline constexpr UINT kPostedWorkMessage = WM_APP + 0x54;

// The system colour 15 (button face) in the toolkit's colour notation.
inline constexpr Color kButtonFace = static_cast<Color>(0xFF00000Fu);

// Extra height that a drop-down combo box gets for its list: without a
// visual-styles manifest the list is only as tall as the window minus the
// field.
inline constexpr int kDropDownListHeight = 200;

// The state behind one toolkit window. The window procedure finds it through
// a property of the window (StateOf).
struct WindowState {
  explicit WindowState(Role role);
  WindowState(const WindowState&) = delete;
  WindowState& operator=(const WindowState&) = delete;
  ~WindowState();

  HWND Hwnd() const { return window.Get(); }
  HBRUSH Brush();  // made on first use from `color`

  Role role;
  ControlKind kind = ControlKind::Label;
  UniqueWindow window;
  WNDPROC original = ::DefWindowProcW;  // the class's own procedure
  Handler* handler = nullptr;
  // False once the state is gone; message handling holds a copy so that it
  // notices a handler that destroyed the window's owner.
  std::shared_ptr<bool> alive = std::make_shared<bool>(true);
  std::uint64_t serial = 0;  // creation order
  bool destroyingItself = false;
  bool swallowChar = false;
  bool ownerShowing = false;  // inside the show message of an owner's restore

  Color color = kButtonFace;
  bool colorSet = false;
  GdiObject brush;
  Font font;
  bool fontSet = false;
  GdiObject fontObject;
  bool transparent = false;
  HCURSOR cursor = nullptr;
  Align align = Align::None;
  std::int32_t tabPlace = 0;

  // Controls.
  bool autoSize = false;
  HWND innerEdit = nullptr;  // the edit field of an editable combo box

  // Forms and the application window.
  std::int32_t alignSpacing = 0;
  std::int32_t nextTabPlace = 1;
  int nextControlId = 100;
  HWND lastFocus = nullptr;
  HWND defaultButton = nullptr;
  HWND mainForm = nullptr;  // application window: the first form made after it
  bool layingOut = false;
  std::shared_ptr<Icon> icon;
};

// The distance from `from` to `to`, computed without overflow and brought
// into the 32-bit range (Rect::Width() overflows for extreme rectangles).
inline std::int32_t Span(std::int32_t from, std::int32_t to) {
  const std::int64_t span = std::int64_t{to} - from;
  return span > INT32_MAX ? INT32_MAX : span < INT32_MIN ? INT32_MIN : static_cast<std::int32_t>(span);
}

// Texts.
std::wstring ToWide(std::string_view text);
std::string FromWide(std::wstring_view text);
std::string WindowText(HWND window);
char WideCharToProgram(wchar_t character);
wchar_t ProgramCharToWide(char character);

// Colours and fonts.
COLORREF ResolveColor(Color color);
LOGFONTW ToLogFont(const Font& font);
Font FromLogFont(const LOGFONTW& font);
Font DefaultFont();

// Window classes, procedures and lookup.
void RegisterWindowClasses();
const wchar_t* ApplicationClassName();
const wchar_t* FormClassName();
WindowState* StateOf(HWND window);
void AttachSubclass(WindowState& state, HWND window);
void AttachInnerEdit(WindowState& combo, HWND edit);
// Cuts the window off a state that goes away while the window stays (it
// could not be destroyed from this thread).
void ForgetState(WindowState& state);
LRESULT CALLBACK OwnWindowProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
std::uint64_t NextSerial();

// The window thread (toolkit_win32_handover.cpp).
void RegisterWindowThread();

// Application window (toolkit_win32_app.cpp).
WindowState* ApplicationState();
bool IsMainForm(HWND form);
void CloseApplicationWindow();
void OnApplicationCloseRequest();
void OnEndSession();
void ActivateMainForm();

// Forms (toolkit_win32_forms.cpp).
WindowState* FormOf(const WindowState& state);
void LayoutChildren(WindowState& parent);
void LayoutParentOf(const WindowState& child);
bool MoveFocusByTab(WindowState& from, bool backwards);
bool PressDefaultButton(WindowState& from);
void RememberFocus(const WindowState& control);
void RestoreFocus(WindowState& form);
void PlaceWindow(WindowState& state, const Rect& bounds);
void SetTabPlace(WindowState& control, std::int32_t order);
Rect WindowBounds(HWND window);

// Controls (toolkit_win32_controls.cpp).
void FitLabelToText(WindowState& label);
void AfterTextChange(WindowState& state);

// Painting (toolkit_win32_drawing.cpp).
bool PaintWithHandler(WindowState& state);
void EraseBackground(WindowState& state, HDC dc);
std::optional<LRESULT> AnswerColorMessage(WindowState& child, HDC dc, UINT message);

// The version classes of Application::VersionClass: `platform` is the
// system's platform id (1 the Windows 95 family, 2 NT).
int ClassifyVersion(std::uint32_t platform, std::uint32_t major, std::uint32_t minor);

}  // namespace vn::toolkit::win32

namespace vn::toolkit {
struct Window::Impl : win32::WindowState {
  using WindowState::WindowState;
};
}  // namespace vn::toolkit
