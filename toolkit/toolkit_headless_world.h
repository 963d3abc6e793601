#pragma once

// The in-memory screen behind the headless backend: every window is a node
// in one tree owned by the window thread. Only the window thread touches it;
// other threads reach it through the hand-over (toolkit_headless_handover).

#include <chrono>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "toolkit/headless_screen.h"
#include "toolkit/toolkit.h"

namespace vn::toolkit {

struct Icon {
  std::string name;
};

}  // namespace vn::toolkit

namespace vn::toolkit::headless::detail {

namespace style {
inline constexpr std::uint32_t Visible = 0x10000000;   // WS_VISIBLE
inline constexpr std::uint32_t Disabled = 0x08000000;  // WS_DISABLED
inline constexpr std::uint32_t TabStop = 0x00010000;   // WS_TABSTOP
inline constexpr std::uint32_t Clip = 0x06000000;      // WS_CLIPSIBLINGS | WS_CLIPCHILDREN
}  // namespace style

enum class NodeKind : std::uint8_t { Application, Form, Control };

struct Item {
  std::string text;
  std::int32_t data = 0;  // items added without data answer 0
};

struct Node {
  NodeKind kind = NodeKind::Control;
  ControlKind control = ControlKind::Label;
  Control::Options options;
  Window* self = nullptr;
  std::uint64_t serial = 0;  // creation order
  // Expires with the Window object, so code that called out to a handler can
  // tell whether the node it works on still exists.
  std::shared_ptr<char> life = std::make_shared<char>('\0');
  bool exists = true;
  // Controls: the window they sit in. Forms: the application window that
  // owns them. Only existing windows are linked.
  Node* parent = nullptr;
  std::vector<Node*> children;
  Handler* handler = nullptr;

  std::string text;  // combo boxes: the edit field
  Rect bounds;
  std::uint32_t style = 0;  // visibility and enabled state are its bits, as on Windows
  std::uint32_t exStyle = 0;
  Color color = 0;
  Font font;
  std::int32_t cursor = 0;
  Align align = Align::None;
  std::int32_t tabPlace = 0;
  std::int32_t nextTabPlace = 1;  // as a parent
  bool layingOut = false;

  bool transparent = false;
  bool autoSize = false;
  bool isDefault = false;
  std::uint8_t alignment = 0;
  std::int32_t caret = 0;
  std::vector<Item> items;
  std::int32_t selected = -1;
  bool redraw = true;
  std::int32_t rangeLow = 0;
  std::int32_t rangeHigh = 100;
  std::int32_t position = 0;
  Color barColor = 0;

  std::shared_ptr<Icon> icon;
  std::int32_t alignSpacing = 0;
  Node* lastFocus = nullptr;  // forms: the child that had the focus last
  bool trackLeave = false;
  bool trackHover = false;
  int paints = 0;
  int dragStarts = 0;

  bool Visible() const { return (style & style::Visible) != 0; }
  bool Enabled() const { return (style & style::Disabled) == 0; }
};

// Holds a weak reference to a node's Window object across calls into
// handlers, which may destroy it.
class Watch {
 public:
  explicit Watch(const Node& node) : life_(node.life) {}
  bool Gone() const { return life_.expired(); }

 private:
  std::weak_ptr<char> life_;
};

struct Point {
  std::int32_t x = 0;
  std::int32_t y = 0;
};

// Coordinates are summed wide and brought back into 32 bits, so arbitrary
// positions and sizes cannot overflow.
std::int32_t Saturate(std::int64_t value);
std::int32_t WidthOf(const Rect& rect);   // never negative
std::int32_t HeightOf(const Rect& rect);  // never negative

// What a tooltip made for a window shows.
struct TooltipRecord {
  const Node* node = nullptr;
  std::weak_ptr<char> life;  // the window's
  std::string text;
};

struct World {
  std::vector<Node*> nodes;  // every Window object alive, in creation order
  std::unique_ptr<Form> application;
  bool makingApplication = false;
  bool mainFormMade = false;
  Node* mainForm = nullptr;
  bool quit = false;
  std::uint64_t serial = 0;

