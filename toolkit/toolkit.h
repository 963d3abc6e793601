#pragma once

// The thin layer over the platform's windowing services that the window
// components sit on. Two backends implement it, chosen by CMake:
// toolkit_win32*.cpp (user32, gdi32, comctl32: the product) and
// toolkit_headless*.cpp (an in-memory screen for fast native tests).
//
// Every call is made on the window thread; components carry calls from
// other threads over with RunOnWindowThread. Texts are Windows-1251 bytes.

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/host_window.h"

namespace vn::toolkit {

// Non-negative: RGB with red in the low byte; negative (top byte 0xFF): the
// system colour whose index is the low byte.
using Color = std::int32_t;

struct Rect {
  std::int32_t left = 0;
  std::int32_t top = 0;
  std::int32_t right = 0;
  std::int32_t bottom = 0;
  std::int32_t Width() const { return right - left; }
  std::int32_t Height() const { return bottom - top; }
  friend bool operator==(const Rect&, const Rect&) = default;
};

// A font as the platform's logical font record describes it.
struct Font {
  std::string faceName;
  std::int32_t height = 0;  // negative: character height in pixels
  std::int32_t weight = 0;  // 700 and more is bold
  bool italic = false;
  bool underline = false;
  bool strikeOut = false;
  std::uint8_t charSet = 1;
  Color color = 0;  // text colour (not part of the platform's record)
  friend bool operator==(const Font&, const Font&) = default;
};

enum class Align : std::uint8_t { None = 0, Left = 1, Top = 2, Right = 3, Bottom = 4, Client = 5 };

enum class ControlKind : std::uint8_t { Label, Picture, Button, Edit, ComboBox, ProgressBar };

enum class MouseTracking : std::uint8_t { Leave, Hover };

// Mouse state of one mouse message: button 1 left, 2 right, 3 middle, 0 for
// moves and the wheel; `shift` is the message's key-and-button word (MK_
// bits, the signed wheel delta in the high 16 bits), plus 32 with Alt down.
struct MouseEvent {
  std::uint8_t button = 0;
  std::int32_t shift = 0;
  std::int16_t x = 0;
  std::int16_t y = 0;
};

// A window message as the component's message hook sees it. For
// window-position changing (0x46) `position` points at the proposed
// position, which the hook may change.
struct WindowPosition {
  std::int32_t x = 0;
  std::int32_t y = 0;
  std::int32_t width = 0;
  std::int32_t height = 0;
  std::uint32_t flags = 0;  // SWP_ bits; SWP_NOSIZE is 0x1
};
struct Message {
  std::uint32_t id = 0;
  std::uintptr_t wParam = 0;
  std::intptr_t lParam = 0;
  WindowPosition* position = nullptr;
};

namespace message {
inline constexpr std::uint32_t Move = 0x0003;
inline constexpr std::uint32_t Size = 0x0005;
inline constexpr std::uint32_t SetFocus = 0x0007;
inline constexpr std::uint32_t KillFocus = 0x0008;
inline constexpr std::uint32_t Close = 0x0010;
inline constexpr std::uint32_t WindowPosChanging = 0x0046;
inline constexpr std::uint32_t MouseFirst = 0x0200;
inline constexpr std::uint32_t MouseLast = 0x020A;
inline constexpr std::uint32_t MouseHover = 0x02A1;
inline constexpr std::uint32_t MouseLeave = 0x02A3;
}  // namespace message

class Canvas;

// What a window tells its component. Every notification arrives on the
// window thread; the defaults ignore it.
class Handler {
 public:
  virtual ~Handler() = default;
  // Sees every message first; true consumes it (the window's own handling
  // and the later notifications are skipped).
  virtual bool HandleMessage(Message& /*message*/) { return false; }
  virtual void MouseDown(const MouseEvent&) {}
  virtual void MouseMove(const MouseEvent&) {}
  virtual void MouseUp(const MouseEvent&) {}
  virtual void MouseWheel(const MouseEvent&) {}
  virtual void DoubleClick(const MouseEvent&) {}
  // Key handlers may change the code; a key-down changed to 0 swallows the
  // character that would follow it.
  virtual void KeyDown(std::uint16_t& /*key*/) {}
  virtual void KeyUp(std::uint16_t& /*key*/) {}
  virtual void KeyChar(char& /*character*/) {}
  virtual void Resized() {}
  virtual void Shown() {}  // a hidden window is being shown
  virtual void Destroyed() {}  // the toolkit destroyed the window by itself
  virtual void Clicked() {}
  virtual void TextChanged() {}
  virtual void SelectionChanged() {}  // combo box, after its edit field is updated
  virtual void Paint(Canvas& /*canvas*/) {}
};

class Bitmap;

// Drawing on a window during Paint.
class Canvas {
 public:
  virtual ~Canvas() = default;
  virtual void FillRect(const Rect& rect) = 0;  // with the window's background brush
  virtual void SetStretchMode(std::int32_t mode) = 0;  // 3 COLORONCOLOR, 4 HALFTONE
  virtual void StretchDraw(const Bitmap& bitmap, const Rect& target) = 0;  // SRCCOPY
};

// A picture: made from the program's bitmap resource.
class Bitmap {
 public:
  virtual ~Bitmap() = default;
  virtual std::int32_t Width() const = 0;
  virtual std::int32_t Height() const = 0;
};
std::unique_ptr<Bitmap> LoadBitmapResource(std::string_view name);

// An icon group resource of the program (none when it has no such icon).
struct Icon;
std::shared_ptr<Icon> LoadIconResource(std::string_view name);

// Common to forms and controls.
class Window : public HostWindow {
 public:
  virtual ~Window();
  Window(const Window&) = delete;
  Window& operator=(const Window&) = delete;

