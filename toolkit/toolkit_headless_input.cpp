// The user's input as Windows delivers it: mouse messages with their state
// words, hover and leave tracking, keys with their characters, Tab
// navigation, the default button, combo picks and the close box.

#include <algorithm>

#include "toolkit/control_rules.h"
#include "toolkit/toolkit_headless_world.h"

namespace vn::toolkit::headless::detail {

namespace {

namespace vk {
inline constexpr std::uint16_t Back = 0x08;
inline constexpr std::uint16_t Tab = 0x09;
inline constexpr std::uint16_t Return = 0x0D;
inline constexpr std::uint16_t Space = 0x20;
inline constexpr std::uint16_t End = 0x23;
inline constexpr std::uint16_t Home = 0x24;
inline constexpr std::uint16_t Left = 0x25;
inline constexpr std::uint16_t Up = 0x26;
inline constexpr std::uint16_t Right = 0x27;
inline constexpr std::uint16_t Down = 0x28;
inline constexpr std::uint16_t Delete = 0x2E;
inline constexpr std::uint16_t F4 = 0x73;
}  // namespace vk

constexpr std::uint32_t kKeyDown = 0x0100, kKeyUp = 0x0101, kChar = 0x0102;
constexpr std::uint32_t kSysKeyDown = 0x0104, kSysKeyUp = 0x0105, kSysChar = 0x0106;
constexpr std::uint32_t kMouseMove = 0x0200, kMouseWheel = 0x020A;
constexpr std::intptr_t kKeyUpFlags = static_cast<std::intptr_t>(0xC0000001u);  // released, was down

std::uint32_t ButtonBit(Button button) {
  switch (button) {
    case Button::Left: return 0x01;    // MK_LBUTTON
    case Button::Right: return 0x02;   // MK_RBUTTON
    case Button::Middle: return 0x10;  // MK_MBUTTON
  }
  return 0;
}

std::uint32_t MouseMessage(MouseAction action, Button button) {
  // Each button has its down, up and double-click messages in a row.
  const std::uint32_t first = button == Button::Left ? 0x0201 : button == Button::Right ? 0x0204 : 0x0207;
  switch (action) {
    case MouseAction::Down: return first;
    case MouseAction::Up: return first + 1;
    case MouseAction::DoubleClick: return first + 2;
    case MouseAction::Wheel: return kMouseWheel;
    case MouseAction::Move: break;
  }
  return kMouseMove;
}

std::uint32_t KeyBits(const Modifiers& keys) { return (keys.shift ? 0x04u : 0u) | (keys.control ? 0x08u : 0u); }

bool IsControl(const Node& node, ControlKind kind) { return node.kind == NodeKind::Control && node.control == kind; }

// Buttons, edits and combo boxes take the focus when clicked; statics and
// progress bars do not.
bool TakesFocus(const Node& node) {
  return IsControl(node, ControlKind::Button) || IsControl(node, ControlKind::Edit) ||
         IsControl(node, ControlKind::ComboBox);
}

// A mouse-leave ends every tracking request of the window (TrackMouseEvent).
void DeliverLeave(Node& node) {
  if (!node.trackLeave) return;
  node.trackLeave = false;
  node.trackHover = false;
  Message leave{message::MouseLeave, 0, 0, nullptr};
  Offer(node, leave);
}

}  // namespace

void PostLeave(Node& node) {
  PostAction([&node, watch = Watch(node)] {
    if (watch.Gone() || !node.exists) return;
    node.trackLeave = false;
    node.trackHover = false;
    Message leave{message::MouseLeave, 0, 0, nullptr};
    Offer(node, leave);
  });
}

namespace {

Point Sub(Point a, Point b) { return {Saturate(std::int64_t{a.x} - b.x), Saturate(std::int64_t{a.y} - b.y)}; }

// The system's move loop keeps the mouse to itself while the user drags a
// form: the form follows the pointer until the last button is let go.
void FollowDrag(MouseAction action) {
  World& w = TheWorld();
  Node& form = *w.dragged;
  if (action == MouseAction::Move) {
    const std::int64_t x = std::int64_t{w.dragOrigin.x} + w.pointer.x - w.dragAnchor.x;
    const std::int64_t y = std::int64_t{w.dragOrigin.y} + w.pointer.y - w.dragAnchor.y;
    ApplyBounds(form, {Saturate(x), Saturate(y), Saturate(x + WidthOf(form.bounds)), Saturate(y + HeightOf(form.bounds))},
                kKeepSize);
  }
  if (w.buttons == 0) w.dragged = nullptr;
}

// `pressed`: the push button the left button went down on, if any.
void OwnMouseHandling(Node& receiver, const Node& target, MouseAction action, Button button, const Node* pressed) {
  World& w = TheWorld();
  if (button != Button::Left) return;
  if (action == MouseAction::Down || action == MouseAction::DoubleClick) {
    Watch watch(receiver);
    if (TakesFocus(receiver)) SetFocusTo(&receiver);
    if (watch.Gone() || !receiver.exists) return;
    // Statics with SS_NOTIFY report a click as the button goes down (and a
    // double click as a double click); a push button when it comes up over
    // the button it went down on (a double click presses it again).
    if (action == MouseAction::Down &&
        (IsControl(receiver, ControlKind::Label) || IsControl(receiver, ControlKind::Picture))) {
      NotifyClicked(receiver);
    }
    if (IsControl(receiver, ControlKind::Button)) w.pressed = &receiver;
  } else if (action == MouseAction::Up && pressed == &receiver && &target == &receiver) {
    NotifyClicked(receiver);
  }
}

void CollectTabStops(Node& node, std::vector<Node*>& stops) {
  std::vector<Node*> children;
  for (Node* child : node.children) {
    if (child->kind == NodeKind::Control) children.push_back(child);
  }
  std::stable_sort(children.begin(), children.end(),
                   [](const Node* a, const Node* b) { return a->tabPlace < b->tabPlace; });
  for (Node* child : children) {
    if ((child->style & style::TabStop) != 0 && TakesInput(*child)) stops.push_back(child);
    CollectTabStops(*child, stops);
  }
}

void MoveFocus(Node& form, bool backwards) {
  std::vector<Node*> stops;
  CollectTabStops(form, stops);
  if (stops.empty()) return;
  const auto at = std::find(stops.begin(), stops.end(), TheWorld().focus);
  const std::ptrdiff_t current = at == stops.end() ? -1 : at - stops.begin();
  const std::ptrdiff_t next = rules::NextTabStop(current, static_cast<std::ptrdiff_t>(stops.size()), backwards);
  SetFocusTo(stops[static_cast<std::size_t>(next)]);
}

Node* DefaultButton(Node& node) {
  for (Node* child : node.children) {
    if (child->kind != NodeKind::Control) continue;
    if (IsControl(*child, ControlKind::Button) && child->isDefault && TakesInput(*child)) return child;
    if (Node* inner = DefaultButton(*child)) return inner;
  }
  return nullptr;
}

// The characters that TranslateMessage makes of a key: letters (capitals
// with Shift), digits, space, Enter and Backspace; none while Control is
// held.
char CharacterOf(std::uint16_t key, const Modifiers& keys) {
  if (keys.control) return 0;
  if (key == vk::Return || key == vk::Back || key == vk::Space) return static_cast<char>(key);
  if (key >= '0' && key <= '9') return static_cast<char>(key);
  if (key >= 0x60 && key <= 0x69) return static_cast<char>('0' + key - 0x60);  // numeric keypad
  if (key >= 'A' && key <= 'Z') return static_cast<char>(keys.shift ? key : key - 'A' + 'a');
  return 0;
}

// The text field of an edit or of an editable combo box.
bool HasTextField(const Node& node) {
  return IsControl(node, ControlKind::Edit) || (IsControl(node, ControlKind::ComboBox) && node.options.editable);
}

bool Writable(const Node& node) { return HasTextField(node) && !(IsControl(node, ControlKind::Edit) && node.options.readOnly); }

std::size_t CaretOf(Node& node) {
  node.caret = std::clamp<std::int32_t>(node.caret, 0, static_cast<std::int32_t>(node.text.size()));
  return static_cast<std::size_t>(node.caret);
}

void ChangeSelection(Node& combo, std::int32_t index) {
  if (index < 0 || static_cast<std::size_t>(index) >= combo.items.size()) return;
  SelectItem(combo, index);
  if (combo.handler != nullptr) combo.handler->SelectionChanged();
}

// Keys that a control handles on key-down: caret keys and Delete in text
// fields; the arrows move a combo box's selection (a user's selection
// change).
void OwnKeyDown(Node& node, std::uint16_t key) {
  if (IsControl(node, ControlKind::ComboBox) && (key == vk::Up || key == vk::Down)) {
    ChangeSelection(node, key == vk::Up ? node.selected - 1 : node.selected + 1);
    return;
  }
  if (!HasTextField(node)) return;
  const std::size_t caret = CaretOf(node);
  switch (key) {
    case vk::Left: node.caret = static_cast<std::int32_t>(caret == 0 ? 0 : caret - 1); break;
    case vk::Right: node.caret = static_cast<std::int32_t>(std::min(caret + 1, node.text.size())); break;
    case vk::Home: node.caret = 0; break;
    case vk::End: node.caret = static_cast<std::int32_t>(node.text.size()); break;
    case vk::Delete:
      if (Writable(node) && caret < node.text.size()) {
        node.text.erase(caret, 1);
        NotifyTextChanged(node);  // EN_CHANGE; CBN_EDITCHANGE for a combo box
      }
      break;
    default: break;
  }
}

// A text field inserts every character from the space on (bytes above 0x7F
// too) at the caret, and Backspace removes the one before it.
void OwnChar(Node& node, char character) {
  if (!Writable(node)) return;
  const std::size_t caret = CaretOf(node);
  const auto byte = static_cast<unsigned char>(character);
  if (byte == vk::Back) {
    if (caret == 0) return;
    node.text.erase(caret - 1, 1);
    node.caret = static_cast<std::int32_t>(caret - 1);
  } else if (byte >= 0x20 && byte != 0x7F) {
    node.text.insert(caret, 1, character);
    node.caret = static_cast<std::int32_t>(caret + 1);
  } else {
    return;
  }
  NotifyTextChanged(node);
}

void DeliverChar(Node& node, char character, bool system) {
  Watch watch(node);
  Message message{system ? kSysChar : kChar, static_cast<unsigned char>(character), 1, nullptr};
  if (Offer(node, message) || watch.Gone()) return;
  if (node.handler != nullptr) node.handler->KeyChar(character);
  if (watch.Gone() || !node.exists || character == 0) return;
  OwnChar(node, character);
}

Node* KeyTarget() {
  World& w = TheWorld();
  if (w.focus != nullptr && w.focus->exists) return w.focus;
  return w.mainForm;
}

// The key's down message, its character and its up message, each through
// the hook first. Handlers may change the code; a down code changed to 0
// swallows the character.
bool KeyTo(Node& target, std::uint16_t key, const Modifiers& keys) {
  Watch watch(target);
  Node* form = FormOf(target);
  const bool system = keys.alt;
  std::uint16_t code = key;
  Message down{system ? kSysKeyDown : kKeyDown, key, 1, nullptr};
  const bool consumed = Offer(target, down);
  if (!consumed && !watch.Gone() && target.handler != nullptr) target.handler->KeyDown(code);
  if (watch.Gone() || !target.exists) return true;
  const bool swallowed = consumed || code == 0;

  bool toButton = false;
  if (!swallowed) {
    if (key == vk::F4 && keys.alt) {
      // Alt+F4: the system closes the form as its close box would.
      if (form != nullptr) DeliverClose(*form, /*byScheme=*/false);
      return true;
    }
    if (key == vk::Return && form != nullptr) {
      // Enter presses the form's default button, unless the focus is on
      // another push button.
      Node* button = DefaultButton(*form);
      if (button != nullptr && !(IsControl(target, ControlKind::Button) && &target != button)) {
        toButton = true;
        NotifyClicked(*button);
      }
    } else {
      OwnKeyDown(target, code);
    }
    if (watch.Gone() || !target.exists) return true;
    const char character = CharacterOf(key, keys);
    if (!toButton && character != 0) DeliverChar(target, character, system);
    if (watch.Gone() || !target.exists) return true;
  }

  std::uint16_t upCode = key;
  Message up{system ? kSysKeyUp : kKeyUp, key, kKeyUpFlags, nullptr};
  const bool upConsumed = Offer(target, up);
  if (!upConsumed && !watch.Gone() && target.handler != nullptr) target.handler->KeyUp(upCode);
  // The space bar presses a focused push button as it comes up.
  if (!swallowed && !upConsumed && key == vk::Space && !watch.Gone() && IsControl(target, ControlKind::Button)) {
    NotifyClicked(target);
  }
  return true;
}

}  // namespace

bool Mouse(Node& target, MouseAction action, Button button, Point at, std::int16_t wheelDelta) {
  World& w = TheWorld();
  if (!OnScreen(target)) return false;
  const Point origin = Origin(target);
  w.pointer = {Saturate(std::int64_t{origin.x} + at.x), Saturate(std::int64_t{origin.y} + at.y)};
  if (action == MouseAction::Down || action == MouseAction::DoubleClick) w.buttons |= ButtonBit(button);
  if (action == MouseAction::Up) w.buttons &= ~ButtonBit(button);
  if (w.dragged != nullptr) {
    FollowDrag(action);
    return true;
  }
  // Letting go of the left button ends a push button's press wherever it
  // happens.
  const Node* pressed = w.pressed;
  if (action == MouseAction::Up && button == Button::Left) w.pressed = nullptr;

  Watch watch(target);
  if (w.hot != nullptr && w.hot != &target) DeliverLeave(*w.hot);
  if (watch.Gone() || !target.exists) return true;
  w.hot = &target;
  if (!TakesInput(target)) return false;

  // A window that captured the mouse gets its messages wherever the pointer
  // is, in its own client coordinates.
  Node& receiver = w.capture != nullptr && w.capture->exists ? *w.capture : target;
  const Point place = &receiver == &target ? at : Sub(w.pointer, Origin(receiver));
  Watch receiverWatch(receiver);

  const std::uint32_t state = w.buttons | KeyBits(w.modifiers);
  std::uint32_t word = state;
  if (action == MouseAction::Wheel) word |= static_cast<std::uint32_t>(static_cast<std::uint16_t>(wheelDelta)) << 16;
  Message message{MouseMessage(action, button), word, PointParam(place.x, place.y), nullptr};
  MouseEvent event;
  const bool pressOrRelease = action != MouseAction::Move && action != MouseAction::Wheel;
  event.button = pressOrRelease ? static_cast<std::uint8_t>(button) : 0;
  event.shift = static_cast<std::int32_t>(word) + (w.modifiers.alt ? 32 : 0);
  event.x = static_cast<std::int16_t>(place.x);
  event.y = static_cast<std::int16_t>(place.y);

  if (Offer(receiver, message) || receiverWatch.Gone() || !receiver.exists) return true;
  if (Handler* handler = receiver.handler) {
    switch (action) {
      case MouseAction::Move: handler->MouseMove(event); break;
      case MouseAction::Down: handler->MouseDown(event); break;
      case MouseAction::Up: handler->MouseUp(event); break;
      case MouseAction::DoubleClick: handler->DoubleClick(event); break;
      case MouseAction::Wheel: handler->MouseWheel(event); break;
    }
  }
  if (receiverWatch.Gone() || !receiver.exists || watch.Gone()) return true;
  OwnMouseHandling(receiver, target, action, button, pressed);
  return true;
}

void PointerAway() {
  World& w = TheWorld();
  Node* hot = w.hot;
  w.hot = nullptr;
  if (hot != nullptr) DeliverLeave(*hot);
}

bool PointerRests() {
  World& w = TheWorld();
  Node* hot = w.hot;
  if (hot == nullptr || !hot->trackHover || !TakesInput(*hot)) return false;
  hot->trackHover = false;  // one hover per request
  const Point place = Sub(w.pointer, Origin(*hot));
  Message hover{message::MouseHover, w.buttons | KeyBits(w.modifiers), PointParam(place.x, place.y), nullptr};
  Offer(*hot, hover);
  return true;
}

// A form that gets the focus passes it to the child that had it last.
bool FocusByUser(Node& node) {
  if (!TakesInput(node)) return false;
  if (node.kind == NodeKind::Form) {
    Node* last = node.lastFocus;
    SetFocusTo(last != nullptr && TakesInput(*last) ? last : &node);
    return true;
  }
  if (!TakesFocus(node)) return false;
  SetFocusTo(&node);
  return true;
}

bool Key(std::uint16_t key) {
  World& w = TheWorld();
  Node* target = KeyTarget();
  if (target == nullptr || !TakesInput(*target)) return false;
  // Tab and Shift+Tab belong to the form: they move the focus among the tab
  // stops (visible, enabled, in tab order) and never reach the control.
  if (key == vk::Tab && !w.modifiers.control && !w.modifiers.alt) {
    if (Node* form = FormOf(*target)) MoveFocus(*form, w.modifiers.shift);
    return true;
  }
  return KeyTo(*target, key, w.modifiers);
}

bool TypeText(std::string_view text) {
  World& w = TheWorld();
  bool reached = true;
  for (char c : text) {
    const auto byte = static_cast<unsigned char>(c);
    std::uint16_t key = 0;
    bool shift = false;
    if (byte >= 'a' && byte <= 'z') {
      key = static_cast<std::uint16_t>(byte - 'a' + 'A');
    } else if ((byte >= 'A' && byte <= 'Z') || (byte >= '0' && byte <= '9') || byte == ' ' || byte == '\r') {
      key = byte;
      shift = byte >= 'A' && byte <= 'Z';
    }
    if (key != 0) {
      w.modifiers = {shift, false, false};
      reached = Key(key) && reached;
      continue;
    }
    w.modifiers = {};
    Node* target = KeyTarget();
    if (target == nullptr || !TakesInput(*target)) {
      reached = false;
      continue;
    }
    DeliverChar(*target, c, /*system=*/false);
  }
  return reached;
}

// The user opens the list (the combo box takes the focus) and picks an
// item: the edit field shows the item's text before the selection change is
// reported.
bool PickItem(Node& combo, std::int32_t index) {
  if (!IsControl(combo, ControlKind::ComboBox) || !TakesInput(combo)) return false;
  if (index < 0 || static_cast<std::size_t>(index) >= combo.items.size()) return false;
  Watch watch(combo);
  SetFocusTo(&combo);
  if (watch.Gone() || !combo.exists) return true;
  ChangeSelection(combo, index);
  return true;
}

bool PressCloseBox(Node& form) {
  if (form.kind == NodeKind::Control || !form.exists || !form.Enabled()) return false;
  if (form.kind == NodeKind::Form && !TakesInput(form)) return false;
  DeliverClose(form, /*byScheme=*/false);
  return true;
}

}  // namespace vn::toolkit::headless::detail