  Node* focus = nullptr;
  Node* hot = nullptr;      // the window under the pointer
  Node* capture = nullptr;  // the window that has captured the mouse
  Node* pressed = nullptr;  // a push button held down with the left button
  Node* dragged = nullptr;  // a form being moved by the user
  Point dragAnchor;         // where the pointer was when the move began
  Point dragOrigin;         // where the form was then
  Point pointer;            // screen coordinates
  std::uint32_t buttons = 0;  // MK_ bits of the held mouse buttons
  Modifiers modifiers;        // keys held during the current action

  std::vector<ShownMessage> messages;
  std::vector<const TooltipRecord*> tooltips;
};

World& TheWorld();

// Registry and tree (toolkit_headless_world.cpp).
// Links a new window into the tree (a control takes its parent's next tab
// place) and records its Window object.
void Adopt(Node& node, Window& self, NodeKind kind, Node* parent);
void Unregister(Node& node);
Node* Lookup(const Window* window);
Node* FormOf(Node& node);
bool OnScreen(const Node& node);
// On screen and enabled together with every window it sits in.
bool TakesInput(const Node& node);
Point Origin(const Node& node);
// Destroys the window with its owned forms and its children; each of them
// hears Destroyed, the window itself only when `notifySelf`.
void DestroyNode(Node& node, bool notifySelf);
void ResetWorld();

// What the windows do (toolkit_headless_window.cpp).
bool Offer(Node& node, Message& message);
std::intptr_t PointParam(std::int32_t x, std::int32_t y);
void SetFocusTo(Node* target);
// As SetWindowPos: the size and place are proposed to the hook even when
// they do not change, unless `keep` holds SWP_NOSIZE (kKeepSize) or
// SWP_NOMOVE, as the system's move loop does while a form is dragged.
inline constexpr std::uint32_t kKeepSize = 0x0001;  // SWP_NOSIZE
void ApplyBounds(Node& node, const Rect& bounds, std::uint32_t keep = 0);
void Relayout(Node& parent);
void ShowNode(Node& node, bool visible);
void EnableNode(Node& node, bool enabled);
void DeliverClose(Node& form, bool byScheme);
void CloseApplication();

// Controls (toolkit_headless_control.cpp).
std::string ShownText(const Node& node);
void FitToText(Node& node);
void SetNodeText(Node& node, std::string_view text);
void SelectItem(Node& node, std::int32_t index);
void NotifyClicked(Node& node);
void NotifyTextChanged(Node& node);

// Keys and mouse (toolkit_headless_input.cpp).
enum class MouseAction : std::uint8_t { Move, Down, Up, DoubleClick, Wheel };
bool Mouse(Node& target, MouseAction action, Button button, Point at, std::int16_t wheelDelta);
void PointerAway();
// Queues a leave for the window's message loop.
void PostLeave(Node& node);
bool PointerRests();
bool FocusByUser(Node& node);
bool Key(std::uint16_t key);
bool TypeText(std::string_view text);
bool PickItem(Node& combo, std::int32_t index);
bool PressCloseBox(Node& form);

// Drawing (toolkit_headless_drawing.cpp).
std::vector<DrawCall> PaintNode(Node& node);

// Hand-over between threads (toolkit_headless_handover.cpp).
void RegisterWindowThread();
void ForgetWindowThread();
void AdoptWindowThread();
// Runs `work` on the window thread and waits for it. A hand-over is also
// served while the window thread waits for the scheme lock; a posted user
// action only by the message loop. Waits at most the configured time-out and
// then ends the program with a message.
void Exchange(const std::function<void()>& work, bool posted);
void PostAction(std::function<void()> action);
bool ServeHandOvers();
bool ServeOnePosted();
// Blocks until something is queued or `slice` has passed.
void WaitForRequests(std::chrono::milliseconds slice);
std::chrono::milliseconds Timeout();
void SetExchangeTimeout(std::chrono::milliseconds timeout);

}  // namespace vn::toolkit::headless::detail

namespace vn::toolkit {

struct Window::Impl : headless::detail::Node {};

}  // namespace vn::toolkit
