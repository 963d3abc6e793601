#pragma once

// The headless screen seen from the chair in front of it: tests act as a
// user would (move and click the mouse, press keys, type, pick a combo item,
// press the close box) and read what the screen shows.
//
// Every call may be made on the window thread (component tests: it acts at
// once) or on another thread (whole-program tests: the action is posted to
// the window thread's message loop and the call returns once it has been
// handled; reading is handed over the same way). A call that the window
// thread does not answer within the time-out ends the program with a
// message instead of hanging.
//
// Actions answer whether the input reached a window: a user cannot reach a
// window that is not on the screen, or one that is disabled or sits on a
// disabled form.

#include <chrono>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "toolkit/toolkit.h"

namespace vn::toolkit::headless {

// Keys held while an action happens.
struct Modifiers {
  bool shift = false;
  bool control = false;
  bool alt = false;
};

enum class Button : std::uint8_t { Left = 1, Right = 2, Middle = 3 };

// One drawing call of a paint.
struct DrawCall {
  enum class Kind : std::uint8_t { FillRect, SetStretchMode, StretchDraw };
  Kind kind = Kind::FillRect;
  Rect rect;                      // FillRect: the area; StretchDraw: the target
  Color color = 0;                // FillRect: the window's background colour
  std::int32_t mode = 0;          // SetStretchMode
  std::int32_t bitmapWidth = 0;   // StretchDraw
  std::int32_t bitmapHeight = 0;  // StretchDraw
  friend bool operator==(const DrawCall&, const DrawCall&) = default;
};

// A message box the program showed.
struct ShownMessage {
  std::string text;
  std::string caption;
  std::string ownerText;  // empty without an owner
};

// Everything the screen knows of one window.
struct WindowView {
  bool known = false;   // a window object of this toolkit
  bool exists = false;  // not yet destroyed
  std::string text;     // as the program set it
  std::string shown;    // as it reads on the screen (a password edit shows '*')
  Rect bounds;
  bool visible = false;
  bool onScreen = false;
  bool enabled = false;
  bool focused = false;
  bool tabStop = false;
  std::uint32_t style = 0;
  std::uint32_t exStyle = 0;
  Color color = 0;
  Font font;
  std::int32_t cursor = 0;
  Align align = Align::None;
  bool transparent = false;
  bool autoSize = false;
  bool isDefault = false;
  std::uint8_t alignment = 0;
  std::int32_t caret = 0;
  std::vector<std::string> items;
  std::vector<std::int32_t> itemData;
  std::int32_t selected = -1;
  bool redrawing = true;
  std::int32_t rangeLow = 0;
  std::int32_t rangeHigh = 0;
  std::int32_t position = 0;
  Color barColor = 0;
  std::string iconName;  // empty without an icon
  std::int32_t alignSpacing = 0;
  bool captured = false;
  int repaints = 0;
  int dragStarts = 0;
  std::vector<std::string> tooltips;
};

// ---- The headless world ----

// Destroys every window without notifying anyone, forgets the application
// window, the main form, the shown messages and the window thread, and drops
// pending requests (their senders end the program). Call it on the window
// thread, or once the window thread has ended.
void Reset();
// Makes the calling thread the window thread, keeping every window: for
// reading the screen after the program's window thread has ended.
void TakeOverWindowThread();
// Waits until another thread has become the window thread (a program
// started on a thread of its own): until then the screen's state belongs to
// nobody and must not be read from here. False after `limit`.
bool WaitForWindowThread(std::chrono::milliseconds limit);
// How long a call from another thread waits for the window thread (60 s).
void SetTimeout(std::chrono::milliseconds timeout);
// Queues an action for the window thread's message loop; returns at once.
void Post(std::function<void()> action);
// On the window thread: answers hand-overs and runs posted actions until
// `done` holds (checked at least every few milliseconds); false when the
// time-out passed first.
bool ServeUntil(const std::function<bool()>& done);

// ---- Acting as the user (positions in the window's client area) ----

bool MouseMove(Window& window, std::int32_t x, std::int32_t y, Modifiers keys = {});
bool MouseDown(Window& window, Button button, std::int32_t x, std::int32_t y, Modifiers keys = {});
bool MouseUp(Window& window, Button button, std::int32_t x, std::int32_t y, Modifiers keys = {});
// The whole gesture: press, release, the second press (the double-click
// message), release.
bool DoubleClick(Window& window, Button button, std::int32_t x, std::int32_t y, Modifiers keys = {});
bool Wheel(Window& window, std::int16_t delta, std::int32_t x, std::int32_t y, Modifiers keys = {});
// Moves the pointer to the window's centre (when it is not over the window
// yet), presses and releases the button there.
bool Click(Window& window, Button button = Button::Left, Modifiers keys = {});
// The pointer leaves every window.
void MouseAway();
// The pointer rests where it is (hover time passes).
bool RestMouse();
// Gives the keyboard focus to a button, edit, combo box or form, as
// clicking into it would (without the mouse messages).
bool Focus(Window& window);
// Down, the character (for printable keys, Enter and Backspace), up; to the
// focused window, else to the main form.
bool PressKey(std::uint16_t key, Modifiers keys = {});
// Types each byte: ASCII letters, digits, space and CR as key presses (Shift
// for capitals), every other byte as a character only, as an input method
// delivers it.
bool Type(std::string_view text);
// Opens the combo box's list and picks the item.
bool Pick(Window& combo, std::int32_t index);
// The close box of a form's caption (of the application window: the main
// form's).
bool PressCloseBox(Window& form);

// ---- Reading the screen ----

WindowView View(const Window& window);
std::vector<Window*> Windows();  // every existing window, in creation order
// The first existing window whose text is exactly `text`.
Window* FindWindow(std::string_view text);
Window* Focused();
Form* MainForm();
// Paints the window now (the handler's Paint on a recording canvas).
std::vector<DrawCall> Paint(Window& window);
std::vector<ShownMessage> ShownMessages();

}  // namespace vn::toolkit::headless