  void SetHandler(Handler* handler);

  void SetText(std::string_view text);
  std::string Text() const;
  void SetBounds(const Rect& bounds);  // in the parent's client area
  Rect Bounds() const;
  Rect ClientRect() const;
  void SetVisible(bool visible);
  bool Visible() const;
  void SetEnabled(bool enabled);
  bool Enabled() const;
  std::uint32_t Style() const;
  void SetStyle(std::uint32_t style);  // reapplies the frame
  std::uint32_t ExStyle() const;
  void SetExStyle(std::uint32_t exStyle);
  void SetColor(Color color);
  Color GetColor() const;
  void SetFont(const Font& font);
  Font GetFont() const;
  void SetCursor(std::int32_t cursor);  // 0: the class default
  void SetAlign(Align align);
  // Positive: a tab stop at that place; 0: the class's own; negative: none.
  void SetTabOrder(std::int32_t order);
  // Puts the window on top of its siblings, hidden, without moving it.
  void RaiseHidden();
  void SetMouseCapture(bool capture);
  // Asks for one notification: a leave the next time the pointer leaves
  // the window (at once, queued, when it is elsewhere already), or a hover
  // the next time it rests on the window.
  void TrackMouse(MouseTracking tracking);
  void Repaint();
  // The platform's handle (HWND on Windows), made on first demand.
  void* NativeHandle();
  bool Exists() const;  // false once the window has been destroyed
  void Destroy();

 protected:
  struct Impl;
  explicit Window(std::unique_ptr<Impl> impl);
  std::unique_ptr<Impl> impl_;
  friend class Control;
  friend class Form;
  friend class Application;
};

// A child control of one of the six kinds, placed on a form.
class Control : public Window {
 public:
  struct Options {
    bool password = false;     // edit
    bool readOnly = false;     // edit
    bool editable = false;     // combo box: an edit field (else a pure drop-down list)
    bool sorted = false;       // combo box
    bool vertical = false;     // progress bar
    bool smooth = false;       // progress bar
  };
  static std::unique_ptr<Control> Create(ControlKind kind, Window& parent, std::string_view text,
                                         const Options& options);
  ControlKind Kind() const;

  void SetTransparent(bool transparent);
  // Label and edit alignment: 0 left, 1 right, 2 centred.
  void SetAlignment(std::uint8_t alignment);
  // Label: fit the size to the text (now and after every text change).
  void SetAutoSize(bool autoSize);
  // Button: the form's default button (Enter presses it).
  void SetDefault(bool isDefault);

