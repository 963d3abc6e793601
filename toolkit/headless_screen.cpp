#include "toolkit/headless_screen.h"

#include <chrono>
#include <cstdio>
#include <cstdlib>

#include "toolkit/toolkit_headless_world.h"

namespace vn::toolkit::headless {

namespace {

// A user action: posted to the window thread's loop (at once on the window
// thread), with the keys held for its length.
bool Act(const Modifiers& keys, const std::function<bool(detail::World&)>& action) {
  bool reached = false;
  detail::Exchange(
      [&] {
        detail::World& w = detail::TheWorld();
        w.modifiers = keys;
        reached = action(w);
        detail::TheWorld().modifiers = {};
      },
      /*posted=*/true);
  return reached;
}

// Reading the screen is handed over like any request for the window's
// state, so it is answered even while the window thread waits for the
// scheme lock.
template <typename T>
T Read(const std::function<T()>& read) {
  T result{};
  detail::Exchange([&] { result = read(); }, /*posted=*/false);
  return result;
}

bool MouseOn(Window& window, detail::MouseAction action, Button button, detail::Point at, std::int16_t delta = 0) {
  detail::Node* node = detail::Lookup(&window);
  return node != nullptr && detail::Mouse(*node, action, button, at, delta);
}

detail::Point Centre(const detail::Node& node) { return {detail::WidthOf(node.bounds) / 2, detail::HeightOf(node.bounds) / 2}; }

WindowView ViewOf(const detail::Node& node) {
  const detail::World& w = detail::TheWorld();
  WindowView view;
  view.known = true;
  view.exists = node.exists;
  view.text = node.text;
  view.shown = detail::ShownText(node);
  view.bounds = node.bounds;
  view.visible = node.Visible();
  view.onScreen = detail::OnScreen(node);
  view.enabled = node.Enabled();
  view.focused = w.focus == &node;
  view.tabStop = node.kind == detail::NodeKind::Control && (node.style & detail::style::TabStop) != 0;
  view.style = node.style;
  view.exStyle = node.exStyle;
  view.color = node.color;
  view.font = node.font;
  view.cursor = node.cursor;
  view.align = node.align;
  view.transparent = node.transparent;
  view.autoSize = node.autoSize;
  view.isDefault = node.isDefault;
  view.alignment = node.alignment;
  view.caret = node.caret;
  for (const detail::Item& item : node.items) {
    view.items.push_back(item.text);
    view.itemData.push_back(item.data);
  }
  view.selected = node.selected;
  view.redrawing = node.redraw;
  view.rangeLow = node.rangeLow;
  view.rangeHigh = node.rangeHigh;
  view.position = node.position;
  view.barColor = node.barColor;
  if (node.icon) view.iconName = node.icon->name;
  view.alignSpacing = node.alignSpacing;
  view.captured = w.capture == &node;
  view.repaints = node.paints;
  view.dragStarts = node.dragStarts;
  for (const detail::TooltipRecord* tip : w.tooltips) {
    if (tip->node == &node && !tip->life.expired()) view.tooltips.push_back(tip->text);
  }
  return view;
}

}  // namespace

void Reset() {
  detail::ResetWorld();
  detail::ForgetWindowThread();
}

void TakeOverWindowThread() { detail::AdoptWindowThread(); }

void SetTimeout(std::chrono::milliseconds timeout) { detail::SetExchangeTimeout(timeout); }

void Post(std::function<void()> action) { detail::PostAction(std::move(action)); }

bool ServeUntil(const std::function<bool()>& done) {
  detail::RegisterWindowThread();
  if (!OnWindowThread()) {
    std::fputs("headless toolkit: ServeUntil called off the window thread\n", stderr);
    std::abort();
  }
  const auto deadline = std::chrono::steady_clock::now() + detail::Timeout();
  while (!done()) {
    if (std::chrono::steady_clock::now() > deadline) return false;
    if (detail::ServeHandOvers() || detail::ServeOnePosted()) continue;
    detail::WaitForRequests(std::chrono::milliseconds(2));
  }
  return true;
}

bool MouseMove(Window& window, std::int32_t x, std::int32_t y, Modifiers keys) {
  return Act(keys, [&](detail::World&) { return MouseOn(window, detail::MouseAction::Move, Button::Left, {x, y}); });
}

bool MouseDown(Window& window, Button button, std::int32_t x, std::int32_t y, Modifiers keys) {
  return Act(keys, [&](detail::World&) { return MouseOn(window, detail::MouseAction::Down, button, {x, y}); });
}

bool MouseUp(Window& window, Button button, std::int32_t x, std::int32_t y, Modifiers keys) {
  return Act(keys, [&](detail::World&) { return MouseOn(window, detail::MouseAction::Up, button, {x, y}); });
}

bool DoubleClick(Window& window, Button button, std::int32_t x, std::int32_t y, Modifiers keys) {
  return Act(keys, [&](detail::World&) {
    using detail::MouseAction;
    bool reached = MouseOn(window, MouseAction::Down, button, {x, y});
    reached = MouseOn(window, MouseAction::Up, button, {x, y}) && reached;
    reached = MouseOn(window, MouseAction::DoubleClick, button, {x, y}) && reached;
    return MouseOn(window, MouseAction::Up, button, {x, y}) && reached;
  });
}

bool Wheel(Window& window, std::int16_t delta, std::int32_t x, std::int32_t y, Modifiers keys) {
  return Act(keys,
             [&](detail::World&) { return MouseOn(window, detail::MouseAction::Wheel, Button::Left, {x, y}, delta); });
}

bool Click(Window& window, Button button, Modifiers keys) {
  return Act(keys, [&](detail::World& w) {
    detail::Node* node = detail::Lookup(&window);
    if (node == nullptr || !detail::TakesInput(*node)) return false;
    const detail::Point at = Centre(*node);
    if (w.hot != node && !MouseOn(window, detail::MouseAction::Move, button, at)) return false;
    // Each step finds the window again: a handler may have freed it.
    const bool down = MouseOn(window, detail::MouseAction::Down, button, at);
    return MouseOn(window, detail::MouseAction::Up, button, at) && down;
  });
}

void MouseAway() {
  Act({}, [](detail::World&) {
    detail::PointerAway();
    return true;
  });
}

bool RestMouse() {
  return Act({}, [](detail::World&) { return detail::PointerRests(); });
}

bool Focus(Window& window) {
  return Act({}, [&](detail::World&) {
    detail::Node* node = detail::Lookup(&window);
    return node != nullptr && detail::FocusByUser(*node);
  });
}

bool PressKey(std::uint16_t key, Modifiers keys) {
  return Act(keys, [&](detail::World&) { return detail::Key(key); });
}

bool Type(std::string_view text) {
  return Act({}, [&](detail::World&) { return detail::TypeText(text); });
}

bool Pick(Window& combo, std::int32_t index) {
  return Act({}, [&](detail::World&) {
    detail::Node* node = detail::Lookup(&combo);
    return node != nullptr && detail::PickItem(*node, index);
  });
}

bool PressCloseBox(Window& form) {
  return Act({}, [&](detail::World&) {
    detail::Node* node = detail::Lookup(&form);
    return node != nullptr && detail::PressCloseBox(*node);
  });
}

WindowView View(const Window& window) {
  return Read<WindowView>([&] {
    const detail::Node* node = detail::Lookup(&window);
    return node != nullptr ? ViewOf(*node) : WindowView{};
  });
}

std::vector<Window*> Windows() {
  return Read<std::vector<Window*>>([] {
    std::vector<Window*> windows;
    for (const detail::Node* node : detail::TheWorld().nodes) {
      if (node->exists) windows.push_back(node->self);
    }
    return windows;
  });
}

Window* FindWindow(std::string_view text) {
  return Read<Window*>([&]() -> Window* {
    for (const detail::Node* node : detail::TheWorld().nodes) {
      if (node->exists && node->text == text) return node->self;
    }
    return nullptr;
  });
}

Window* Focused() {
  return Read<Window*>([]() -> Window* {
    const detail::Node* focus = detail::TheWorld().focus;
    return focus != nullptr ? focus->self : nullptr;
  });
}

Form* MainForm() {
  return Read<Form*>([]() -> Form* {
    const detail::Node* main = detail::TheWorld().mainForm;
    return main != nullptr ? static_cast<Form*>(main->self) : nullptr;
  });
}

std::vector<DrawCall> Paint(Window& window) {
  return Read<std::vector<DrawCall>>([&] {
    detail::Node* node = detail::Lookup(&window);
    return node != nullptr ? detail::PaintNode(*node) : std::vector<DrawCall>{};
  });
}

std::vector<ShownMessage> ShownMessages() {
  return Read<std::vector<ShownMessage>>([] { return detail::TheWorld().messages; });
}

}  // namespace vn::toolkit::headless