  // Edit caret.
  std::int32_t Caret() const;
  void SetCaret(std::int32_t position);

  // Combo box items; indexes from 0; none (or -1) for "no item".
  std::int32_t AddItem(std::string_view text);            // appends, never selects
  std::int32_t InsertItem(std::int32_t index, std::string_view text);
  std::int32_t ItemCount() const;
  std::string ItemText(std::int32_t index) const;
  void SetItemText(std::int32_t index, std::string_view text);  // keeps data and selection
  void SetItemData(std::int32_t index, std::int32_t data);
  std::int32_t ItemData(std::int32_t index) const;  // -1 for no such item
  void ClearItems();
  std::int32_t Selected() const;
  void Select(std::int32_t index);  // out of range: nothing selected
  void BeginRebuild(std::int32_t sizeHint);  // stop redrawing, remove all items
  void EndRebuild();

  // Progress bar.
  void SetRange(std::int32_t low, std::int32_t high);
  void SetPosition(std::int32_t position);  // clamped to the range
  std::int32_t Position() const;
  void SetBarColor(Color color);

 private:
  using Window::Window;
};

// A top-level window. The first form made after the application window is
// the main form: when it accepts a close (its handler does not consume the
// close message), the toolkit destroys the application window, which
// destroys every form and control with it (each handler hears Destroyed),
// and ends the message loop.
class Form : public Window {
 public:
  static std::unique_ptr<Form> Create(std::string_view text);
  void SetIcon(const std::shared_ptr<Icon>& icon);
  // Spacing kept around aligned children.
  void SetAlignSpacing(std::int32_t spacing);
  // Sends the close message; `byScheme` is its parameter (1: asked by the
  // program itself, so the form's keep-open rule is not consulted).
  void RequestClose(bool byScheme);
  // Lets the user move the window by dragging (the caption's system command).
  void StartDrag();

 private:
  using Window::Window;
};

// The process-wide part: common controls, the application window, the
// message loop.
class Application {
 public:
  // Common controls start-up, once before any window.
  static void InitCommonControls();
  // The application window, made on first demand; it stands for the program
  // on the taskbar.
  static Form& MainWindow();
  static bool HasMainWindow();
  // Runs the message loop until the main form has closed.
  static void Run();
  // The main form accepted a close: close the application window and end
  // the loop.
  static void CloseMainForm();
  // 1, 2 for the Windows 95 family, 3 NT 4 or older, 4 for 5.0, 5 for later
  // 5.x, 6 for 6 and newer, 0 otherwise (headless: 6).
  static int VersionClass();
  // Vertical pixels per inch of the screen.
  static int ScreenDpi();
  // A modal message box with one OK button.
  static void ShowMessage(std::string_view text, std::string_view caption, Window* owner);
};

// A tooltip of its own for one control (the hint manager's tool).
class Tooltip {
 public:
  struct Style {
    Font font;  // its colour is the text colour
    Color background = 0;
    std::int32_t initialDelayMs = 500;
    std::int32_t autoPopDelayMs = 5000;
    std::int32_t margin = 0;
  };
  static std::unique_ptr<Tooltip> Create(Window& control, const Style& style);
  virtual ~Tooltip() = default;
  virtual void SetText(std::string_view text) = 0;
  virtual std::string Text() const = 0;
};

// Runs `work` on the window thread and returns once it has run: at once when
// called there, otherwise handed over and waited for. The waiting thread's
// hold on the scheme lock goes with the work, so notifications that the work
// causes on the window thread (a text change, say) run as part of the
// caller's chain. The window thread answers such requests whenever it waits
// (in its message loop, in a modal loop, and while it waits for the scheme
// lock), so the hand-over cannot deadlock.
void RunOnWindowThread(const std::function<void()>& work);
bool OnWindowThread();

// Queues `work` for the window thread's message loop and returns at once
// (on the window thread, or with no window thread, it runs at once). For
// updates of the screen that nothing in the program waits for.
void PostToWindowThread(std::function<void()> work);

}  // namespace vn::toolkit
